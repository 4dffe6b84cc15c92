// The members of the zip target's seed archives: make_corpus writes them as archives, and the
// target's datafile holds one set of each archive's contents, so that seeds reach the sets too.
#ifndef CARTIDEX_FUZZ_ZIP_SEEDS_H_
#define CARTIDEX_FUZZ_ZIP_SEEDS_H_

#include <string>
#include <vector>

namespace cartidex::fuzz {

struct SeedMember {
  std::string name;
  std::string data;
  bool deflated = true;
};

inline std::vector<std::vector<SeedMember>> SeedArchives() {
  return {
      {{"a.bin", "stored contents", false}},
      {{"a.bin", std::string(1800, 'd')}},
      {{"sub/a.bin", "in a folder"}, {"sub\\b.bin", "backslash folder"}, {"c.bin", ""}},
      {{"../climb.bin", "out"}, {"/abs.bin", "absolute"}, {"a/../../b.bin", "out again"}},
      {{"same.bin", "one"}, {"same.bin", "two"}},
      {{"folder/", ""}, {"x.bin", "x"}},
      {{"sets/one.bin", "one"}, {"two.bin", "two", false}},
      {{"m1.bin", "m"}, {"m2.bin", "m"}, {"x.bin", "x"}},
  };
}

}  // namespace cartidex::fuzz

#endif  // CARTIDEX_FUZZ_ZIP_SEEDS_H_
