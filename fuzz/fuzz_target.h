// What every fuzz target shares: the function libFuzzer (or the replay program)
// calls with one input, the core's one-time setup, and the check that turns a broken
// property of the driver into a crash that libFuzzer records as such.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size);

namespace korvanfuzz {

// Defines the channel schemas, as loading the driver module does; safe to call often.
void PrepareCore();
// Prints `what` and aborts.
[[noreturn]] void Fail(const char* what);
inline void Expect(bool holds, const char* what) {
    if (!holds) Fail(what);
}

}  // namespace korvanfuzz
