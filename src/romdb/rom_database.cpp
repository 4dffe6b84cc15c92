#include "romdb/rom_database.h"

#include <algorithm>
#include <tuple>

namespace cartidex {

std::string FormSetName(std::string_view name) {
  std::string set(SetNameStem(name));
  set.append(kSetSuffix);
  return set;
}

RomDatabase::RomDatabase() {
  Clear();
}

namespace {

// Room for `more` elements after the present ones, at least double the present room.
template <class Container>
void MakeRoom(Container* c, size_t more) {
  const size_t need = c->size() + more;
  if (need > c->capacity()) c->reserve(std::max(need, 2 * c->capacity()));
}

}  // namespace

void RomDatabase::Reserve(size_t roms, size_t sets, size_t name_bytes) {
  MakeRoom(&roms_, roms);
  MakeRoom(&crcs_, roms);
  MakeRoom(&names_, name_bytes);
  MakeRoom(&set_roms_, roms);
  MakeRoom(&found_, roms);
  MakeRoom(&sets_, sets);
  MakeRoom(&set_names_, name_bytes);
}

void RomDatabase::Clear() {
  roms_.clear();
  crcs_.clear();
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
  index_.clear();
  bucket_start_.clear();
  index_stale_ = false;
}

void RomDatabase::Rewind(const Extent& extent) {
  if (roms_.size() == extent.roms && sets_.size() == extent.sets) return;
  roms_.resize(extent.roms);
  crcs_.resize(extent.roms);
  names_.resize(extent.names);
  sets_.resize(extent.sets);
  set_names_.resize(extent.set_names);
  set_roms_.resize(extent.slots);
  found_.resize(extent.slots);
  std::erase_if(marked_sets_, [&](uint32_t s) { return s >= extent.sets; });
  index_stale_ = true;
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

uint32_t RomDatabase::AddRom(std::string_view name, std::string_view system, uint32_t crc,
                             uint32_t size) {
  if (roms_.size() >= kMaxRoms || name.size() > kMaxText || system.size() > kMaxText) {
    return kNoIndex;
  }
  AppendEntry(name, InternSystem(system), crc, size, 0, 0);
  index_stale_ = true;
  return static_cast<uint32_t>(roms_.size() - 1);
}

void RomDatabase::AppendEntry(std::string_view name, uint32_t system_id, uint32_t crc,
                              uint32_t size, int32_t set_index, int32_t slot) {
  roms_.push_back(Entry{static_cast<uint32_t>(names_.size()), static_cast<uint32_t>(name.size()),
                        system_id, crc, size, set_index, slot});
  names_.append(name);
  crcs_.push_back(crc);
}

uint32_t RomDatabase::AddSet(std::string_view name, std::span<const int32_t> roms) {
  return AddSetExact(FormSetName(name), roms);
}

size_t RomDatabase::StartSet(std::string_view stem, std::string_view suffix, size_t rom_count) {
  const size_t first = set_roms_.size();
  sets_.push_back(Set{static_cast<uint32_t>(set_names_.size()),
                      static_cast<uint32_t>(stem.size() + suffix.size()),
                      static_cast<uint32_t>(first), static_cast<uint32_t>(rom_count), false});
  set_names_.append(stem);
  set_names_.append(suffix);
  set_roms_.resize(first + rom_count);
  found_.resize(first + rom_count, 0);
  return first;
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
  const size_t first = StartSet(set_name, {}, count);
  for (size_t c = 0; c < count; ++c) {
    set_roms_[first + c] = roms[c];
    Entry& e = roms_[static_cast<size_t>(roms[c])];
    e.set_index = s;
    e.slot = static_cast<int32_t>(c);
  }
  return static_cast<uint32_t>(s);
}

uint32_t RomDatabase::AddCheckedRomsAndSet(std::string_view stem, std::string_view suffix,
                                           std::span<const ParsedRom> roms, uint32_t system_id) {
  const int32_t s = static_cast<int32_t>(sets_.size());
  const size_t first = StartSet(stem, suffix, roms.size());
  for (size_t c = 0; c < roms.size(); ++c) {
    const ParsedRom& rom = roms[c];
    set_roms_[first + c] = static_cast<int32_t>(roms_.size());
    AppendEntry(rom.name, system_id, rom.crc, rom.size, s, static_cast<int32_t>(c));
  }
  if (!roms.empty()) index_stale_ = true;
  return static_cast<uint32_t>(s);
}

void RomDatabase::AppendTables(const RomDatabase& other, std::string_view placeholder,
                               std::string_view system) {
  std::vector<uint32_t> system_of(other.systems_.size());
  for (size_t i = 0; i < other.systems_.size(); ++i) {
    const std::string& text = other.systems_[i];
    system_of[i] = InternSystem(text == placeholder ? system : std::string_view(text));
  }
  const uint32_t rom_base = static_cast<uint32_t>(roms_.size());
  const uint32_t name_base = static_cast<uint32_t>(names_.size());
  const int32_t set_base = static_cast<int32_t>(sets_.size());
  Reserve(other.roms_.size(), other.sets_.size(), 0);
  MakeRoom(&names_, other.names_.size());
  MakeRoom(&set_names_, other.set_names_.size());
  for (const Entry& e : other.roms_) {
    roms_.push_back(Entry{e.name_offset + name_base, e.name_length, system_of[e.system], e.crc,
                          e.size, e.set_index + set_base, e.slot});
  }
  names_.append(other.names_);
  crcs_.insert(crcs_.end(), other.crcs_.begin(), other.crcs_.end());
  const uint32_t set_name_base = static_cast<uint32_t>(set_names_.size());
  const uint32_t slot_base = static_cast<uint32_t>(set_roms_.size());
  for (const Set& s : other.sets_) {
    sets_.push_back(Set{s.name_offset + set_name_base, s.name_length, s.first + slot_base,
                        s.rom_count, s.owned});
  }
  set_names_.append(other.set_names_);
  for (const int32_t rom : other.set_roms_) {
    set_roms_.push_back(rom + static_cast<int32_t>(rom_base));
  }
  found_.insert(found_.end(), other.found_.begin(), other.found_.end());
  for (const uint32_t s : other.marked_sets_) {
    marked_sets_.push_back(s + static_cast<uint32_t>(set_base));
  }
  if (!other.roms_.empty()) index_stale_ = true;
}

RomRecord RomDatabase::FindRom(uint32_t crc, uint32_t size, bool* found, uint32_t* index) const {
  *found = false;
  RomRecord result;
  if (roms_.empty()) return result;
  if (index_stale_) BuildIndex();

  const uint32_t bucket = crc >> bucket_shift_;
  const Row* first = index_.data() + bucket_start_[bucket];
  const Row* last = index_.data() + bucket_start_[bucket + 1];
  const uint32_t k = *index;
  // Wanted: the next match after k, going round; k itself only when it is 0 (tried last). So
  // the first match past k, or else the lowest match when it comes before k.
  uint32_t past_k = kNoIndex;
  uint32_t lowest = kNoIndex;
  if (last - first <= static_cast<ptrdiff_t>(kSmallBucket)) {
    for (const Row* r = first; r < last; ++r) {
      if (r->crc != crc || roms_[r->index].size != size) continue;
      if (lowest == kNoIndex) lowest = r->index;
      if (r->index > k) {
        past_k = r->index;
        break;
      }
    }
  } else {
    // Sorted: the matches are one run, in index order.
    auto before = [](const Row& row, uint32_t row_size, uint32_t c, uint32_t s, uint32_t i) {
      return std::tie(row.crc, row_size, row.index) < std::tie(c, s, i);
    };
    const Row* run = std::partition_point(first, last, [&](const Row& row) {
      return before(row, roms_[row.index].size, crc, size, 0);
    });
    const Row* next = std::partition_point(run, last, [&](const Row& row) {
      return row.crc == crc && roms_[row.index].size == size && row.index <= k;
    });
    if (run < last && run->crc == crc && roms_[run->index].size == size) lowest = run->index;
    if (next < last && next->crc == crc && roms_[next->index].size == size) past_k = next->index;
  }
  uint32_t hit;
  if (past_k != kNoIndex) {
    hit = past_k;
  } else if (lowest != kNoIndex && (lowest < k || (k == 0 && lowest == 0))) {
    hit = lowest;
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
  for (uint32_t s : marked_sets_) {
    if (s >= sets_.size()) continue;
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
