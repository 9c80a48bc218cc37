// What run and exec check and say about the line before they use it: the wait time
// against the wire time of an exchange, two devices at one address, and what the first
// Ctrl-C will say. set warns about a wait time the same way.
#pragma once

#include <cstdint>
#include <string>

#include "tools/korvan-host/command_session.h"

namespace korvanhost {

// The wire time of a 16-byte request and its 16-byte reply at the line's baud rate
// and framing, in milliseconds: no reply can come sooner.
double ExchangeWireMs(const Options& options);
// A warning when the wait time is shorter than that: every exchange would end before
// its reply came, and a late reply could be taken for the next request's.
void WarnShortWait(int64_t waitMs, const Options& options);
// Warns about each device's wait time, and makes the first Ctrl-C say how long the
// exchange in progress may take.
void SayHowToStop(Session& session, const Options& options);
// Why the devices cannot share one line: two archives with one address; empty when
// they can.
std::string SharedAddress(Session& session);

}  // namespace korvanhost
