// A drive that answers every request at once with a well-framed reply of the length
// the master waits for: the request's address and parameter echoed, a fixed value,
// a fixed text for text requests, a status word and a main actual value. The targets
// that fuzz what the host or the archive gives use it as a line that always works.
#pragma once

#include <cstdint>
#include <vector>

#include "tests/support/scripted_port.h"

namespace korvanfuzz {

std::vector<uint8_t> SteadyReply(const std::vector<uint8_t>& request);

// A scripted port that the steady drive answers.
class SteadyLine : public korvan::testing::ScriptedPort {
public:
    explicit SteadyLine(korvan::testing::ScriptedClock& clock) : ScriptedPort(clock) { responder = SteadyReply; }
};

}  // namespace korvanfuzz
