#include "table/hi_score.h"

#include <algorithm>
#include <cstddef>

#include "platform/files.h"

namespace cp {
namespace {

// Unicode code points of Windows-1252 bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control of the same number, as
// Windows itself converts them, so that any byte of a score file survives a round trip.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::uint8_t ToWindows1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<std::uint8_t>(cp);
  for (std::size_t i = 0; i < 32; ++i) {
    if (kHighControls[i] == cp) return static_cast<std::uint8_t>(0x80 + i);
  }
  return '?';
}

// Decodes one UTF-8 sequence at `i`, advancing `i`. A malformed sequence yields one
// replacement per bad byte, which the caller stores as '?'.
char32_t NextCodePoint(const std::string& s, std::size_t& i) {
  constexpr char32_t kBad = 0xFFFD;
  const auto lead = static_cast<unsigned char>(s[i++]);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
    min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
    min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
    min = 0x10000;
  } else {
    return kBad;
  }
  std::size_t j = i;
  for (int k = 0; k < extra; ++k, ++j) {
    if (j >= s.size() || (static_cast<unsigned char>(s[j]) & 0xC0) != 0x80) return kBad;
    cp = (cp << 6) | (static_cast<unsigned char>(s[j]) & 0x3F);
  }
  i = j;
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return kBad;
  return cp;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

void WriteU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

std::string Windows1252ToUtf8(std::span<const std::uint8_t> bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::uint8_t b : bytes) {
    AppendUtf8(out, (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : char32_t{b});
  }
  return out;
}

std::vector<std::uint8_t> Utf8ToWindows1252(const std::string& text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) out.push_back(ToWindows1252(NextCodePoint(text, i)));
  return out;
}

HiScoreTable DecodeHiScoreFile(std::span<const std::uint8_t> bytes) {
  HiScoreTable table{};
  std::size_t at = 0;
  // Takes the next field when all of it is there.
  const auto next = [&](std::size_t size) {
    if (bytes.size() - at < size) return false;
    at += size;
    return true;
  };
  for (HiScoreRec& rec : table) {
    if (!next(2)) break;
    const std::size_t name_bytes = ReadU16(bytes, at - 2);
    if (!next(name_bytes)) break;
    rec.Name = Windows1252ToUtf8(bytes.subspan(at - name_bytes, name_bytes));
    if (!next(2)) break;
    rec.Score = static_cast<std::int16_t>(ReadU16(bytes, at - 2));
    if (!next(rec.Extra.size())) break;
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at - rec.Extra.size()),
                rec.Extra.size(), rec.Extra.begin());
  }
  return table;
}

std::vector<std::uint8_t> EncodeHiScoreFile(const HiScoreTable& table,
                                            std::span<const std::uint8_t> old_bytes) {
  std::vector<std::uint8_t> records;
  for (const HiScoreRec& rec : table) {
    std::vector<std::uint8_t> name = Utf8ToWindows1252(rec.Name);
    if (name.size() > kMaxNameBytes) name.resize(kMaxNameBytes);
    WriteU16(records, static_cast<std::uint16_t>(name.size()));
    records.insert(records.end(), name.begin(), name.end());
    WriteU16(records, static_cast<std::uint16_t>(rec.Score));
    records.insert(records.end(), rec.Extra.begin(), rec.Extra.end());
  }
  std::vector<std::uint8_t> file(old_bytes.begin(), old_bytes.end());
  if (file.size() < records.size()) file.resize(records.size());
  std::copy(records.begin(), records.end(), file.begin());
  return file;
}

std::string WriteHiScoreFile(const std::string& path, const HiScoreTable& table) {
  const std::optional<std::vector<std::uint8_t>> old = platform::ReadFileBytes(path);
  const std::vector<std::uint8_t> bytes = EncodeHiScoreFile(
      table, old ? std::span<const std::uint8_t>(*old) : std::span<const std::uint8_t>());
  std::string error;
  if (platform::WriteFileOver(path, bytes, &error)) return {};
  return error.empty() ? "the file could not be written" : error;
}

}  // namespace cp
