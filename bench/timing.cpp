#include "timing.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <vector>

namespace cartidex::bench {

namespace {

double TimeOnce(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  const size_t n = times.size();
  return n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

}  // namespace

double MedianSeconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(TimeOnce(work));
  return Median(times);
}

std::vector<double> InterleavedMedians(int runs, const std::vector<std::function<void()>>& works) {
  for (const auto& work : works) work();
  std::vector<std::vector<double>> times(works.size());
  for (int r = 0; r < runs; ++r) {
    for (size_t w = 0; w < works.size(); ++w) times[w].push_back(TimeOnce(works[w]));
  }
  std::vector<double> medians;
  for (const auto& t : times) medians.push_back(Median(t));
  return medians;
}

double PeakRssMib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) {
      std::istringstream in(line.substr(6));
      double kib = 0;
      in >> kib;
      return kib / 1024.0;
    }
  }
  return -1;
}

}  // namespace cartidex::bench
