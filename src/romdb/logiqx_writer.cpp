#include "romdb/logiqx_writer.h"

#include <pugixml.hpp>

namespace cartidex {

namespace {

// Collects the saved document in a string, to be written through the Env by the caller.
class StringWriter : public pugi::xml_writer {
 public:
  void write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
  std::string text;
};

// `value` as `digits` lower-case hexadecimal digits, leading zeros kept, as Logiqx DATs write
// CRC-32s and digests.
void AppendLowerHex(uint32_t value, int digits, std::string* text) {
  static const char kDigits[] = "0123456789abcdef";
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
    *text += kDigits[(value >> shift) & 0xF];
}

void AddRom(const RomDatabase& db, uint32_t rom_index, pugi::xml_node game) {
  const RomRecord rom = db.GetRom(rom_index);
  pugi::xml_node node = game.append_child("rom");
  node.append_attribute("name").set_value(rom.name.c_str());
  node.append_attribute("size").set_value(std::to_string(rom.size).c_str());
  std::string crc;
  AppendLowerHex(rom.crc, 8, &crc);
  node.append_attribute("crc").set_value(crc.c_str());
  if (std::optional<RomHash> hash = db.RomDigest(rom_index)) {
    std::string digest;
    for (uint8_t byte : hash->digest.view()) AppendLowerHex(byte, 2, &digest);
    node.append_attribute(hash->kind == HashKind::kSha1 ? "sha1" : "md5").set_value(digest.c_str());
  }
}

}  // namespace

std::string LogiqxDatText(const RomDatabase& db, std::string_view name,
                          std::span<const uint32_t> set_indices) {
  pugi::xml_document doc;
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version").set_value("1.0");
  doc.append_child(pugi::node_doctype)
      .set_value(
          "datafile PUBLIC \"-//Logiqx//DTD ROM Management Datafile//EN\" "
          "\"http://www.logiqx.com/Dats/datafile.dtd\"");
  pugi::xml_node root = doc.append_child("datafile");
  pugi::xml_node header = root.append_child("header");
  const std::string title(name);
  header.append_child("name").text().set(title.c_str());
  header.append_child("description").text().set(title.c_str());
  for (uint32_t set_index : set_indices) {
    const SetRecord set = db.GetSet(set_index);
    std::string_view game_name = set.display_name;
    if (game_name.ends_with(".zip")) game_name.remove_suffix(4);
    const std::string game_text(game_name);
    pugi::xml_node game = root.append_child("game");
    game.append_attribute("name").set_value(game_text.c_str());
    game.append_child("description").text().set(game_text.c_str());
    for (int32_t rom_index : set.rom_indices) {
      if (rom_index >= 0 && static_cast<uint32_t>(rom_index) < db.GetRomCount()) {
        AddRom(db, static_cast<uint32_t>(rom_index), game);
      }
    }
  }
  StringWriter writer;
  doc.save(writer, "\t", pugi::format_default, pugi::encoding_utf8);
  return writer.text;
}

}  // namespace cartidex
