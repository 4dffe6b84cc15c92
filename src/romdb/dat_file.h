// DatFile: what one DAT (Logiqx XML, ClrMamePro text or software list) says about its games,
// gathered whole before any of it goes into the database, so that a broken file adds nothing.
// The readers fill it in file order; AddDatFile then adds one set per game.
#ifndef CARTIDEX_ROMDB_DAT_FILE_H_
#define CARTIDEX_ROMDB_DAT_FILE_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "romdb/rom_database.h"

namespace cartidex {

enum class DatFormat { kLogiqx, kClrMamePro, kSoftwareList };

// One ROM as a DAT states it; a field the DAT does not give is nullopt.
struct DatRomFields {
  std::optional<std::string_view> name;
  std::optional<std::string_view> size;
  std::optional<std::string_view> crc;
  bool nodump = false;
  // The digests, where the DAT gives them.
  std::optional<std::string_view> sha1 = {};
  std::optional<std::string_view> md5 = {};
};

// One game (machine, software) of a DAT.
struct DatGame {
  // Empty when the DAT gives none.
  std::string_view name;
  // Line of the file where the game begins, counted from 1.
  uint64_t line = 0;
  // A size or CRC-32 of a kept ROM is malformed: the whole game is refused.
  bool bad_number = false;
  // Where the game's kept ROMs lie among all of them.
  uint32_t first_rom = 0;
  uint32_t rom_count = 0;
};

// The texts are views into the text the reader was given (or into storage the reader hands
// over with KeepAlive); that text must outlive the DatFile. Nothing is copied, which keeps the
// load of a large DAT close to the time of reading it.
class DatFile {
 public:
  DatFormat format = DatFormat::kLogiqx;

  // Names the system of every set, from the header at `line`. A name longer than kMaxText is
  // refused (logged when the file is added) and the system stays "Unknown".
  void SetSystem(std::string_view system, uint64_t line);
  const std::string& system() const { return system_; }

  // Starts a game; the ROMs added next belong to it.
  void BeginGame(std::string_view name, uint64_t line);
  // Adds a ROM to the game begun last. A ROM without a name, size or CRC-32 (absent or empty),
  // or marked as not dumped, is left out; one whose size or CRC-32 is malformed is kept with the
  // value 0 and marks the game. Its SHA-1 and MD5 texts go along as they stand.
  void AddRom(const DatRomFields& rom);

  // Holds `storage` (say, a parsed document the views point into) as long as this DatFile.
  void KeepAlive(std::shared_ptr<const void> storage) { storage_ = std::move(storage); }

  // For the readers, which know roughly how much is coming.
  void Reserve(size_t games, size_t roms);

  const std::vector<DatGame>& games() const { return games_; }
  // The ROMs kept for a game, in file order.
  std::span<const ParsedRom> roms(const DatGame& game) const {
    return std::span<const ParsedRom>(roms_).subspan(game.first_rom, game.rom_count);
  }
  // Line of the system name that was refused as too long, or 0.
  uint64_t refused_system_line() const { return refused_system_line_; }

 private:
  std::string system_ = "Unknown";
  uint64_t refused_system_line_ = 0;
  std::vector<DatGame> games_;
  std::vector<ParsedRom> roms_;
  std::shared_ptr<const void> storage_;
};

// Adds one set per game of `dat` to `db`, named the game's name followed by ".zip" and holding
// the game's kept ROMs; a game without a kept ROM adds nothing. A game without a name, beyond a
// capacity or with a malformed number is refused whole and logged as " ! Line N skipped: REASON"
// with N its first line: "missing fields" for a game without a name, then the reasons of
// RomDatabase::CheckSet, then "bad number".
void AddDatFile(const DatFile& dat, RomDatabase* db);

// Reads a DAT whole into *dat: XML (a Logiqx datafile or a software list) when it opens with a
// UTF-16 byte-order mark or its first byte after a UTF-8 one and blanks is '<', ClrMamePro text
// otherwise. *contents may be changed, and *dat's names point into it: it must outlive *dat.
// False when the text is none of them or not well-formed; *dat is of no use then.
bool ReadDat(std::span<char> contents, DatFile* dat);
inline bool ReadDat(std::string* contents, DatFile* dat) {
  return ReadDat(std::span<char>(*contents), dat);
}

// The numbers of the DAT formats, read strictly: a DAT that says something odd about a ROM is
// more likely broken than meant, and a wrong size or CRC-32 would silently mis-identify files.
// A size: decimal digits, or "0x" / "0X" followed by hexadecimal digits, with nothing before or
// after them and a value that fits 32 bits. False (and *value untouched) for anything else.
bool ParseDatSize(std::string_view text, uint32_t* value);
// A CRC-32: exactly eight hexadecimal digits, either case. False (*value untouched) otherwise.
bool ParseDatCrc(std::string_view text, uint32_t* value);

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_DAT_FILE_H_
