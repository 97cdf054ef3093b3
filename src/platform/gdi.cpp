#include "platform/gdi.h"

#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/bitmap_file.h"
#include "platform/files.h"
#include "platform/gdi_internal.h"
#include "platform/runtime.h"

namespace platform {
namespace {

enum class Kind : std::uint8_t { Dead, Screen, MemoryDC, SurfaceDC, Bitmap };

struct Object {
  Kind kind = Kind::Dead;
  // Bitmaps.
  QImage image;
  HDC selected_into = 0;
  // Memory contexts.
  HBITMAP selected = 0;
  HBITMAP initial = 0;
  // Picture box contexts.
  QImage* surface = nullptr;
  detail::SurfaceOwner* owner = nullptr;
};

// Handles are indexes; entry 0 stays dead so that 0 is never valid. Released entries stay
// in the table (dead), so a handle is never handed out twice.
struct Table {
  std::vector<Object> objects = std::vector<Object>(1);
  HDC screen = 0;
  int live = 0;  // memory contexts and bitmaps
};

// Never destroyed: widgets of forms held in static objects release their contexts
// during static destruction, in no particular order with this table.
Table& T() {
  static Table* table = new Table;
  return *table;
}

std::uint32_t Add(Object object) {
  Table& t = T();
  t.objects.push_back(std::move(object));
  return static_cast<std::uint32_t>(t.objects.size() - 1);
}

Object* Find(std::uint32_t handle) {
  Table& t = T();
  if (handle == 0 || handle >= t.objects.size()) return nullptr;
  Object* o = &t.objects[handle];
  return o->kind == Kind::Dead ? nullptr : o;
}

Object* FindDC(HDC hdc) {
  Object* o = Find(hdc);
  if (!o) return nullptr;
  return (o->kind == Kind::Screen || o->kind == Kind::MemoryDC || o->kind == Kind::SurfaceDC)
             ? o
             : nullptr;
}

Object* FindBitmap(HBITMAP handle) {
  Object* o = Find(handle);
  return o && o->kind == Kind::Bitmap ? o : nullptr;
}

void Kill(std::uint32_t handle) {
  Object& o = T().objects[handle];
  o = Object{};
  --T().live;
}

// The pixels a context draws on; nullptr for the screen's, which has no surface here.
QImage* SurfaceOf(Object& dc) {
  switch (dc.kind) {
    case Kind::MemoryDC: {
      Object* bitmap = FindBitmap(dc.selected);
      return bitmap ? &bitmap->image : nullptr;
    }
    case Kind::SurfaceDC:
      return dc.surface;
    default:
      return nullptr;
  }
}

HBITMAP NewBitmap(QImage image) {
  Object o;
  o.kind = Kind::Bitmap;
  o.image = std::move(image);
  ++T().live;
  return Add(std::move(o));
}

struct Span {
  std::uint32_t* dst;
  const std::uint32_t* src;
  qsizetype dst_stride;  // in pixels
  qsizetype src_stride;
  int width;
  int height;
};

constexpr std::uint32_t kBlack = 0xFF000000u;

// dst[i] = dst[i] AND / OR src[i]. Four pixels at a time where the machine allows: the
// compiler does not vectorise these loops at -O2.
template <typename Scalar, typename Vector>
void BitRow(std::uint32_t* d, const std::uint32_t* a, int n, Scalar scalar, Vector vector) {
  int i = 0;
#if defined(__SSE2__)
  for (; i + 4 <= n; i += 4) {
    auto* dv = reinterpret_cast<__m128i*>(d + i);
    _mm_storeu_si128(
        dv, vector(_mm_loadu_si128(dv), _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i))));
  }
#else
  (void)vector;
#endif
  for (; i < n; ++i) d[i] = scalar(d[i], a[i]);
}

void AndRow(std::uint32_t* d, const std::uint32_t* a, int n) {
  BitRow(
      d, a, n, [](std::uint32_t x, std::uint32_t y) { return x & y; },
      [](auto x, auto y) { return _mm_and_si128(x, y); });
}

void OrRow(std::uint32_t* d, const std::uint32_t* a, int n) {
  BitRow(
      d, a, n, [](std::uint32_t x, std::uint32_t y) { return x | y; },
      [](auto x, auto y) { return _mm_or_si128(x, y); });
}

void CombineRow(std::uint32_t* d, const std::uint32_t* a, int n, std::uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
      std::memmove(d, a, sizeof(std::uint32_t) * static_cast<std::size_t>(n));
      break;
    case SRCAND:
      AndRow(d, a, n);
      break;
    case SRCPAINT:
      OrRow(d, a, n);
      break;
    default:  // BLACKNESS
      std::fill_n(d, n, kBlack);
      break;
  }
}

// Where two rows of `n` pixels differ: false when they are equal, otherwise the first and
// last differing pixel. An equal row costs one memcmp.
bool DifferingRun(const std::uint32_t* x, const std::uint32_t* y, int n, std::size_t row_bytes,
                  int& first, int& last) {
  if (std::memcmp(x, y, row_bytes) == 0) return false;
  first = 0;
  while (x[first] == y[first]) ++first;
  last = n - 1;
  while (x[last] == y[last]) --last;
  return true;
}

// Plain combination into a memory bitmap: nobody watches these pixels.
void Combine(const Span& s, std::uint32_t rop) {
  for (int r = 0; r < s.height; ++r)
    CombineRow(s.dst + r * s.dst_stride, s.src + r * s.src_stride, s.width, rop);
}

// Combination into a watched surface: writes only pixels that change and returns the
// bounding rectangle of the change (empty when nothing changed), in span coordinates.
// Each row's result is made first and compared whole, so an unchanged row costs one
// memcmp.
QRect CombineWatched(const Span& s, std::uint32_t rop) {
  int min_x = s.width, max_x = -1, min_y = s.height, max_y = -1;
  const std::size_t row_bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(s.width);
  std::vector<std::uint32_t> result;
  if (rop != SRCCOPY) result.resize(static_cast<std::size_t>(s.width));
  for (int r = 0; r < s.height; ++r) {
    std::uint32_t* d = s.dst + r * s.dst_stride;
    const std::uint32_t* a = s.src + r * s.src_stride;
    if (rop != SRCCOPY) {
      std::memcpy(result.data(), d, row_bytes);
      CombineRow(result.data(), a, s.width, rop);
      a = result.data();
    }
    int first, last;
    if (!DifferingRun(d, a, s.width, row_bytes, first, last)) continue;
    std::memcpy(d + first, a + first,
                sizeof(std::uint32_t) * static_cast<std::size_t>(last - first + 1));
    min_x = std::min(min_x, first);
    max_x = std::max(max_x, last);
    min_y = std::min(min_y, r);
    max_y = r;
  }
  if (max_x < 0) return {};
  return QRect(QPoint(min_x, min_y), QPoint(max_x, max_y));
}

// The bounding rectangle of the pixels in which two images of one size and format differ.
QRect DiffRect(const QImage& a, const QImage& b) {
  int min_x = a.width(), max_x = -1, min_y = a.height(), max_y = -1;
  const std::size_t row_bytes = sizeof(std::uint32_t) * static_cast<std::size_t>(a.width());
  for (int r = 0; r < a.height(); ++r) {
    const auto* x = reinterpret_cast<const std::uint32_t*>(a.constScanLine(r));
    const auto* y = reinterpret_cast<const std::uint32_t*>(b.constScanLine(r));
    int first, last;
    if (!DifferingRun(x, y, a.width(), row_bytes, first, last)) continue;
    min_x = std::min(min_x, first);
    max_x = std::max(max_x, last);
    min_y = std::min(min_y, r);
    max_y = r;
  }
  if (max_x < 0) return {};
  return QRect(QPoint(min_x, min_y), QPoint(max_x, max_y));
}

bool KnownRop(std::uint32_t rop) {
  return rop == SRCCOPY || rop == SRCAND || rop == SRCPAINT || rop == BLACKNESS;
}

// ---- The call record

bool g_recording = false;

CallRecorder& Recorder() {
  static CallRecorder* recorder = new CallRecorder;  // outlives static destruction, as T()
  return *recorder;
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string RopName(std::uint32_t rop) {
  switch (rop) {
    case SRCCOPY:
      return "SRCCOPY";
    case SRCAND:
      return "SRCAND";
    case SRCPAINT:
      return "SRCPAINT";
    case BLACKNESS:
      return "BLACKNESS";
    default:
      return Hex(rop);
  }
}

// True when the recorder makes this call fail; the entry is built only while recording.
template <typename Describe>
bool Recorded(Describe&& describe) {
  return g_recording && detail::Record(describe());
}

}  // namespace

CallRecorder SetCallRecorder(CallRecorder recorder) {
  CallRecorder old = std::exchange(Recorder(), std::move(recorder));
  g_recording = static_cast<bool>(Recorder());
  return old;
}

HDC GetDC(std::uint32_t hwnd) {
  if (Recorded([&] { return "GetDC " + std::to_string(hwnd); })) return 0;
  if (hwnd != 0) return 0;
  Table& t = T();
  if (t.screen == 0) {
    Object o;
    o.kind = Kind::Screen;
    t.screen = Add(std::move(o));
  }
  return t.screen;
}

HDC CreateCompatibleDC(HDC hdc) {
  if (Recorded([&] { return "CreateCompatibleDC " + Hex(hdc); })) return 0;
  if (hdc != 0 && !FindDC(hdc)) return 0;
  QImage one(1, 1, QImage::Format_RGB32);
  if (one.isNull()) return 0;
  one.fill(kBlack);
  HBITMAP initial = NewBitmap(std::move(one));
  Object o;
  o.kind = Kind::MemoryDC;
  o.selected = initial;
  o.initial = initial;
  ++T().live;
  HDC dc = Add(std::move(o));
  T().objects[initial].selected_into = dc;
  return dc;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (Recorded([&] {
        return "CreateCompatibleBitmap " + Hex(hdc) + " " + std::to_string(width) + "x" +
               std::to_string(height);
      }))
    return 0;
  if (!FindDC(hdc) || width <= 0 || height <= 0) return 0;
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return 0;  // too large to allocate
  image.fill(kBlack);
  return NewBitmap(std::move(image));
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object) {
  if (Recorded([&] { return "SelectObject " + Hex(hdc) + " " + Hex(object); })) return 0;
  Object* dc = FindDC(hdc);
  Object* bitmap = FindBitmap(object);
  if (!dc || !bitmap || dc->kind != Kind::MemoryDC) return 0;
  // A bitmap lives in one context at a time.
  if (bitmap->selected_into != 0 && bitmap->selected_into != hdc) return 0;
  HBITMAP previous = dc->selected;
  if (Object* old = FindBitmap(previous)) old->selected_into = 0;
  dc->selected = object;
  bitmap->selected_into = hdc;
  return previous;
}

int BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src, int y_src,
           std::uint32_t rop) {
  if (Recorded([&] {
        return "BitBlt " + Hex(dst) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
               std::to_string(width) + "x" + std::to_string(height) + " " + Hex(src) + " " +
               std::to_string(x_src) + "," + std::to_string(y_src) + " " + RopName(rop);
      }))
    return 0;
  Object* d = FindDC(dst);
  if (!d || !KnownRop(rop)) return 0;
  Object* s = nullptr;
  if (rop != BLACKNESS) {
    s = FindDC(src);
    if (!s) return 0;
  }
  QImage* dimg = SurfaceOf(*d);
  if (!dimg || width <= 0 || height <= 0) return 1;
  QImage* simg = s ? SurfaceOf(*s) : nullptr;
  if (s && !simg) return 1;

  // Clip in 64 bits: the caller's numbers may be anywhere in the int range.
  long long dx = x, dy = y, sx = x_src, sy = y_src, w = width, h = height;
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  if (simg) {
    if (sx < 0) {
      dx -= sx;
      w += sx;
      sx = 0;
    }
    if (sy < 0) {
      dy -= sy;
      h += sy;
      sy = 0;
    }
    w = std::min<long long>(w, simg->width() - sx);
    h = std::min<long long>(h, simg->height() - sy);
  }
  w = std::min<long long>(w, dimg->width() - dx);
  h = std::min<long long>(h, dimg->height() - dy);
  if (w <= 0 || h <= 0) return 1;

  // A copy of one whole surface onto another of the same size shares the pixels instead
  // (copied later only if either side is drawn on): sprite programs copy whole tiles into
  // a buffer and on into their boxes on every timer tick, and most ticks change nothing.
  if (rop == SRCCOPY && simg && simg != dimg && dx == 0 && dy == 0 && sx == 0 && sy == 0 &&
      simg->size() == dimg->size() && w == dimg->width() && h == dimg->height() &&
      simg->format() == dimg->format()) {
    if (d->kind != Kind::SurfaceDC) {
      *dimg = *simg;
      return 1;
    }
    if (dimg->constBits() == simg->constBits()) return 1;  // the very same pixels
    const QRect changed = DiffRect(*dimg, *simg);
    *dimg = *simg;
    if (!changed.isEmpty() && d->owner) d->owner->SurfaceChanged(changed);
    return 1;
  }

  const qsizetype dstride = dimg->bytesPerLine() / 4;
  Span span{};
  span.dst = reinterpret_cast<std::uint32_t*>(dimg->bits()) + dy * dstride + dx;
  span.dst_stride = dstride;
  span.width = static_cast<int>(w);
  span.height = static_cast<int>(h);
  std::vector<std::uint32_t> copy;
  if (simg) {
    const qsizetype sstride = simg->bytesPerLine() / 4;
    span.src = reinterpret_cast<const std::uint32_t*>(simg->constBits()) + sy * sstride + sx;
    span.src_stride = sstride;
    if (simg == dimg) {
      // Overlapping copy within one surface: work from a snapshot of the source.
      copy.resize(static_cast<std::size_t>(w * h));
      for (long long r = 0; r < h; ++r)
        std::memcpy(copy.data() + r * w, span.src + r * sstride,
                    sizeof(std::uint32_t) * static_cast<std::size_t>(w));
      span.src = copy.data();
      span.src_stride = static_cast<qsizetype>(w);
    }
  } else {
    span.src = span.dst;  // unused by BLACKNESS
    span.src_stride = span.dst_stride;
  }

  if (d->kind == Kind::SurfaceDC) {
    QRect changed = CombineWatched(span, rop);
    if (!changed.isEmpty() && d->owner)
      d->owner->SurfaceChanged(changed.translated(static_cast<int>(dx), static_cast<int>(dy)));
  } else {
    Combine(span, rop);
  }
  return 1;
}

int DeleteDC(HDC hdc) {
  if (Recorded([&] { return "DeleteDC " + Hex(hdc); })) return 0;
  Object* dc = FindDC(hdc);
  if (!dc || dc->kind != Kind::MemoryDC) return 0;
  HBITMAP initial = dc->initial;
  if (Object* bitmap = FindBitmap(dc->selected)) bitmap->selected_into = 0;
  Kill(hdc);
  // The context's own first bitmap goes with it, unless the program moved it elsewhere.
  if (Object* own = FindBitmap(initial); own && own->selected_into == 0) Kill(initial);
  return 1;
}

int DeleteObject(HGDIOBJ object) {
  if (Recorded([&] { return "DeleteObject " + Hex(object); })) return 0;
  Object* bitmap = FindBitmap(object);
  if (!bitmap || bitmap->selected_into != 0) return 0;
  Kill(object);
  return 1;
}

HBITMAP LoadImageA(std::uint32_t instance, const std::string& name, std::uint32_t type, int cx,
                   int cy, std::uint32_t flags) {
  (void)instance;
  if (Recorded([&] { return "LoadImageA " + name; })) return 0;
  if (type != IMAGE_BITMAP || !(flags & LR_LOADFROMFILE) || cx < 0 || cy < 0) return 0;
  // One read of the file (never blocking on a FIFO): every decode below sees the same bytes.
  const std::optional<std::vector<std::uint8_t>> bytes = ReadFileBytes(name);
  if (!bytes) return 0;
  QImage image = detail::DecodeBitmapFile(QByteArray::fromRawData(
      reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size())));
  if (image.isNull()) return 0;
  if (cx != 0 || cy != 0)
    image = image.scaled(cx != 0 ? cx : image.width(), cy != 0 ? cy : image.height(),
                         Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  image = image.convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) return 0;
  return NewBitmap(std::move(image));
}

std::uint32_t GetPixel(HDC hdc, int x, int y) {
  Object* dc = FindDC(hdc);
  QImage* image = dc ? SurfaceOf(*dc) : nullptr;
  if (!image || x < 0 || y < 0 || x >= image->width() || y >= image->height()) return kClrInvalid;
  const QRgb p = image->pixel(x, y);
  return static_cast<std::uint32_t>(qRed(p)) | static_cast<std::uint32_t>(qGreen(p)) << 8 |
         static_cast<std::uint32_t>(qBlue(p)) << 16;
}

int LiveGdiObjectCount() { return T().live; }

namespace detail {

HDC RegisterSurfaceDC(QImage* surface, SurfaceOwner* owner) {
  Object o;
  o.kind = Kind::SurfaceDC;
  o.surface = surface;
  o.owner = owner;
  return Add(std::move(o));
}

void ReleaseSurfaceDC(HDC hdc) {
  Object* dc = FindDC(hdc);
  if (dc && dc->kind == Kind::SurfaceDC) T().objects[hdc] = Object{};
}

bool Recording() { return g_recording; }

bool Record(const std::string& call) {
  // A copy: the recorder may replace itself.
  const CallRecorder recorder = Recorder();
  return recorder && recorder(call);
}

}  // namespace detail
}  // namespace platform
