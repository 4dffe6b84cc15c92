#include "app/headless_view.h"

#include <utility>

namespace cartidex {

std::string HeadlessView::GetText(int id) {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

std::optional<std::string> HeadlessView::ChooseFile() {
  return std::exchange(next_answer_, {});
}

std::optional<std::string> HeadlessView::ChooseFolder() {
  return std::exchange(next_answer_, {});
}

void HeadlessView::ShowMessage(std::string_view text, std::string_view /*caption*/) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    output_.push_back(text[i]);
  }
  output_.push_back('\n');
}

void HeadlessView::SetChecked(int id, bool checked) {
  if (checked) {
    checked_.insert(id);
  } else {
    checked_.erase(id);
  }
}

std::string HeadlessView::StateBlock() {
  static const std::pair<const char*, int> kLines[] = {
      {"Filename: ", kIdFilenameField}, {"Name: ", kIdNameField}, {"System: ", kIdSystemField},
      {"CRC32: ", kIdCrcField},         {"Size: ", kIdSizeField}, {"Info: ", kIdInfoLine},
  };
  static const char kHex[] = "0123456789ABCDEF";
  std::string block;
  for (const auto& [label, id] : kLines) {
    block += label;
    for (char c : GetText(id)) {
      unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20) {
        block += "\\x";
        block += kHex[u >> 4];
        block += kHex[u & 0xF];
      } else {
        block += c;
      }
    }
    block += '\n';
  }
  block += '\n';
  return block;
}

std::string HeadlessView::TakeOutput() {
  return std::exchange(output_, {});
}

}  // namespace cartidex
