#include <windows.h>

#include "bench/wire_timing.h"

namespace bench {

double ThreadCpuMs() {
    FILETIME created{}, ended{}, kernel{}, user{};
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user)) return 0.0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Windows keeps no per-thread count of waits a program can read.
double ThreadWakeUps() { return -1.0; }

}  // namespace bench
