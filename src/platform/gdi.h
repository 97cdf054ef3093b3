// Device contexts and bitmaps behind 32-bit handles, with the few drawing calls of the
// Windows-era graphics interface that programs of that time used for sprite work.
//
// Handles are nonzero, never reused within a run, and index one table. A call given 0,
// an unknown handle or a released one does nothing and returns 0 (GetPixel: kClrInvalid).
// Surfaces are 32-bit RGB; colours read back as 0x00BBGGRR like a COLORREF.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

using HDC = std::uint32_t;
using HBITMAP = std::uint32_t;
using HGDIOBJ = std::uint32_t;

// Raster operations understood by BitBlt.
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;    // dest = source
inline constexpr std::uint32_t SRCAND = 0x008800C6;     // dest = dest AND source
inline constexpr std::uint32_t SRCPAINT = 0x00EE0086;   // dest = dest OR source
inline constexpr std::uint32_t BLACKNESS = 0x00000042;  // dest = black, no source

// LoadImageA arguments.
inline constexpr std::uint32_t IMAGE_BITMAP = 0;
inline constexpr std::uint32_t LR_LOADFROMFILE = 0x0010;
inline constexpr std::uint32_t LR_CREATEDIBSECTION = 0x2000;

inline constexpr std::uint32_t kClrInvalid = 0xFFFFFFFF;

// The screen's device context for window 0; a picture box's context comes from
// PictureBox::hDC(). Other window handles give 0. The screen's context has no pixels here:
// it serves to create compatible contexts and bitmaps; a copy into or out of it is a valid
// call that changes nothing, GetPixel on it gives kClrInvalid, and it is never released.
HDC GetDC(std::uint32_t hwnd);

// A memory context compatible with `hdc` (0 or the screen's): it starts with a 1 x 1
// black bitmap of its own selected, as real contexts do.
HDC CreateCompatibleDC(HDC hdc);

// A width x height bitmap, black. 0 for a non-positive size or an invalid `hdc`.
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

// Selects a bitmap into a memory context and returns the bitmap it held before
// (0 on failure). A picture box's context cannot take another bitmap.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ object);

// Copies a width x height rectangle from (x_src, y_src) of `src` to (x, y) of `dst`,
// combining pixels by `rop`; BLACKNESS ignores `src` (which may be 0). The rectangle is
// clipped to both surfaces. Returns nonzero when the call was valid (even if clipping
// left nothing to copy), 0 otherwise. A copy into a picture box repaints the screen
// only where pixels changed.
int BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src, int y_src,
           std::uint32_t rop);

// Releases a memory context. The bitmap selected into it is not released (as in the
// real interface); its own initial 1 x 1 bitmap is. Nonzero on success.
int DeleteDC(HDC hdc);

// Releases a bitmap. Fails (0) while the bitmap is selected into a live context.
int DeleteObject(HGDIOBJ object);

// Loads a Windows bitmap file ("\" in the path is mapped to the host's separator). Only
// `type` IMAGE_BITMAP with LR_LOADFROMFILE is supported; `cx`/`cy` 0 keep the file's size.
// Every pixel comes from the file or is black (the rows of a file cut short, for one), so
// one file always loads the same picture. Returns 0 for a missing or unreadable file, one
// that is not a regular file, or one that holds no bitmap or a bitmap over 4096 x 4096.
HBITMAP LoadImageA(std::uint32_t instance, const std::string& name, std::uint32_t type, int cx,
                   int cy, std::uint32_t flags);

// The colour at (x, y) of a context's surface as 0x00BBGGRR, kClrInvalid outside it or
// for an invalid handle.
std::uint32_t GetPixel(HDC hdc, int x, int y);

// How many device contexts and bitmaps are alive (for leak checks in tests): the ones the
// program creates and must release, i.e. memory contexts and bitmaps (a context's own first
// bitmap included); not the screen's context nor those of picture boxes.
int LiveGdiObjectCount();

// A record of the calls made through this layer, for tests that check which calls a program
// makes and in which order (the order of releases, the tries of a load). While a recorder is
// installed, each call of the functions above that creates, selects, copies, loads or
// releases (GetPixel and the count are not recorded), and each DoEvents of the run-time
// services, is described to it in one line before the call does anything: the name and the
// arguments, handles in hex. For example "GetDC 0", "CreateCompatibleDC 0x0",
// "CreateCompatibleBitmap 0x1 57x77", "SelectObject 0x2 0x5",
// "BitBlt 0x9 0,0 57x77 0x2 0,0 SRCCOPY", "DeleteDC 0x2", "DeleteObject 0x5",
// "LoadImageA /tmp/game\resources\card\draw.bmp", "DoEvents".
// A recorder that answers true makes that call fail as it would for a bad argument: it does
// nothing and returns 0. A recorder may also throw, standing for an error raised inside the
// call. With no recorder installed a call costs one test of a flag.
using CallRecorder = std::function<bool(const std::string& call)>;
// Installs `recorder` (an empty function: none) and returns the one it replaces.
CallRecorder SetCallRecorder(CallRecorder recorder);

}  // namespace platform
