// Capacities of the data model. Storage grows with what is loaded; these stay the limits.
#ifndef CARTIDEX_ROMDB_CAPACITIES_H_
#define CARTIDEX_ROMDB_CAPACITIES_H_

#include <cstddef>
#include <cstdint>

namespace cartidex {

inline constexpr uint32_t kMaxRoms = 131072;
inline constexpr uint32_t kMaxSets = 65536;
inline constexpr int32_t kMaxRomsPerSet = 128;
inline constexpr size_t kMaxText = 127;

}  // namespace cartidex

#endif  // CARTIDEX_ROMDB_CAPACITIES_H_
