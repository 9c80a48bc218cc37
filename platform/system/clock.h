// The system's free-running millisecond tick count, and the seed of the C library's
// pseudo-random number generator.
#pragma once

#include <cstdint>

namespace korvan::platform {

// Milliseconds since an arbitrary start, wrapping at 2^32.
uint32_t TickCount();
void SeedRandom(uint32_t seed);

}  // namespace korvan::platform
