// minizip as compiled for Windows from the fetched sources: it opens and reads an archive whose
// path holds non-ASCII characters, through the C runtime's narrow fopen.
#include <gtest/gtest.h>
#include <unzip.h>
#include <zlib.h>

#include <string>

#include "support/test_util.h"

namespace cartidex::test {
namespace {

void Put16(std::string* s, unsigned v) {
  s->push_back(static_cast<char>(v & 0xFF));
  s->push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string* s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// The fields that the local header and the central directory entry share.
void PutCommon(std::string* s, const std::string& name, uint32_t crc, uint32_t size) {
  Put16(s, 0);                            // flags
  Put16(s, 0);                            // stored
  Put16(s, (5u << 11) | (6u << 5));       // 05:06:00
  Put16(s, (21u << 9) | (3u << 5) | 4u);  // 2001-03-04
  Put32(s, crc);
  Put32(s, size);
  Put32(s, size);
  Put16(s, static_cast<unsigned>(name.size()));
  Put16(s, 0);  // extra field
}

// A zip archive with one stored member.
std::string StoredZip(const std::string& name, const std::string& data) {
  const uint32_t crc = Crc32(data);
  const uint32_t size = static_cast<uint32_t>(data.size());
  std::string zip;
  Put32(&zip, 0x04034b50);
  Put16(&zip, 10);
  PutCommon(&zip, name, crc, size);
  zip += name + data;
  const uint32_t central = static_cast<uint32_t>(zip.size());
  Put32(&zip, 0x02014b50);
  Put16(&zip, 20);
  Put16(&zip, 10);
  PutCommon(&zip, name, crc, size);
  Put16(&zip, 0);  // comment
  Put16(&zip, 0);  // disk
  Put16(&zip, 0);  // internal attributes
  Put32(&zip, 0);  // external attributes
  Put32(&zip, 0);  // local header offset
  zip += name;
  const uint32_t central_size = static_cast<uint32_t>(zip.size()) - central;
  Put32(&zip, 0x06054b50);
  Put16(&zip, 0);
  Put16(&zip, 0);
  Put16(&zip, 1);
  Put16(&zip, 1);
  Put32(&zip, central_size);
  Put32(&zip, central);
  Put16(&zip, 0);
  return zip;
}

TEST(MinizipWindowsTest, ReadsAnArchiveWithAUtf8Path) {
  TempDir dir;
  const std::string path = dir.Path("Sammlung \xC3\xBC\xE3\x83\x9D/pack.zip");
  WriteFile(path, StoredZip("games/a.rom", "cartridge bytes"));
  unzFile zip = unzOpen(path.c_str());
  ASSERT_NE(zip, nullptr);
  unz_global_info global;
  EXPECT_EQ(unzGetGlobalInfo(zip, &global), UNZ_OK);
  EXPECT_EQ(global.number_entry, 1u);
  ASSERT_EQ(unzGoToFirstFile(zip), UNZ_OK);
  unz_file_info info;
  char name[260];
  char comment[255];
  ASSERT_EQ(
      unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, comment, sizeof comment),
      UNZ_OK);
  EXPECT_EQ(std::string(name), "games/a.rom");
  EXPECT_EQ(info.dosDate, ((21u << 9 | 3u << 5 | 4u) << 16) | (5u << 11 | 6u << 5));
  ASSERT_EQ(unzOpenCurrentFile(zip), UNZ_OK);
  char buffer[64];
  int got = unzReadCurrentFile(zip, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, got > 0 ? got : 0), "cartridge bytes");
  EXPECT_EQ(unzReadCurrentFile(zip, buffer, sizeof buffer), 0);
  EXPECT_EQ(unzCloseCurrentFile(zip), UNZ_OK);
  EXPECT_NE(unzGoToNextFile(zip), UNZ_OK);
  EXPECT_EQ(unzClose(zip), UNZ_OK);
}

}  // namespace
}  // namespace cartidex::test
