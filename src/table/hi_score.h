// The high-score table and the byte layout of "score.dat".
//
// The file holds the four records of HiScore back to back, entry 0 first, little-endian:
//   2 bytes  length N of the name (unsigned 16-bit)
//   N bytes  the name, one byte per character, Windows-1252
//   2 bytes  Score, signed 16-bit
//   6 bytes  Extra, carried through untouched
// Whatever follows the fourth record is never read, and is kept when the file is written.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace cp {

struct HiScoreRec {
  std::string Name;  // UTF-8 in memory
  std::int16_t Score = 0;
  std::array<std::uint8_t, 6> Extra{};
};

using HiScoreTable = std::array<HiScoreRec, 4>;

// Entries 0 to 2 are the three best, highest first; entry 3 is only carried through.
inline HiScoreTable HiScore{};

// The bytes of "score.dat" from which the title screen filled HiScore at start; nullopt while
// HiScore has not come from the file. At exit a file that no longer holds them has been
// written by another copy of the game meanwhile, and its table is taken afresh.
inline std::optional<std::vector<std::uint8_t>> HiScoreFileBytes;

// The longest name, in bytes, that the 16-bit length can hold.
inline constexpr std::size_t kMaxNameBytes = 65535;

// The table a score file holds, read leniently: the table starts cleared (empty names, scores
// 0, Extra zero), and the records are read field by field in file order (length, name, score,
// Extra of entry 0, then of entry 1, ...). Reading stops at the first field that does not lie
// wholly within `bytes`; that field and every one after it stay as cleared. So an empty file
// gives the cleared table, a file whose last record is cut short keeps the entries before it,
// and nothing after the fourth record is looked at. Safe on any input; never fails.
HiScoreTable DecodeHiScoreFile(std::span<const std::uint8_t> bytes);

// The new file content: the four records laid over `old_bytes` from its first byte on,
// so that bytes of an earlier, longer file beyond the new end stay as they were.
// Characters that Windows-1252 cannot hold are stored as "?", and a name is cut to
// kMaxNameBytes so that its length fits the 16-bit field.
std::vector<std::uint8_t> EncodeHiScoreFile(const HiScoreTable& table,
                                            std::span<const std::uint8_t> old_bytes);

// Writes `table` to the score file at `path` (a program path, "\" separators): the records
// over the file's current bytes (EncodeHiScoreFile), through platform::WriteFileOver, so the
// file never gets shorter and is on the disk when this returns. Returns the empty text, or a
// short English reason why the file was not written ("Permission denied", ...).
std::string WriteHiScoreFile(const std::string& path, const HiScoreTable& table);

// Name conversions between UTF-8 and Windows-1252. The five bytes the code page leaves
// unassigned stand for the C1 controls of the same number, so every byte survives a round
// trip; text that is not valid UTF-8 gives one "?" per bad byte.
std::string Windows1252ToUtf8(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> Utf8ToWindows1252(const std::string& text);

}  // namespace cp
