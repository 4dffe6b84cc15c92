// Path texts: the platform's separator, splitting, joining, the longest path, and which bytes a
// file name cannot hold. Pure text functions; no OS call.
#ifndef CARTIDEX_PLATFORM_PATH_H_
#define CARTIDEX_PLATFORM_PATH_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace cartidex {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
// Longest path in bytes, terminator excluded, and longest name of one path component.
inline constexpr size_t kMaxPath = 259;
inline constexpr size_t kMaxComponent = 255;
#else
inline constexpr char kSeparator = '/';
inline constexpr size_t kMaxPath = 4095;
inline constexpr size_t kMaxComponent = 255;
#endif

// True for the bytes that separate folders in a path read on this platform ('/' here; '\' and
// '/' on Windows).
bool IsSeparator(char c);

// `c` in upper case when it is an ASCII letter, any other byte as it is: the letter case that
// file systems which fold case, and the program's own name compares, leave aside.
inline char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// True when `a` and `b` are equal but for the case of ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);

// True for the bytes that separate folders in a zip member name: '\' and '/' on every platform.
inline bool IsZipSeparator(char c) {
  return c == '/' || c == '\\';
}

// The part of `path` after its last separator; the whole path when it has none.
std::string_view BaseName(std::string_view path);
// The part of `path` up to and including its last separator; empty when it has none.
std::string_view FolderOf(std::string_view path);
// Appends the platform's separator unless the text already ends in a separator.
void EnsureTrailingSeparator(std::string* folder);
// folder + separator (when missing) + name.
std::string JoinPath(std::string_view folder, std::string_view name);

// True when `path` is within the platform's limits: the whole path and each of its components.
bool PathFits(std::string_view path);

// True for a byte that no file name can hold on this platform.
bool IsForbiddenNameByte(unsigned char c);
// True when `name` can be one file name here as it stands: not empty, not "." or "..", no
// forbidden byte, and (on Windows) no trailing dot or blank and no reserved device name.
bool IsValidFileName(std::string_view name);
// `name` with every forbidden byte replaced by '_' (and, on Windows, a trailing dot or blank or a
// reserved device name made harmless the same way).
std::string SanitizeFileName(std::string_view name);

// True when `path` is absolute on this platform (leading separator; on Windows also a drive).
bool IsAbsolutePath(std::string_view path);

}  // namespace cartidex

#endif  // CARTIDEX_PLATFORM_PATH_H_
