// The sandbox every fuzz target runs in: a program folder of its own under the system's temporary
// folder, and an Env that keeps the activity log in memory and stops the process on any attempt
// to change something outside that folder, so that real code can run on arbitrary input.
#ifndef CARTIDEX_FUZZ_FUZZ_SANDBOX_H_
#define CARTIDEX_FUZZ_FUZZ_SANDBOX_H_

#include <string>
#include <string_view>

namespace cartidex::fuzz {

// Makes the sandbox (once per process; removed at exit), names it the program folder and installs
// its Env as the default. Safe to call for every input.
void EnterSandbox();
// The sandbox folder, without a trailing separator.
const std::string& SandboxPath();
// The activity log written since the last call, which empties it; cut after 4 MiB (*cut tells).
std::string TakeLog(bool* cut = nullptr);

// While it lives, changes are allowed only strictly inside `folder` (inside the sandbox). Fences
// do not nest.
class WriteFence {
 public:
  explicit WriteFence(std::string folder);
  ~WriteFence();
  WriteFence(const WriteFence&) = delete;
  WriteFence& operator=(const WriteFence&) = delete;
};

// Stops the process with `what` on stderr, so that libFuzzer records the input as a crash.
[[noreturn]] void Fail(std::string_view what);
inline void Check(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

}  // namespace cartidex::fuzz

#endif  // CARTIDEX_FUZZ_FUZZ_SANDBOX_H_
