// What every fuzz target shares: a sandbox that lets real code run on arbitrary input without
// touching the real disk, and the checks made of what a datafile load left behind. Each failed
// check stops the process, so that libFuzzer records the input as a crash.
#ifndef CARTIDEX_FUZZ_FUZZ_SUPPORT_H_
#define CARTIDEX_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cartidex {

class RomDatabase;

namespace fuzz {

// Makes the sandbox folder (once; removed at exit), names it the program folder and installs an
// Env that keeps the log in memory and stops the process on any change outside that folder.
void EnterSandbox();
const std::string& SandboxPath();
// Until the next call, changes are allowed only strictly inside `folder` ("" lifts the fence).
void SetFence(std::string folder);
// The log written since the last call, which empties it.
std::string TakeLog();

[[noreturn]] void Fail(std::string_view what);
inline void Check(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

// Capacities kept, every ROM linked back to its set and slot, no ROM without a set, names within
// their limit, and the last ROM found by lookup.
void CheckDatabase(const RomDatabase& db);
// Every line of `log` is " ! Line N skipped: REASON\r\n" with a known reason, the numbers rising
// (or, with `may_repeat`, never falling). A `system_line` that is not 0 must be refused first as
// "text too long" and is kept out of the order and the count. Gives the number of other lines.
size_t CheckRefusalLog(std::string_view log, bool may_repeat, uint64_t system_line = 0);

}  // namespace fuzz
}  // namespace cartidex

#endif  // CARTIDEX_FUZZ_FUZZ_SUPPORT_H_
