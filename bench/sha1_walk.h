// The walk over files whose database entries all carry a SHA-1.
#ifndef CARTIDEX_BENCH_SHA1_WALK_H_
#define CARTIDEX_BENCH_SHA1_WALK_H_

#include "fixture.h"

namespace cartidex::bench {

// Median seconds, measured side by side with the files in the page cache.
struct Sha1WalkTimes {
  double plain_walk;  // "Directory" over the files, against the datafile without digests
  double sha1_walk;   // the same against a DAT giving every file's SHA-1
  double sha1sum;     // sha1sum over the same files
};

// Writes the DAT with the files' SHA-1s below the fixture's root (once) and measures.
Sha1WalkTimes MeasureSha1Walk(const Fixture& f, int runs);

}  // namespace cartidex::bench

#endif  // CARTIDEX_BENCH_SHA1_WALK_H_
