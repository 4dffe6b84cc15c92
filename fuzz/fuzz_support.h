// What every fuzz target shares: the entry point, which runs the target's FuzzOne in a sandbox
// where real code meets arbitrary input without touching the real disk, and checks that stop the
// process so that libFuzzer keeps the input.
#ifndef CARTIDEX_FUZZ_FUZZ_SUPPORT_H_
#define CARTIDEX_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace cartidex {
class RomDatabase;
namespace fuzz {

// Defined by each target: one input.
void FuzzOne(std::string_view input);

// The sandbox folder, which is the program folder. Its Env stops the process on any change
// outside the folder but the log.
const std::string& SandboxPath();
// Until the next call, changes are allowed only inside `folder` ("" lifts the fence).
void SetFence(std::string folder);
// The log written since the last call, which empties it.
std::string TakeLog();

[[noreturn]] void Fail(std::string_view what);
inline void Check(bool condition, std::string_view what) {
  if (!condition) Fail(what);
}

// Capacities kept, every ROM linked back to its set and slot, and the last ROM found by lookup.
void CheckDatabase(const RomDatabase& db);
// Gives the number of lines, each " ! Line N skipped: REASON\r\n" with a known reason, N rising
// when `rising`.
size_t CheckRefusalLog(std::string_view log, bool rising);

}  // namespace fuzz
}  // namespace cartidex

#endif  // CARTIDEX_FUZZ_FUZZ_SUPPORT_H_
