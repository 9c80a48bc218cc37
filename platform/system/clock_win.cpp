#include "platform/system/clock.h"

#include <windows.h>

#include <cstdlib>

namespace korvan::platform {

uint32_t TickCount() { return GetTickCount(); }

void SeedRandom(uint32_t seed) { std::srand(seed); }

}  // namespace korvan::platform
