// The sandbox every fuzz target runs in: a program folder of its own under the system's temporary
// folder, and an Env that keeps the activity log in memory and stops the process on any attempt
// to change something outside that folder. A fuzz target may thus call the real code with
// arbitrary input without ever touching a real log, datafile or collection.
#ifndef CARTIDEX_FUZZ_FUZZ_SANDBOX_H_
#define CARTIDEX_FUZZ_FUZZ_SANDBOX_H_

#include <string>
#include <string_view>

namespace cartidex::fuzz {

// Makes the sandbox folder (once per process; it is removed at exit), names it the program
// folder and installs the sandbox Env as the default. Safe to call for every input.
void EnterSandbox();

// The sandbox folder, without a trailing separator.
const std::string& SandboxPath();

// Everything written to the activity log since the last call, which empties it. The text is cut
// after 4 MiB; *cut (when given) tells whether that happened.
std::string TakeLog(bool* cut = nullptr);

// While it lives, changes are allowed only strictly inside `folder` (itself inside the sandbox),
// so that a target can tell that an operation kept to the folder it was given. Fences do not
// nest: the last one made is the one in force until it ends.
class WriteFence {
 public:
  explicit WriteFence(std::string folder);
  ~WriteFence();
  WriteFence(const WriteFence&) = delete;
  WriteFence& operator=(const WriteFence&) = delete;
};

// Stops the process with `what` on stderr, so that libFuzzer records the input as a crash.
[[noreturn]] void Fail(std::string_view what);

// Fails with `what` unless `condition` holds.
inline void Check(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

}  // namespace cartidex::fuzz

#endif  // CARTIDEX_FUZZ_FUZZ_SANDBOX_H_
