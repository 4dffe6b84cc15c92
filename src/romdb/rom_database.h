// RomDatabase: the ROM table and the set table, loaded from the datafiles and held in memory for
// the life of the process. One process-wide instance, Database().
#ifndef CARTIDEX_ROMDB_ROM_DATABASE_H_
#define CARTIDEX_ROMDB_ROM_DATABASE_H_

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "romdb/rom_hashes.h"
#include "romdb/rom_index.h"
#include "romdb/rom_record.h"
#include "romdb/set_limits.h"
#include "romdb/set_record.h"

namespace cartidex {

// One ROM of a set as a reader gives it. The texts are views into the reader's text; the SHA-1
// and MD5 are hexadecimal texts, empty when the datafile gives none (their initializers let a
// reader without digests leave them out).
struct ParsedRom {
  std::string_view name;
  uint32_t size = 0;
  uint32_t crc = 0;
  std::string_view sha1 = {};
  std::string_view md5 = {};
};

class RomDatabase {
 public:
  RomDatabase();

  // Empties both tables (a load starts with this).
  void Clear();

  // Why the set `name` (followed by ".zip", as every set's name) holding `roms`, all of
  // `system`, would be refused, or nullptr when it fits. In this order: more than kMaxRomsPerSet
  // ROMs ("too many roms"); the system, the set's name with its ".zip" or a ROM name over
  // kMaxText ("text too long"); no room for the ROMs ("rom table full"); no room for the set
  // ("set table full").
  const char* CheckSet(std::string_view name, std::span<const ParsedRom> roms,
                       std::string_view system) const;
  // Adds the ROMs at the end of the ROM table and the set holding them when CheckSet passes;
  // adds nothing otherwise. Returns CheckSet's answer. The set's archive and display names are
  // `name` followed by ".zip". A ROM's SHA-1 or MD5 is kept as RomHashes::Add says.
  const char* AddSet(std::string_view name, std::span<const ParsedRom> roms,
                     std::string_view system);

  // Looks for an entry whose CRC-32 and size equal `crc` and `size`. `*index` is 0 to start a
  // search, or an index that an earlier FindRom returned since the last load. Entries are tried
  // in the order *index + 1, ..., GetRomCount() - 1, 0, ..., *index - 1; entry *index itself is
  // not tried, except that a search from 0 tries entry 0 last. On a match the result is a copy
  // of the entry, *found is true and *index is the entry's index; otherwise the result is a
  // default record, *found is false and *index is unchanged.
  RomRecord FindRom(uint32_t crc, uint32_t size, bool* found, uint32_t* index) const;

  // Sets the found flag of `slot` in set `set_index`. True when the set and slot are loaded;
  // *newly (when given) tells whether the flag was clear before.
  bool MarkRomFound(int32_t set_index, int32_t slot, bool* newly = nullptr);
  // Stores `value` in the owned flag of a loaded set; does nothing for any other index.
  void MarkSetOwned(int32_t set_index, bool value);
  // Clears the found flags of every loaded set; owned flags stay.
  void ClearFoundFlags();

  uint32_t GetSetCount() const { return static_cast<uint32_t>(sets_.size()); }
  uint32_t GetRomCount() const { return static_cast<uint32_t>(roms_.size()); }
  // The set at a loaded index (no range check beyond the containers' own); its views stay valid
  // until the database next loads or adds.
  SetRecord GetSet(uint32_t set_index) const;
  // A copy of the ROM at a loaded index.
  RomRecord GetRom(uint32_t rom_index) const;
  std::string_view RomName(uint32_t rom_index) const;
  // The digest a file must have to match the ROM at a loaded index; nullopt when it has none.
  std::optional<RomHash> RomDigest(uint32_t rom_index) const { return hashes_.Of(rom_index); }
  // Whether some loaded ROM of `size` bytes has a digest of `kind`.
  bool AnyDigestOfSize(HashKind kind, uint32_t size) const { return hashes_.AnyOfSize(kind, size); }
  const std::string& RomSystem(uint32_t rom_index) const;

 private:
  struct Entry {
    uint32_t name_offset;
    uint32_t name_length;
    uint32_t system;  // index into systems_
    uint32_t crc;
    uint32_t size;
    int32_t set_index;
    int32_t slot;
  };
  // A set: its name in set_names_, its ROM indices and found flags at `first` in set_roms_ and
  // found_. A load appends them all, so a set costs no allocation of its own.
  struct Set {
    uint32_t name_offset;
    uint32_t name_length;
    uint32_t first;
    uint32_t rom_count;
    bool owned;
  };

  // The id of `system` in systems_, which learns it when new.
  uint32_t InternSystem(std::string_view system);

  std::vector<Entry> roms_;
  std::string names_;  // every ROM name, back to back
  // Every system a ROM names, once: datafiles give thousands of ROMs of one system.
  std::vector<std::string> systems_;
  struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  std::unordered_map<std::string, uint32_t, TextHash, std::equal_to<>> system_ids_;
  uint32_t last_system_ = 0;  // the system InternSystem gave last
  std::vector<Set> sets_;
  std::string set_names_;
  std::vector<int32_t> set_roms_;
  std::vector<uint8_t> found_;
  // Sets whose found flags may be set: ClearFoundFlags needs to visit only these.
  std::vector<uint32_t> marked_sets_;
  RomIndex index_;
  RomHashes hashes_;
};

// The process-wide database.
RomDatabase& Database();

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_ROM_DATABASE_H_
