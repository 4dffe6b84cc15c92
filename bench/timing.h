// Stopwatch helpers for the benchmark: medians of repeated runs.
#ifndef CARTIDEX_BENCH_TIMING_H_
#define CARTIDEX_BENCH_TIMING_H_

#include <functional>
#include <string>

namespace cartidex::bench {

// Seconds taken by `work`, the median of `runs` runs.
double MedianSeconds(int runs, const std::function<void()>& work);

// Peak resident memory of this process so far, in MiB (from /proc/self/status).
double PeakRssMib();

}  // namespace cartidex::bench

#endif  // CARTIDEX_BENCH_TIMING_H_
