// A large datafile read from its file in two parts, each by the core that parses it: it loads
// and logs what one pass over its text gives. A file that changes under the reads, or a read
// that fails, leaves the database as it was and is read again the plain way.
#include "romdb/own_halves.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/activity_log.h"
#include "platform/env.h"
#include "romdb/database_describe.h"
#include "romdb/datafile_loader.h"
#include "romdb/rom_database.h"
#include "support/fault_env.h"
#include "support/test_util.h"

namespace cartidex {
namespace {

using test::EnvOp;
using test::FaultEnv;
using test::ScopedEnv;
using test::TestHome;

// Some 700 KB of sets of one to five ROMs with CRC-32s that repeat, under several systems, and
// refused lines all through. With `wide_middle`, a line of 200 KB holds the middle of the text.
std::string BigDatafile(bool wide_middle) {
  std::string text = "\xEF\xBB\xBF";
  for (int i = 0; i < 8000; ++i) {
    if (i % 900 == 0) text += "#console#;System " + std::to_string(i / 900) + "\r\n";
    if (i % 487 == 3) text += "Refused:a.bin:b.bin;:1;:1\r\n";
    if (wide_middle && i == 4000) text += "Wide.bin;1;1;" + std::string(200000, 'w') + "\r\n";
    const std::string id = std::to_string(i);
    std::string names = "Set " + id + ".zip", sizes, crcs;
    for (int r = 0; r <= i % 5; ++r) {
      names += ":rom" + id + "_" + std::to_string(r) + ".bin";
      sizes += ":" + std::to_string(1000 + r);
      crcs += ":" + std::to_string((i * 7 + r) % 4000);
    }
    text += names + ";" + sizes + ";" + crcs + "\r\n";
  }
  return text;
}

struct Loaded {
  std::string log;
  std::string tables;
  std::string lookups;
};

// The tables run to megabytes: only the log is shown when they differ.
void ExpectSame(const Loaded& got, const Loaded& want, const std::string& what) {
  EXPECT_EQ(got.log, want.log) << what;
  EXPECT_TRUE(got.tables == want.tables) << what;
  EXPECT_TRUE(got.lookups == want.lookups) << what;
}

Loaded Take(const TestHome& home, const RomDatabase& db) {
  return {home.Log(), Describe(db), DescribeLookups(db)};
}

// What one pass over `text` on one core loads, logged as start-up logs it from "big.cxi".
Loaded OnePass(const std::string& text) {
  TestHome home;
  WriteLog("Loading datafiles :\r\n - big.cxi\r\n");
  RomDatabase db;
  ParseOwnDatafile(text, &db, LoadCores::kOne);
  return Take(home, db);
}

// Start-up's load of `text` as the one datafile, through `env`.
Loaded LoadThrough(const std::string& text, Env* env) {
  TestHome home;
  home.AddDatafile("big.cxi", text);
  ScopedEnv scoped(env);
  LoadDatafiles();
  return Take(home, Database());
}

TEST(OwnHalvesTest, AFileReadInPartsLoadsWhatOnePassDoes) {
  for (const bool wide_middle : {false, true}) {
    const std::string text = BigDatafile(wide_middle);
    ASSERT_GT(text.size() * 7 / 8, 512u * 1024);
    const Loaded want = OnePass(text);
    ASSERT_NE(want.log.find("skipped"), std::string::npos);
    FaultEnv env;
    ExpectSame(LoadThrough(text, &env), want,
               "start-up, wide middle " + std::to_string(wide_middle));
    EXPECT_EQ(env.Calls(EnvOp::kOpenForRead), 1);

    // Both cores at work, whatever the second one's start.
    TestHome home;
    home.AddDatafile("big.cxi", text);
    WriteLog("Loading datafiles :\r\n - big.cxi\r\n");
    std::unique_ptr<ReadableFile> file;
    ASSERT_TRUE(RealEnv()->OpenForRead(home.Path("datfiles/big.cxi"), &file).ok());
    FileBytes buffer;
    HalvesText halves(file.get(), &buffer);
    RomDatabase db;
    EXPECT_TRUE(ParseOwnHalves(&halves, &db, LoadCores::kTwo));
    ExpectSame(Take(home, db), want, "two cores, wide middle " + std::to_string(wide_middle));
  }
}

// The file's size as opened differs from what the reads find, or one of the reads fails: the
// load is that of the file read whole, the plain way.
TEST(OwnHalvesTest, AFileThatChangesOrFailsIsReadThePlainWay) {
  const std::string text = BigDatafile(false);
  const Loaded want = OnePass(text);
  for (const uint64_t size : {text.size() - 100, text.size() + 100, text.size() * 7 / 8}) {
    FaultEnv env;
    env.ReportSize(size, "big.cxi");
    ExpectSame(LoadThrough(text, &env), want, "size " + std::to_string(size));
    EXPECT_EQ(env.Calls(EnvOp::kOpenForRead), 2);
  }
  // Three reads: the first part, the second, and the second's look for the end of the file.
  for (int n = 1; n <= 3; ++n) {
    FaultEnv env;
    env.FailNth(EnvOp::kRead, n, "big.cxi");
    ExpectSame(LoadThrough(text, &env), want, "read " + std::to_string(n));
    EXPECT_EQ(env.failures(), 1);
  }
  // A file that cannot be read at all loads nothing, as a small one.
  FaultEnv env;
  env.FailPathsContaining(EnvOp::kRead, "big.cxi");
  const Loaded none = LoadThrough(text, &env);
  EXPECT_EQ(none.log, "Loading datafiles :\r\n - big.cxi\r\n");
  EXPECT_EQ(none.tables, "");
}

// What the parts had parsed is taken back out of a database that held sets before, and their
// refusals are not logged.
TEST(OwnHalvesTest, AFailedReadLeavesTheDatabaseAsItWas) {
  const std::string text = BigDatafile(false);
  TestHome home;
  home.AddDatafile("big.cxi", text);
  RomDatabase db;
  ParseOwnDatafile("#console#;Before\r\nKept:a.bin:b.bin;:1:2;:3:4\r\nOne.bin;5;6\r\n", &db);
  const std::string tables = Describe(db);
  const std::string lookups = DescribeLookups(db);
  for (int n = 1; n <= 3; ++n) {
    FaultEnv env;
    env.FailNth(EnvOp::kRead, n, "big.cxi");
    std::unique_ptr<ReadableFile> file;
    ASSERT_TRUE(env.OpenForRead(home.Path("datfiles/big.cxi"), &file).ok());
    FileBytes buffer;
    HalvesText halves(file.get(), &buffer);
    EXPECT_FALSE(ParseOwnHalves(&halves, &db, n == 3 ? LoadCores::kAsFits : LoadCores::kTwo));
    EXPECT_EQ(Describe(db), tables) << "read " << n;
    EXPECT_EQ(DescribeLookups(db), lookups) << "read " << n;
  }
  EXPECT_EQ(home.Log(), "");
}

}  // namespace
}  // namespace cartidex
