#include "identify/session_state.h"

#include "romdb/rom_database.h"

namespace cartidex {

void SessionState::TallyAdd(int32_t set_index) {
  auto [it, added] = tally.position.try_emplace(set_index, tally.entries.size());
  if (!added) {
    ++tally.entries[it->second].roms_matched;
    return;
  }
  tally.entries.push_back(
      {set_index, Database().GetSet(static_cast<uint32_t>(set_index)).rom_count(), 1});
}

bool SessionState::TallyBest(int32_t* best) {
  int32_t best_size = -1;
  for (const SetTally::Entry& e : tally.entries) {
    if (e.roms_matched < e.roms_needed) continue;
    Database().MarkSetOwned(e.set_index, true);
    if (e.roms_needed >= best_size) {
      *best = e.set_index;
      best_size = e.roms_needed;
    }
  }
  return best_size >= 0;
}

SessionState& Session() {
  static SessionState session;
  return session;
}

void ResetSession() {
  Session() = SessionState();
}

}  // namespace cartidex
