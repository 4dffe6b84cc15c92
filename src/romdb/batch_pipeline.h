// RunBatches: a stream of batches made by one function and taken, in order, by another.
#ifndef CARTIDEX_ROMDB_BATCH_PIPELINE_H_
#define CARTIDEX_ROMDB_BATCH_PIPELINE_H_

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/cpu_relax.h"

namespace cartidex {

enum class BatchThreads {
  kOne,
  kTwoWhenNear,  // two when a batch crosses quickly between their cores (see below), else one
  kTwo,
};

// `produce(Batch*)` fills the next batch and returns false when there is none; `consume(const
// Batch&)` takes each filled batch, in the order made, on the calling thread. With two threads,
// a thread of its own reads ahead, a few batches, while the calling thread consumes; whenever
// nothing is read ahead the calling thread reads the next batch itself, so that a machine whose
// second core is busy elsewhere loses no more than the handing over. `produce` is called by one
// thread at a time, in order, and must touch nothing that `consume` touches. When no thread can
// be started, both run on the calling thread. Batches are reused, so their room is kept.
template <typename Batch, typename Produce, typename Consume>
void RunBatches(BatchThreads threads, Produce produce, Consume consume) {
  constexpr size_t kDepth = 4;
  std::array<Batch, kDepth> batches;
  std::mutex reading;            // held by the side that reads the next batch
  std::atomic<size_t> made{0};   // batches filled so far
  std::atomic<size_t> taken{0};  // batches consumed so far
  std::atomic<bool> done{false};
  // The next batch, into its slot; the caller holds `reading` and there is room.
  auto read_next = [&] {
    if (produce(&batches[made.load() % kDepth])) {
      made.fetch_add(1);
    } else {
      done.store(true);
    }
  };
  // Between looks at what the other side does: mostly the processor's hint, at times the rest
  // of the time slice, for when both sides share one core.
  auto pause = [](int look) {
    if (look % 64 == 63) {
      std::this_thread::yield();
    } else {
      CpuRelax();
    }
  };

  // Whether a batch crosses quickly from one core to the other. Threads can land on cores far
  // apart (on virtual machines especially), where every batch crosses slowly and the one thread
  // alone does better: a few round trips through one shared word tell, before any reading.
  constexpr int kRoundTrips = 32;
  constexpr auto kFarRoundTrip = std::chrono::nanoseconds(350);
  std::atomic<int> ping{0};
  std::atomic<int> verdict{0};  // 0 while measuring, 1 near, 2 far

  std::thread reader;
  if (threads != BatchThreads::kOne) {
    try {
      reader = std::thread([&] {
        for (int trip = 0, look = 0; trip <= kRoundTrips; ++trip) {
          while (ping.load() != 2 * trip + 1) pause(look++);
          ping.store(2 * trip + 2);
        }
        for (int look = 0; verdict.load() == 0; ++look) pause(look);
        if (verdict.load() == 2) return;
        for (int look = 0; !done.load(); ++look) {
          if (made.load() - taken.load() >= kDepth) {
            pause(look);
            continue;
          }
          std::lock_guard<std::mutex> lock(reading);
          if (!done.load() && made.load() - taken.load() < kDepth) read_next();
        }
      });
    } catch (const std::system_error&) {
      // One thread it is.
    }
  }
  if (reader.joinable()) {
    // The first trip also waits for the thread to start: only the others are timed.
    std::chrono::steady_clock::time_point start;
    for (int trip = 0, look = 0; trip <= kRoundTrips; ++trip) {
      if (trip == 1) start = std::chrono::steady_clock::now();
      ping.store(2 * trip + 1);
      while (ping.load() != 2 * trip + 2) pause(look++);
    }
    const auto trip = (std::chrono::steady_clock::now() - start) / kRoundTrips;
    verdict.store(trip > kFarRoundTrip && threads == BatchThreads::kTwoWhenNear ? 2 : 1);
  }
  for (int look = 0;;) {
    if (taken.load() == made.load()) {
      if (done.load()) break;
      if (reading.try_lock()) {
        if (!done.load() && taken.load() == made.load()) read_next();
        reading.unlock();
      } else {
        pause(look++);
      }
      continue;
    }
    consume(batches[taken.load() % kDepth]);
    taken.fetch_add(1);
  }
  if (reader.joinable()) reader.join();
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_BATCH_PIPELINE_H_
