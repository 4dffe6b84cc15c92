#include "romdb/rom_database.h"

#include <algorithm>

namespace cartidex {

RomDatabase::RomDatabase() {
  Clear();
}

void RomDatabase::Clear() {
  roms_.clear();
  names_.clear();
  systems_.assign(1, std::string(kUnknown));
  system_ids_.clear();
  system_ids_.emplace(kUnknown, 0);
  last_system_ = 0;
  sets_.clear();
  set_names_.clear();
  set_roms_.clear();
  found_.clear();
  marked_sets_.clear();
  index_.Clear();
  hashes_.Clear();
}

uint32_t RomDatabase::InternSystem(std::string_view system) {
  // Datafiles give runs of ROMs of one system, so the last one is the usual answer.
  if (systems_[last_system_] == system) return last_system_;
  if (auto it = system_ids_.find(system); it != system_ids_.end()) return last_system_ = it->second;
  last_system_ = static_cast<uint32_t>(systems_.size());
  systems_.emplace_back(system);
  system_ids_.emplace(systems_.back(), last_system_);
  return last_system_;
}

namespace {

// What every set's name ends in.
constexpr std::string_view kSetSuffix = ".zip";

}  // namespace

const char* RomDatabase::CheckSet(std::string_view name, std::span<const ParsedRom> roms,
                                  std::string_view system) const {
  if (roms.size() > static_cast<size_t>(kMaxRomsPerSet)) return kTooManyRoms;
  if (system.size() > kMaxText || name.size() + kSetSuffix.size() > kMaxText) return kTextTooLong;
  for (const ParsedRom& rom : roms) {
    if (rom.name.size() > kMaxText) return kTextTooLong;
  }
  if (roms_.size() + roms.size() > kMaxRoms) return kRomTableFull;
  if (sets_.size() >= kMaxSets) return kSetTableFull;
  return nullptr;
}

const char* RomDatabase::AddSet(std::string_view name, std::span<const ParsedRom> roms,
                                std::string_view system) {
  if (const char* reason = CheckSet(name, roms, system)) return reason;
  const int32_t set_index = static_cast<int32_t>(sets_.size());
  const uint32_t first = static_cast<uint32_t>(set_roms_.size());
  sets_.push_back(Set{static_cast<uint32_t>(set_names_.size()),
                      static_cast<uint32_t>(name.size() + kSetSuffix.size()), first,
                      static_cast<uint32_t>(roms.size()), false});
  set_names_.append(name);
  set_names_.append(kSetSuffix);
  // A set without ROMs names no system: the system table only learns systems that ROMs use.
  const uint32_t system_id = roms.empty() ? 0 : InternSystem(system);
  for (size_t slot = 0; slot < roms.size(); ++slot) {
    const ParsedRom& rom = roms[slot];
    set_roms_.push_back(static_cast<int32_t>(roms_.size()));
    found_.push_back(0);
    roms_.push_back(Entry{static_cast<uint32_t>(names_.size()),
                          static_cast<uint32_t>(rom.name.size()), system_id, rom.crc, rom.size,
                          set_index, static_cast<int32_t>(slot)});
    names_.append(rom.name);
    index_.Add(rom.crc, rom.size);
    if (!rom.sha1.empty() || !rom.md5.empty()) {
      hashes_.Add(static_cast<uint32_t>(roms_.size() - 1), rom.size, rom.sha1, rom.md5);
    }
  }
  return nullptr;
}

RomRecord RomDatabase::FindRom(uint32_t crc, uint32_t size, bool* found, uint32_t* index) const {
  *found = false;
  if (roms_.empty()) return RomRecord();
  const std::optional<uint32_t> hit = index_.Next(crc, size, *index);
  if (!hit) return RomRecord();
  *index = *hit;
  *found = true;
  return GetRom(*hit);
}

bool RomDatabase::MarkRomFound(int32_t set_index, int32_t slot, bool* newly) {
  if (newly != nullptr) *newly = false;
  if (set_index < 0 || static_cast<size_t>(set_index) >= sets_.size()) return false;
  const Set& set = sets_[static_cast<size_t>(set_index)];
  if (slot < 0 || static_cast<uint32_t>(slot) >= set.rom_count) return false;
  uint8_t& flag = found_[set.first + static_cast<uint32_t>(slot)];
  if (newly != nullptr) *newly = flag == 0;
  if (flag == 0) marked_sets_.push_back(static_cast<uint32_t>(set_index));
  flag = 1;
  return true;
}

void RomDatabase::MarkSetOwned(int32_t set_index, bool value) {
  if (set_index < 0 || static_cast<size_t>(set_index) >= sets_.size()) return;
  sets_[static_cast<size_t>(set_index)].owned = value;
}

void RomDatabase::ClearFoundFlags() {
  for (const uint32_t s : marked_sets_) {
    const auto first = found_.begin() + sets_[s].first;
    std::fill(first, first + sets_[s].rom_count, 0);
  }
  marked_sets_.clear();
}

SetRecord RomDatabase::GetSet(uint32_t set_index) const {
  const Set& set = sets_[set_index];
  SetRecord record;
  record.rom_indices = std::span<const int32_t>(set_roms_.data() + set.first, set.rom_count);
  record.found = std::span<const uint8_t>(found_.data() + set.first, set.rom_count);
  record.archive_name = std::string_view(set_names_).substr(set.name_offset, set.name_length);
  record.display_name = record.archive_name;
  record.owned = set.owned;
  return record;
}

RomRecord RomDatabase::GetRom(uint32_t rom_index) const {
  const Entry& e = roms_[rom_index];
  RomRecord r;
  r.name.assign(names_, e.name_offset, e.name_length);
  r.system = systems_[e.system];
  r.crc = e.crc;
  r.size = e.size;
  r.set_index = e.set_index;
  r.slot = e.slot;
  return r;
}

std::string_view RomDatabase::RomName(uint32_t rom_index) const {
  const Entry& e = roms_[rom_index];
  return std::string_view(names_).substr(e.name_offset, e.name_length);
}

const std::string& RomDatabase::RomSystem(uint32_t rom_index) const {
  return systems_[roms_[rom_index].system];
}

RomDatabase& Database() {
  static RomDatabase db;
  return db;
}

}  // namespace cartidex
