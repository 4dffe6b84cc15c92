#include "app/csv_report.h"

#include <initializer_list>
#include <string_view>

namespace cartidex {

namespace {

// One field: quoted, its quotes doubled, when it holds a comma, a quote or a line break.
void AppendField(std::string_view text, std::string* row) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    *row += text;
    return;
  }
  *row += '"';
  for (char c : text) {
    if (c == '"') *row += '"';
    *row += c;
  }
  *row += '"';
}

std::string Row(std::initializer_list<std::string_view> fields) {
  std::string row;
  bool first = true;
  for (std::string_view field : fields) {
    if (!first) row += ',';
    first = false;
    AppendField(field, &row);
  }
  return row + "\r\n";
}

const char* ResultText(FileOutcome::Result result) {
  switch (result) {
    case FileOutcome::Result::kIdentified:
      return "identified";
    case FileOutcome::Result::kUnknown:
      return "unknown";
    case FileOutcome::Result::kError:
      break;
  }
  return "error";
}

}  // namespace

bool CsvReport::Open(const std::string& path) {
  path_ = path;
  ok_ = Env::Default()->OpenForWrite(path, WriteMode::kReplace, &file_).ok() &&
        file_->Append("path,result,name,system,crc32,size,new_path,failure\r\n").ok();
  return ok_;
}

void CsvReport::Add(const FileOutcome& o) {
  if (!file_) return;
  const std::string row = Row(
      {o.path, ResultText(o.result), o.name, o.system, o.crc32, o.size, o.new_path, o.failures});
  if (!file_->Append(row).ok()) ok_ = false;
}

}  // namespace cartidex
