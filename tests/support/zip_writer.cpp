#include "support/zip_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "support/test_util.h"

namespace cartidex::test {

namespace {

// `v` as `bytes` little-endian bytes.
void Put(std::string* out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void Put16(std::string* out, uint64_t v) {
  Put(out, v, 2);
}
void Put32(std::string* out, uint64_t v) {
  Put(out, v, 4);
}

// Raw deflate data, as method 8 holds it: a zlib stream without its 2 header and 4 check bytes.
std::string RawDeflate(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                reinterpret_cast<const Bytef*>(data.data()), static_cast<uLong>(data.size()),
                Z_BEST_COMPRESSION) != Z_OK) {
    ADD_FAILURE() << "compress2";
    return std::string();
  }
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
      Put32(&extra, 0x00080001);  // the zip64 field, 8 bytes long
      Put(&extra, declared, 8);
    }
    // The fields the local header and the directory entry share, from "version needed" on.
    std::string common;
    Put32(&common, zip64 ? 45 : 20);  // no flags
    Put16(&common, m.method);
    Put32(&common, m.dos_date_time);
    Put32(&common, Crc32(m.data));
    Put32(&common, payload.size());
    Put32(&common, zip64 ? 0xFFFFFFFFu : static_cast<uint32_t>(declared));
    Put16(&common, m.name.size());
    Put16(&common, extra.size());
    const uint32_t offset = static_cast<uint32_t>(archive.size());
    Put32(&archive, 0x04034b50);
    archive += common + m.name + extra + payload;
    Put32(&directory, 0x02014b50);
    Put16(&directory, zip64 ? 45 : 20);
    directory += common;
    Put16(&directory, m.comment.size());
    Put(&directory, 0, 8);  // disk, attributes
    Put32(&directory, offset);
    directory += m.name + extra + m.comment;
  }
  const uint32_t directory_offset = static_cast<uint32_t>(archive.size());
  archive += directory;
  Put32(&archive, 0x06054b50);
  Put32(&archive, 0);
  Put16(&archive, members.size());
  Put16(&archive, members.size());
  Put32(&archive, directory.size());
  Put32(&archive, directory_offset);
  Put16(&archive, 0);
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
