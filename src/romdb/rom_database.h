// RomDatabase: the ROM table and the set table, loaded from the datafiles and held in memory for
// the life of the process. One process-wide instance, Database().
#ifndef CARTIDEX_ROMDB_ROM_DATABASE_H_
#define CARTIDEX_ROMDB_ROM_DATABASE_H_

#include <bit>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "romdb/byte_lanes.h"
#include "romdb/capacities.h"
#include "romdb/rom_record.h"
#include "romdb/set_builder.h"
#include "romdb/set_record.h"

namespace cartidex {

inline constexpr uint32_t kNoIndex = 0xFFFFFFFFu;

// The name of the set that a datafile names `name`: cut at its last '.', then ".zip" appended
// ('Demo 1.1' gives 'Demo 1.zip', 'Demo' gives 'Demo.zip', '.cfg' gives '.zip').
std::string FormSetName(std::string_view name);
// What every set name of an own datafile ends in.
inline constexpr std::string_view kSetSuffix = ".zip";
// `name` cut at its last '.': FormSetName(name) is this followed by kSetSuffix. Inline: a load
// asks for every set.
inline std::string_view SetNameStem(std::string_view name) {
  size_t end = name.size();
  // Eight bytes at a time from the end: a load looks for the dot of every set name.
  for (; end >= 8; end -= 8) {
    if (const uint64_t dots = BytesEqual(LoadBytes(name.data() + end - 8), '.')) {
      const size_t last = 7 - static_cast<size_t>(std::countl_zero(dots)) / 8;
      return name.substr(0, end - 8 + last);
    }
  }
  for (; end > 0; --end) {
    if (name[end - 1] == '.') return name.substr(0, end - 1);
  }
  return name;
}

class RomDatabase {
 public:
  RomDatabase();

  // Empties both tables (a load starts with this).
  void Clear();

  // Makes room for `roms` more ROMs and `sets` more sets with names of `name_bytes` bytes in
  // all (each kind of name), so that tables filled in one go grow without copying themselves
  // step by step; the room grows geometrically still. Nothing else changes.
  void Reserve(size_t roms, size_t sets, size_t name_bytes);

  // How far the tables reach, to go back to with Rewind.
  struct Extent {
    size_t roms, names, sets, set_names, slots;
  };
  Extent GetExtent() const {
    return {roms_.size(), names_.size(), sets_.size(), set_names_.size(), set_roms_.size()};
  }
  // Drops every ROM and set added since `extent` was taken, as if they never were (the systems
  // they named stay known, which nothing can tell). Nothing earlier may have changed meanwhile.
  void Rewind(const Extent& extent);

  // Adds a ROM at index RomCount() and returns that index; kNoIndex when the table is full or a
  // text exceeds kMaxText (nothing is written then). The set index and slot are set by AddSet.
  uint32_t AddRom(std::string_view name, std::string_view system, uint32_t crc, uint32_t size);

  // Adds a set named FormSetName(name) whose ROMs are the leading non-negative elements of
  // `roms`, and returns its index; kNoIndex when the set table is full, the set name would exceed
  // kMaxText or the set would exceed kMaxRomsPerSet (nothing is added then).
  uint32_t AddSet(std::string_view name, std::span<const int32_t> roms);
  // The same as AddSet, with `set_name` taken as it stands for the archive and display names
  // (the DAT formats name a set by its game, whose name may hold dots).
  uint32_t AddSetExact(std::string_view set_name, std::span<const int32_t> roms);
  // The id of `system` in the system table, which learns it when new.
  uint32_t InternSystem(std::string_view system);
  // Adds everything `other` holds after what this one holds, as if its ROMs and sets had been
  // added here in its order; its ROMs of the system `placeholder` become ROMs of `system`. The
  // caller has checked that everything fits.
  void AppendTables(const RomDatabase& other, std::string_view placeholder,
                    std::string_view system);
  // Adds `roms` at the end of the ROM table, all of the system `system_id` (from InternSystem;
  // not used when there are no ROMs), and then the set named `stem` followed by `suffix` holding
  // them; the same as AddRom for each and then AddSetExact, in one pass. The caller has checked
  // that everything fits (CheckSetTexts, CheckRoom).
  uint32_t AddCheckedRomsAndSet(std::string_view stem, std::string_view suffix,
                                std::span<const ParsedRom> roms, uint32_t system_id);

  // One row of the lookup index. The rows are grouped in buckets by the top bits of the CRC-32.
  // A bucket of at most kSmallBucket rows keeps them in index order and is searched row by row;
  // a larger one (many entries of one CRC-32) is sorted by CRC-32, size and index and searched
  // by halving.
  struct Row {
    uint32_t crc;
    uint32_t index;
  };
  // The part of the lookup index that the CRC-32s alone decide, for a table whose CRC-32s are
  // `first` followed by `second`: built apart from any database, so that another thread can
  // build it while the halves of a datafile are joined.
  struct IndexBuild {
    std::vector<Row> rows;
    std::vector<uint32_t> starts;  // bucket b holds rows[starts[b]] up to rows[starts[b + 1]]
    uint32_t shift = 32;           // a CRC-32's bucket is crc >> shift
  };
  // (*build's vectors are written over, their room reused.)
  static void BuildIndexOf(std::span<const uint32_t> first, std::span<const uint32_t> second,
                           IndexBuild* build);
  // Takes `build`, made by BuildIndexOf from Crcs() as they are now, as the lookup index; a
  // build of another size is dropped and the index built afresh at the next lookup.
  void AdoptIndex(IndexBuild&& build);
  // The CRC-32 of every ROM, in table order; valid until the next addition.
  std::span<const uint32_t> Crcs() const { return crcs_; }

  // Looks for an entry whose CRC-32 and size equal `crc` and `size`. `*index` is 0 to start a
  // search, or an index that an earlier FindRom returned since the last load. Entries are tried
  // in the order *index + 1, ..., RomCount() - 1, 0, ..., *index - 1; entry *index itself is not
  // tried, except that a search from 0 tries entry 0 last. On a match the result is a copy of the
  // entry, *found is true and *index is the entry's index; otherwise the result is a default
  // record, *found is false and *index is unchanged.
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
  static constexpr uint32_t kSmallBucket = 32;

  // A set: its name in set_names_, its ROM indices and found flags at `first` in set_roms_ and
  // found_. One load appends them all, so a set costs no allocation of its own.
  struct Set {
    uint32_t name_offset;
    uint32_t name_length;
    uint32_t first;
    uint32_t rom_count;
    bool owned;
  };

  // Adds a set named `stem` followed by `suffix`, with `rom_count` slots whose found flags are
  // clear, and gives the position of its slots in set_roms_; the caller fills the ROM indices.
  size_t StartSet(std::string_view stem, std::string_view suffix, size_t rom_count);
  // Appends one ROM table entry (the caller checked the room and marks the index stale).
  void AppendEntry(std::string_view name, uint32_t system_id, uint32_t crc, uint32_t size,
                   int32_t set_index, int32_t slot);
  void BuildIndex() const;
  // Makes `build` the index, sorting its large buckets.
  void InstallIndex(IndexBuild&& build) const;

  std::vector<Entry> roms_;
  // The CRC-32 of every entry again, side by side: building the index reads only these.
  std::vector<uint32_t> crcs_;
  std::string names_;  // every ROM name, back to back
  std::vector<std::string> systems_;
  // Index of each system text in systems_, so that a datafile naming thousands of systems does
  // not make every AddRom scan all of them.
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
  mutable std::vector<Row> index_;
  // Bucket b holds the rows index_[bucket_start_[b]] up to index_[bucket_start_[b + 1]].
  mutable std::vector<uint32_t> bucket_start_;
  mutable uint32_t bucket_shift_ = 32;
  mutable bool index_stale_ = false;
};

// The process-wide database.
RomDatabase& Database();

// The first table that has no room for `rom_count` more ROMs and one more set, or nullptr.
// Inline: a load asks for every set.
inline const char* CheckRoom(const RomDatabase& db, size_t rom_count) {
  if (db.GetRomCount() + rom_count > kMaxRoms) return kRomTableFull;
  if (db.GetSetCount() >= kMaxSets) return kSetTableFull;
  return nullptr;
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_ROM_DATABASE_H_
