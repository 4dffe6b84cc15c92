#include "timing.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <vector>

namespace cartidex::bench {

double MedianSeconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
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
