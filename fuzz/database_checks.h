// Checks that every datafile target makes of what a load left behind: the database it filled and
// the refusal lines it logged. Each failure stops the process through fuzz::Fail.
#ifndef CARTIDEX_FUZZ_DATABASE_CHECKS_H_
#define CARTIDEX_FUZZ_DATABASE_CHECKS_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace cartidex {

class RomDatabase;

namespace fuzz {

// Capacities kept, every ROM linked back to its set and slot, no ROM without a set, archive and
// display names equal and ending in ".zip", nothing owned, and the last ROM found by lookup.
void CheckDatabase(const RomDatabase& db);

// How the line numbers of refusal lines must follow one another.
enum class LineOrder {
  // Each line refuses a later line than the one before (the own format: one set per line).
  kRising,
  // Never falling (a DAT may hold two games on one line).
  kNeverFalling,
};

// Every line of `log` is " ! Line N skipped: REASON\r\n" with a known reason, the numbers in
// `order`. When `system_line` is not 0, the first line must refuse that line as "text too long"
// (a DAT's system name, whose header may stand anywhere); it is kept out of the order and the
// count. `cut` tells that the log was cut, so that its last line may lack its end. Gives the
// number of the other refusal lines.
size_t CheckRefusalLog(std::string_view log, bool cut, LineOrder order, uint64_t system_line = 0);

}  // namespace fuzz
}  // namespace cartidex

#endif  // CARTIDEX_FUZZ_DATABASE_CHECKS_H_
