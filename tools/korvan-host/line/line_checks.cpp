#include "tools/korvan-host/line/line_checks.h"

#include <algorithm>
#include <cstdio>

#include "tools/korvan-host/host_system.h"
#include "tools/korvan-sim/framing.h"

namespace korvanhost {
namespace {

// The device's communication wait time in milliseconds (the driver's reading of it).
int64_t WaitMs(Session& session, std::size_t device) {
    const auto properties = session.devices.Properties(device);
    if (properties.size() < 2) return 200;
    int64_t wait = 0;
    for (char16_t c : properties[1].value) {
        if (c < u'0' || c > u'9' || wait > 100000) break;
        wait = wait * 10 + (c - u'0');
    }
    return wait;
}

}  // namespace

// The wire time of a 16-byte request and its 16-byte reply at the line's baud rate
// and framing, in milliseconds: no reply can come sooner.
double ExchangeWireMs(const Options& options) {
    const korvansim::Framing framing = korvansim::ParseFraming(options.framing).value_or(korvansim::Framing{});
    const int bits = 1 + framing.dataBits + (framing.parity == korvansim::Parity::None ? 0 : 1) + framing.stopBits;
    return 32.0 * bits * 1000.0 / options.baud;
}

// A warning when the wait time is shorter than a request and its reply take on the
// line: every exchange would end before its reply came, and a late reply could be
// taken for the next request's.
void WarnShortWait(int64_t waitMs, const Options& options) {
    const double wire = ExchangeWireMs(options);
    if (waitMs <= 0 || waitMs >= wire) return;
    char text[200];
    std::snprintf(text, sizeof text,
                  "wait time %lld ms is shorter than a request and its reply take on the line at %u baud %s "
                  "(%.1f ms): no reply can come in time",
                  static_cast<long long>(waitMs), options.baud, options.framing.c_str(), wire);
    Warn(text);
}

// What the first Ctrl-C of a run or exec says: the exchange in progress ends first.
void SayHowToStop(Session& session, const Options& options) {
    int64_t longest = 0;
    for (std::size_t d = 0; d < session.devices.Count(); ++d) {
        const int64_t wait = WaitMs(session, d);
        WarnShortWait(wait, options);
        longest = std::max(longest, wait);
    }
    char text[160];
    std::snprintf(text, sizeof text, "stopping after the exchange in progress (up to %.3g s; Ctrl-C again to leave now)",
                  static_cast<double>(std::max<int64_t>(longest, 200)) / 1000.0);
    SayOnInterrupt(text);
}

// Why the devices cannot share one line: two archives with one address; empty when
// they can.
std::string SharedAddress(Session& session) {
    for (std::size_t a = 0; a < session.devices.Count(); ++a) {
        for (std::size_t b = a + 1; b < session.devices.Count(); ++b) {
            const int32_t address = session.devices.Address(a);
            if (address > 0 && address == session.devices.Address(b)) {
                return session.devices.ArchivePath(a) + " and " + session.devices.ArchivePath(b) + " both have address " +
                       std::to_string(address) + ": two devices cannot answer one address";
            }
        }
    }
    return "";
}

}  // namespace korvanhost
