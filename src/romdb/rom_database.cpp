#include "romdb/rom_database.h"

#include <algorithm>
#include <tuple>

namespace cartidex {

std::string FormSetName(std::string_view name) {
  size_t dot = name.rfind('.');
  std::string set(dot == std::string_view::npos ? name : name.substr(0, dot));
  set += ".zip";
  return set;
}

RomDatabase::RomDatabase() { Clear(); }

void RomDatabase::Clear() {
  roms_.clear();
  names_.clear();
  systems_.assign(1, std::string(kUnknown));
  system_ids_.clear();
  system_ids_.emplace(kUnknown, 0);
  sets_.clear();
  index_.clear();
  index_stale_ = false;
}

uint32_t RomDatabase::InternSystem(std::string_view system) {
  // Datafiles give runs of ROMs of one system, so the last one is the usual answer.
  if (systems_.back() == system) return static_cast<uint32_t>(systems_.size() - 1);
  if (auto it = system_ids_.find(system); it != system_ids_.end()) return it->second;
  const uint32_t id = static_cast<uint32_t>(systems_.size());
  systems_.emplace_back(system);
  system_ids_.emplace(systems_.back(), id);
  return id;
}

uint32_t RomDatabase::AddRom(std::string_view name, std::string_view system, uint32_t crc,
                             uint32_t size) {
  if (roms_.size() >= kMaxRoms || name.size() > kMaxText || system.size() > kMaxText) {
    return kNoIndex;
  }
  Entry e{static_cast<uint32_t>(names_.size()),
          static_cast<uint32_t>(name.size()),
          InternSystem(system),
          crc,
          size,
          0,
          0};
  names_.append(name);
  roms_.push_back(e);
  index_stale_ = true;
  return static_cast<uint32_t>(roms_.size() - 1);
}

uint32_t RomDatabase::AddSet(std::string_view name, std::span<const int32_t> roms) {
  return AddSetExact(FormSetName(name), roms);
}

uint32_t RomDatabase::AddSetExact(std::string_view set_name, std::span<const int32_t> roms) {
  size_t count = 0;
  while (count < roms.size() && roms[count] >= 0) ++count;
  if (sets_.size() >= kMaxSets || set_name.size() > kMaxText ||
      count > static_cast<size_t>(kMaxRomsPerSet)) {
    return kNoIndex;
  }
  for (size_t c = 0; c < count; ++c) {
    if (static_cast<size_t>(roms[c]) >= roms_.size()) return kNoIndex;
  }
  const int32_t s = static_cast<int32_t>(sets_.size());
  SetRecord& set = sets_.emplace_back();
  set.archive_name = set_name;
  set.display_name = set_name;
  set.rom_indices.assign(roms.begin(), roms.begin() + static_cast<ptrdiff_t>(count));
  set.found.assign(count, 0);
  for (size_t c = 0; c < count; ++c) {
    Entry& e = roms_[static_cast<size_t>(roms[c])];
    e.set_index = s;
    e.slot = static_cast<int32_t>(c);
  }
  return static_cast<uint32_t>(s);
}

void RomDatabase::BuildIndex() const {
  index_.clear();
  index_.reserve(roms_.size());
  for (uint32_t i = 0; i < roms_.size(); ++i) index_.push_back({roms_[i].crc, roms_[i].size, i});
  std::sort(index_.begin(), index_.end(), [](const Key& a, const Key& b) {
    return std::tie(a.crc, a.size, a.index) < std::tie(b.crc, b.size, b.index);
  });
  index_stale_ = false;
}

RomRecord RomDatabase::FindRom(uint32_t crc, uint32_t size, bool* found, uint32_t* index) const {
  *found = false;
  RomRecord result;
  if (roms_.empty()) return result;
  if (index_stale_) BuildIndex();

  auto before = [](const Key& a, const Key& b) {
    return std::tie(a.crc, a.size, a.index) < std::tie(b.crc, b.size, b.index);
  };
  // The matching entries, in index order.
  auto first = std::lower_bound(index_.begin(), index_.end(), Key{crc, size, 0}, before);
  auto last = std::upper_bound(index_.begin(), index_.end(), Key{crc, size, kNoIndex}, before);
  if (first == last) return result;

  const uint32_t k = *index;
  // The next match after k, going round; k itself only when it is 0 (tried last).
  auto next = std::upper_bound(first, last, Key{crc, size, k}, before);
  uint32_t hit;
  if (next != last) {
    hit = next->index;
  } else if (first->index < k || (k == 0 && first->index == 0)) {
    hit = first->index;
  } else {
    return result;
  }
  result = GetRom(hit);
  *index = hit;
  *found = true;
  return result;
}

bool RomDatabase::MarkRomFound(int32_t set_index, int32_t slot, bool* newly) {
  if (newly != nullptr) *newly = false;
  if (set_index < 0 || static_cast<size_t>(set_index) >= sets_.size()) return false;
  SetRecord& set = sets_[static_cast<size_t>(set_index)];
  if (slot < 0 || slot >= set.rom_count()) return false;
  if (newly != nullptr) *newly = set.found[static_cast<size_t>(slot)] == 0;
  set.found[static_cast<size_t>(slot)] = 1;
  return true;
}

void RomDatabase::MarkSetOwned(int32_t set_index, bool value) {
  if (set_index < 0 || static_cast<size_t>(set_index) >= sets_.size()) return;
  sets_[static_cast<size_t>(set_index)].owned = value;
}

void RomDatabase::ClearFoundFlags() {
  for (SetRecord& set : sets_) std::fill(set.found.begin(), set.found.end(), 0);
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
