// The benchmark's data: a full datafile, files and archives that match it.
#ifndef CARTIDEX_BENCH_FIXTURE_H_
#define CARTIDEX_BENCH_FIXTURE_H_

#include <string>

namespace cartidex::bench {

struct Fixture {
  std::string root;  // the temporary folder holding everything
  std::string home;  // program folder with datfiles/ holding the full datafile
  std::string empty_home;
  std::string datafile;     // path of the full datafile
  std::string files;        // 20,000 files of 64 KiB
  std::string archives;     // 200 zip archives of 5 deflated members
  std::string archives_7z;  // the same members in 200 solid 7z archives
};

inline constexpr int kFileCount = 20000;
inline constexpr int kArchiveCount = 200;
inline constexpr int kMembersPerArchive = 5;
inline constexpr size_t kFileSize = 64 * 1024;

// Builds the data below a new temporary folder.
Fixture MakeFixture();
// The paths of data that MakeFixture built below `root` earlier.
Fixture FixtureAt(const std::string& root);
void RemoveFixture(const Fixture& fixture);

}  // namespace cartidex::bench

#endif  // CARTIDEX_BENCH_FIXTURE_H_
