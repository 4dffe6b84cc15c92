#include "identify/split_crc.h"

#include <zlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/cpu_relax.h"

namespace cartidex {

namespace {

uint32_t Crc(uint32_t crc, const unsigned char* data, size_t size) {
  return static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(size)));
}

// The second core: one half at a time.
class Helper {
 public:
  // The helper, started on first use; nullptr when there is one core or no thread can start.
  static Helper* Get() {
    static Helper helper;
    return helper.thread_.joinable() ? &helper : nullptr;
  }

  ~Helper() {
    if (!thread_.joinable()) return;
    Post(kStop);
    thread_.join();
  }

  // True when the caller may use the helper until it calls Finish: one caller at a time.
  bool Take() { return !taken_.exchange(true, std::memory_order_acquire); }

  // True while the helper looks for work closely, so that a half offered now is taken up within
  // a fraction of a microsecond. Napping or asleep it would take it up too late for most pieces.
  bool Looking() const { return looking_.load(std::memory_order_relaxed); }

  // Tells a napping or sleeping helper that a caller went on alone: it looks for work again, for
  // the pieces that follow.
  void Ring() {
    if (!bell_.exchange(true, std::memory_order_acq_rel)) Wake();
  }

  // Offers the CRC-32 of `size` bytes at `data`, from 0, to the helper.
  void Start(const unsigned char* data, size_t size) {
    data_ = data;
    size_ = size;
    Post(kWork);
  }

  // The CRC-32 of the half offered last. When the helper has not begun it (its core is busy
  // elsewhere, or it is still waking), the caller takes it back and works it out itself;
  // otherwise the helper is at it, about as far as the caller was with its own half, and the
  // wait is short and spent looking.
  uint32_t Finish() {
    int expected = kWork;
    uint32_t result;
    if (state_.compare_exchange_strong(expected, kIdle, std::memory_order_acq_rel)) {
      result = Crc(0, data_, size_);
    } else {
      for (int look = 0; state_.load(std::memory_order_acquire) != kDone; ++look) {
        if (look % 64 == 63) {
          std::this_thread::yield();  // for when the helper shares this core
        } else {
          CpuRelax();
        }
      }
      state_.store(kIdle, std::memory_order_relaxed);
      result = result_;
    }
    taken_.store(false, std::memory_order_release);
    return result;
  }

 private:
  // kWork: offered; kBusy: the helper is at it; kDone: its result is ready.
  enum State : int { kIdle, kWork, kBusy, kDone, kStop };

  Helper() {
    if (std::thread::hardware_concurrency() < 2) return;
    try {
      thread_ = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
      // One core it is.
    }
  }

  void Post(State state) {
    state_.store(state, std::memory_order_release);
    Wake();
  }

  // Wakes the helper if it sleeps. Called after a change of what it sleeps until, which it then
  // either sees before it sleeps or is woken for.
  void Wake() {
    { std::lock_guard<std::mutex> lock(mu_); }
    wake_.notify_one();
  }

  // The state once it is work or the stop, after looking for it: closely for kLook since the
  // last half or the last ring (the next file of a walk or the next chunk of a large file comes
  // within it), then in naps of kNap until kNapping has passed, then asleep until woken. A ring
  // heard in a nap or asleep starts the close look again. Looking longer would look like work to
  // the scheduler: on a busy machine the caller would then share its core with the other load
  // while this thread holds the other one.
  int AwaitWork() {
    using Clock = std::chrono::steady_clock;
    constexpr auto kLook = std::chrono::microseconds(50);
    constexpr auto kNap = std::chrono::microseconds(100);
    constexpr auto kNapping = std::chrono::milliseconds(5);
    auto since = Clock::now();
    looking_.store(true, std::memory_order_relaxed);
    for (int look = 0;; ++look) {
      const int state = state_.load(std::memory_order_acquire);
      if (state == kWork || state == kStop) return state;
      if (look % 64 != 63) {
        CpuRelax();
        continue;
      }
      const auto idle = Clock::now() - since;
      if (idle < kLook) continue;
      if (!bell_.exchange(false, std::memory_order_acq_rel)) {
        looking_.store(false, std::memory_order_relaxed);
        if (idle < kNapping) {
          std::this_thread::sleep_for(kNap);
          continue;
        }
        std::unique_lock<std::mutex> lock(mu_);
        wake_.wait(lock, [this] {
          const int s = state_.load(std::memory_order_acquire);
          return s == kWork || s == kStop || bell_.load(std::memory_order_acquire);
        });
        bell_.store(false, std::memory_order_relaxed);
      }
      since = Clock::now();
      looking_.store(true, std::memory_order_relaxed);
    }
  }

  void Run() {
    for (;;) {
      int state = AwaitWork();
      if (state == kStop) return;
      // The caller may have taken the half back meanwhile.
      if (!state_.compare_exchange_strong(state, kBusy, std::memory_order_acq_rel)) continue;
      result_ = Crc(0, data_, size_);
      state_.store(kDone, std::memory_order_release);
    }
  }

  std::atomic<bool> taken_{false};
  std::atomic<bool> looking_{false};
  std::atomic<bool> bell_{false};
  std::atomic<int> state_{kIdle};
  const unsigned char* data_ = nullptr;
  size_t size_ = 0;
  uint32_t result_ = 0;
  std::mutex mu_;
  std::condition_variable wake_;
  std::thread thread_;
};

}  // namespace

uint32_t Crc32Split(uint32_t crc, const unsigned char* data, size_t size) {
  Helper* helper = size >= kSplitCrcSize ? Helper::Get() : nullptr;
  if (helper == nullptr) return Crc(crc, data, size);
  if (!helper->Looking()) {
    // Offered now, the half would mostly be taken back unbegun, after a wasted exchange between
    // the cores: this piece alone, and the helper looks again for the next ones.
    helper->Ring();
    return Crc(crc, data, size);
  }
  if (!helper->Take()) return Crc(crc, data, size);
  const size_t first = size / 2;
  helper->Start(data + first, size - first);
  const uint32_t head = Crc(crc, data, first);
  const uint32_t tail = helper->Finish();
  return static_cast<uint32_t>(crc32_combine(head, tail, static_cast<z_off_t>(size - first)));
}

}  // namespace cartidex
