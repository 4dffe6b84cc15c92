// Stopwatch helpers for the benchmark: medians of repeated runs.
#ifndef CARTIDEX_BENCH_TIMING_H_
#define CARTIDEX_BENCH_TIMING_H_

#include <functional>
#include <string>
#include <vector>

namespace cartidex::bench {

// Seconds taken by `work`, the median of `runs` runs.
double MedianSeconds(int runs, const std::function<void()>& work);

// The median seconds of each of `works`, measured side by side: every work runs once untimed
// (so that caches and the page cache are warm for all of them alike), then the works take turns,
// `runs` rounds of one run each, so that a burst of load on the shared machine falls on all of
// them rather than on one.
std::vector<double> InterleavedMedians(int runs, const std::vector<std::function<void()>>& works);

// Peak resident memory of this process so far, in MiB (from /proc/self/status).
double PeakRssMib();

}  // namespace cartidex::bench

#endif  // CARTIDEX_BENCH_TIMING_H_
