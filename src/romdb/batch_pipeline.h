// RunBatches: a stream of batches made by one function and taken, in order, by another.
#ifndef CARTIDEX_ROMDB_BATCH_PIPELINE_H_
#define CARTIDEX_ROMDB_BATCH_PIPELINE_H_

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/cpu_relax.h"

namespace cartidex {

// `produce(Batch*)` fills the next batch and returns false when there is none; `consume(const
// Batch&)` takes each filled batch, in the order made, on the calling thread. With `threaded`,
// `produce` runs on a thread of its own, a few batches ahead, so that it must touch nothing that
// `consume` touches; when no thread can be started, both run on the calling thread. Batches are
// reused, so their room is kept from one to the next.
template <typename Batch, typename Produce, typename Consume>
void RunBatches(bool threaded, Produce produce, Consume consume) {
  constexpr size_t kDepth = 4;
  std::array<Batch, kDepth> batches;
  std::atomic<size_t> made{0};   // batches filled so far
  std::atomic<size_t> taken{0};  // batches consumed so far
  std::atomic<bool> done{false};
  std::mutex mu;
  std::condition_variable changed;
  // The two sides take about as long per batch, so a wait is usually short: looking again for a
  // while is much quicker than being put to sleep and woken.
  auto await = [&](auto ready) {
    for (int look = 0; look < (1 << 14); ++look) {
      if (ready()) return;
      CpuRelax();
    }
    std::unique_lock<std::mutex> lock(mu);
    changed.wait(lock, ready);
  };
  auto announce = [&] {
    { std::lock_guard<std::mutex> lock(mu); }  // a waiter is either asleep or sees the change
    changed.notify_all();
  };

  std::thread maker;
  if (threaded) {
    try {
      maker = std::thread([&] {
        for (;;) {
          await([&] { return made.load() - taken.load() < kDepth; });
          const bool more = produce(&batches[made.load() % kDepth]);
          if (more) {
            made.fetch_add(1);
          } else {
            done.store(true);
          }
          announce();
          if (!more) return;
        }
      });
    } catch (const std::system_error&) {
      threaded = false;
    }
  }
  if (!threaded) {
    while (produce(&batches[0])) consume(batches[0]);
    return;
  }
  for (;;) {
    // `done` is set after the last batch is counted: once it is seen, `made` is final.
    await([&] { return taken.load() < made.load() || done.load(); });
    if (taken.load() == made.load()) break;
    consume(batches[taken.load() % kDepth]);
    taken.fetch_add(1);
    announce();
  }
  maker.join();
}

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_BATCH_PIPELINE_H_
