#include "fuzz/fuzz_target.h"

#include <cstdio>
#include <cstdlib>

#include "channels/channel_schemas.h"

namespace korvanfuzz {

void PrepareCore() {
    [[maybe_unused]] static const int defined = korvan::DefineChannelSchemas();
}

void Fail(const char* what) {
    std::fprintf(stderr, "korvan fuzz: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

}  // namespace korvanfuzz
