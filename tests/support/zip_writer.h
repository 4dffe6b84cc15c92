// Builds zip archives byte by byte: stored and deflated members, odd names, stamps, methods and
// declared sizes, without any archive on disk.
#ifndef CARTIDEX_TESTS_SUPPORT_ZIP_WRITER_H_
#define CARTIDEX_TESTS_SUPPORT_ZIP_WRITER_H_

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cartidex::test {

// 2021-06-15 13:45:30 as an MS-DOS date (high 16 bits) and time (low 16 bits).
inline constexpr uint32_t kTestDosTime =
    ((41u << 9 | 6u << 5 | 15u) << 16) | (13u << 11 | 45u << 5 | 15u);

struct ZipMember {
  ZipMember(std::string member_name, std::string contents, uint16_t method_number = 0)
      : name(std::move(member_name)), data(std::move(contents)), method(method_number) {}
  ZipMember& Declare(uint64_t size) {
    declared_size = size;
    return *this;
  }
  ZipMember& Stamp(uint32_t dos) {
    dos_date_time = dos;
    return *this;
  }
  ZipMember& Comment(std::string text) {
    comment = std::move(text);
    return *this;
  }

  std::string name, data;  // data uncompressed
  // 0 stores `data`, 8 deflates it; any other method stores `data` as its payload.
  uint16_t method = 0;
  uint32_t dos_date_time = kTestDosTime;
  // The uncompressed size declared (the real one when not given); from 4 GiB - 1 on in zip64.
  std::optional<uint64_t> declared_size;
  std::string comment;
};

std::string MakeZip(const std::vector<ZipMember>& members);
void WriteZip(const std::string& path, const std::vector<ZipMember>& members);
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& members);

}  // namespace cartidex::test

#endif  // CARTIDEX_TESTS_SUPPORT_ZIP_WRITER_H_
