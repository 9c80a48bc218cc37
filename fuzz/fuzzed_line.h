// The drive's end of a line whose replies come from the fuzzer. Each request the
// driver writes is answered by the next piece of the input, shaped by a header byte:
//   bits 0-1  0 a well-framed reply: start byte, length, the request's address and
//               parameter number, a correct check character; the rest from the input
//             1 the same, with the check character the input gives
//             2 the input's bytes as they are
//             3 no reply
//   bit 2     the reply arrives in two pieces, a gap between them
//   bit 3     it arrives late, possibly after the master's time-out
//   bit 4     a line error comes with it
//   bits 5-7  that many noise bytes go before it
// then a length byte and that many bytes of reply. The port keeps what the driver
// read since its last request, so a target can judge the reply the driver took.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "tests/support/scripted_port.h"

namespace korvanfuzz {

class FuzzedLine : public korvan::testing::ScriptedPort {
public:
    FuzzedLine(korvan::testing::ScriptedClock& clock, FuzzInput& input)
        : ScriptedPort(clock), clock_(clock), input_(input) {}

    bool Write(std::span<const uint8_t> bytes, uint32_t timeoutMs) override;
    bool Read(std::span<uint8_t> into) override;

    // The last request, with its check character.
    const std::vector<uint8_t>& Request() const { return request_; }
    // Everything the driver read since that request went out.
    const std::vector<uint8_t>& Delivered() const { return delivered_; }

private:
    std::vector<uint8_t> Reply(uint8_t shape);
    void Schedule(uint8_t header, std::vector<uint8_t> reply);

    korvan::testing::ScriptedClock& clock_;
    FuzzInput& input_;
    std::vector<uint8_t> request_;
    std::vector<uint8_t> delivered_;
};

// `body` made a reply to `request`: start byte, length, the request's address and,
// for a parameter request, its parameter number; a correct check character when
// `goodCheck`. A body under 5 bytes stays as it is.
std::vector<uint8_t> FramedReply(const std::vector<uint8_t>& request, std::span<const uint8_t> body, bool goodCheck);

}  // namespace korvanfuzz
