#include "support/zip_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "support/test_util.h"

namespace cartidex::test {

namespace {

void Put(std::string* out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Raw deflate data, as method 8 holds it: a zlib stream without its 2 header and 4 check bytes.
std::string RawDeflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                      reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                      Z_BEST_COMPRESSION),
            Z_OK);
  return out.substr(2, size - 6);
}

}  // namespace

std::string MakeZip(const std::vector<ZipMember>& members) {
  std::string archive, directory;
  for (const ZipMember& m : members) {
    const std::string payload = m.method == 8 ? RawDeflate(m.data) : m.data;
    const uint64_t declared = m.declared_size.value_or(m.data.size());
    const bool zip64 = declared >= 0xFFFFFFFFu;
    std::string extra;
    if (zip64) {
      Put(&extra, 0x00080001, 4);  // the zip64 field, 8 bytes long
      Put(&extra, declared, 8);
    }
    // The fields the local header and the directory entry share, from "version needed" on.
    std::string common;
    Put(&common, zip64 ? 45 : 20, 4);  // no flags
    Put(&common, m.method, 2);
    Put(&common, m.dos_date_time, 4);
    Put(&common, Crc32(m.data), 4);
    Put(&common, payload.size(), 4);
    Put(&common, zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(declared), 4);
    Put(&common, m.name.size(), 2);
    Put(&common, extra.size(), 2);
    const uint32_t offset = static_cast<uint32_t>(archive.size());
    Put(&archive, 0x04034b50, 4);
    archive += common + m.name + extra + payload;
    Put(&directory, 0x02014b50, 4);
    Put(&directory, zip64 ? 45 : 20, 2);
    directory += common;
    Put(&directory, m.comment.size(), 2);
    Put(&directory, 0, 8);  // disk, attributes
    Put(&directory, offset, 4);
    directory += m.name + extra + m.comment;
  }
  const uint32_t directory_offset = static_cast<uint32_t>(archive.size());
  archive += directory;
  Put(&archive, 0x06054b50, 4);
  Put(&archive, 0, 4);
  Put(&archive, members.size(), 2);
  Put(&archive, members.size(), 2);
  Put(&archive, directory.size(), 4);
  Put(&archive, directory_offset, 4);
  Put(&archive, 0, 2);
  return archive;
}

void WriteZip(const std::string& path, const std::vector<ZipMember>& members) {
  WriteFile(path, MakeZip(members));
}

std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& members) {
  std::vector<ZipMember> zip;
  for (const auto& [name, data] : members) zip.emplace_back(name, data);
  return MakeZip(zip);
}

}  // namespace cartidex::test
