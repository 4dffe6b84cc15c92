#include "romdb/dat_file.h"

#include "romdb/dat_text_reader.h"
#include "romdb/dat_xml_reader.h"
#include "romdb/parse_hex.h"

namespace cartidex {

namespace {

// Digits of one base only, and no more of them than the value can take.
bool ParseDigits(std::string_view digits, uint32_t base, uint32_t* value) {
  if (digits.empty()) return false;
  uint64_t v = 0;
  for (const char c : digits) {
    const uint32_t d = StrictHexDigit(c);
    if (d >= base) return false;
    v = v * base + d;
    if (v > 0xFFFFFFFFu) return false;
  }
  *value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

bool ParseDatSize(std::string_view text, uint32_t* value) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseDigits(text.substr(2), 16, value);
  }
  return ParseDigits(text, 10, value);
}

bool ParseDatCrc(std::string_view text, uint32_t* value) {
  return text.size() == 8 && ParseDigits(text, 16, value);
}

void DatFile::SetSystem(std::string_view system, uint64_t line) {
  if (system.size() > kMaxText) {
    refused_system_line_ = line;
    return;
  }
  system_.assign(system);
}

void DatFile::Reserve(size_t games, size_t roms) {
  games_.reserve(games);
  roms_.reserve(roms);
}

void DatFile::BeginGame(std::string_view name, uint64_t line) {
  DatGame& g = games_.emplace_back();
  g.name = name;
  g.line = line;
  g.first_rom = static_cast<uint32_t>(roms_.size());
}

void DatFile::AddRom(const DatRomFields& rom) {
  if (games_.empty() || rom.nodump) return;
  if (!rom.name || rom.name->empty() || !rom.size || rom.size->empty() || !rom.crc ||
      rom.crc->empty()) {
    return;
  }
  DatGame& g = games_.back();
  ParsedRom& r = roms_.emplace_back();
  r.name = *rom.name;
  r.sha1 = rom.sha1.value_or(std::string_view());
  r.md5 = rom.md5.value_or(std::string_view());
  if (!ParseDatSize(*rom.size, &r.size) || !ParseDatCrc(*rom.crc, &r.crc)) g.bad_number = true;
  ++g.rom_count;
}

void AddDatFile(const DatFile& dat, RomDatabase* db) {
  if (dat.refused_system_line() != 0) LogSkippedLine(dat.refused_system_line(), kTextTooLong);
  for (const DatGame& g : dat.games()) {
    if (g.rom_count == 0) continue;
    const std::span<const ParsedRom> roms = dat.roms(g);
    const char* reason = nullptr;
    if (g.name.empty()) {
      reason = kMissingFields;  // no name to give the set
    } else if (g.bad_number) {
      reason = db->CheckSet(g.name, roms, dat.system());
      if (reason == nullptr) reason = kBadNumber;
    } else {
      reason = db->AddSet(g.name, roms, dat.system());
    }
    if (reason != nullptr) LogSkippedLine(g.line, reason);
  }
}

bool ReadDat(std::span<char> contents, DatFile* dat) {
  std::string_view text(contents.data(), contents.size());
  // Only XML comes in UTF-16; the parser converts it.
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return ReadXmlDat(contents, dat);
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first != std::string_view::npos && text[first] == '<') return ReadXmlDat(contents, dat);
  return ReadClrMameProDat(std::string_view(contents.data(), contents.size()), dat);
}

}  // namespace cartidex
