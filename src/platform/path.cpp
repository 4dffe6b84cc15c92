#include "platform/path.h"

#include <algorithm>
#include <cctype>

namespace cartidex {

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

bool IsSeparator(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

namespace {

size_t LastSeparator(std::string_view path) {
  for (size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(path[i - 1])) return i - 1;
  }
  return std::string_view::npos;
}

#ifdef _WIN32
bool IsReservedDeviceName(std::string_view name) {
  // A device name is reserved with any extension: "CON", "con.txt", "LPT1.rom".
  std::string stem(name.substr(0, name.find('.')));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = AsciiUpper(c);
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char* n : kNames) {
    if (stem == n) return true;
  }
  if (stem.size() == 4 && (stem.starts_with("COM") || stem.starts_with("LPT")) && stem[3] >= '1' &&
      stem[3] <= '9') {
    return true;
  }
  return false;
}
#endif

}  // namespace

std::string_view BaseName(std::string_view path) {
  size_t pos = LastSeparator(path);
  return pos == std::string_view::npos ? path : path.substr(pos + 1);
}

std::string_view FolderOf(std::string_view path) {
  size_t pos = LastSeparator(path);
  return pos == std::string_view::npos ? std::string_view() : path.substr(0, pos + 1);
}

void EnsureTrailingSeparator(std::string* folder) {
  if (folder->empty() || !IsSeparator(folder->back())) folder->push_back(kSeparator);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  EnsureTrailingSeparator(&path);
  path.append(name);
  return path;
}

bool PathFits(std::string_view path) {
  if (path.size() > kMaxPath) return false;
  size_t run = 0;
  for (char c : path) {
    if (IsSeparator(c)) {
      run = 0;
    } else if (++run > kMaxComponent) {
      return false;
    }
  }
  return true;
}

bool IsForbiddenNameByte(unsigned char c) {
#ifdef _WIN32
  if (c < 0x20) return true;
  switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '/':
    case '\\':
    case '|':
    case '?':
    case '*':
      return true;
    default:
      return false;
  }
#else
  return c == '/' || c == '\0';
#endif
}

bool IsValidFileName(std::string_view name) {
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxComponent) return false;
  for (char c : name) {
    if (IsForbiddenNameByte(static_cast<unsigned char>(c))) return false;
  }
#ifdef _WIN32
  if (name.back() == '.' || name.back() == ' ') return false;
  if (IsReservedDeviceName(name)) return false;
#endif
  return true;
}

std::string SanitizeFileName(std::string_view name) {
  std::string out(name);
  for (char& c : out) {
    if (IsForbiddenNameByte(static_cast<unsigned char>(c))) c = '_';
  }
#ifdef _WIN32
  if (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.back() = '_';
  if (IsReservedDeviceName(out)) out.insert(out.begin(), '_');
#endif
  return out;
}

bool IsAbsolutePath(std::string_view path) {
  if (!path.empty() && IsSeparator(path[0])) return true;
#ifdef _WIN32
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    return true;
  }
#endif
  return false;
}

}  // namespace cartidex
