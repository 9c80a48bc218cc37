// The replies the simulated drive logged, matched to the requests the driver made.
// The drive answers every request in the order it came, so the n-th logged reply
// answers the n-th request; a reply for another parameter than its request asked
// (other than by an injected wrong-parameter fault) means the soak lost count.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/korvan-sim/reply_log.h"

namespace korvansoak {

// What a fault did to the exchange of one request, as the soak reports it: the
// injected kind, or for a faultless reply whether the drive itself refused or a late
// reply was still on its way.
// Requests after a late reply that may still meet it: a late reply holds up the
// drive's answers to the requests behind it, and two in a row reach twice as far.
inline constexpr uint64_t kLateReach = 4;

enum class Context : uint8_t {
    None, Drop, CorruptBcc, Late, Split, Noise, WrongPnu, Refuse, BitFlip, AfterLate, DriveRefused
};
inline constexpr std::size_t kContextCount = 11;
const char* ContextName(Context context);

class ReplyLedger {
public:
    // A request the driver is about to send (pnu 0 with `process`); its ordinal.
    uint64_t Expect(uint16_t pnu, bool process);
    // Appends newly logged replies; false (with `problem`) when one does not answer
    // the request of its place.
    bool Add(std::vector<korvansim::ReplyRecord> records, std::string& problem);

    uint64_t Requests() const { return requests_.size(); }
    uint64_t Answered() const { return replies_.size(); }
    bool Has(uint64_t ordinal) const { return ordinal < replies_.size(); }
    const korvansim::ReplyRecord& At(uint64_t ordinal) const { return replies_[ordinal]; }
    // The replies the driver may have taken for request `ordinal`: its own, and the
    // `earlier` ones before it, which a late reply can bring into its exchange.
    std::vector<const korvansim::ReplyRecord*> Window(uint64_t ordinal, uint64_t earlier) const;
    Context ContextOf(uint64_t ordinal) const;

private:
    struct Request {
        uint16_t pnu;
        bool process;
    };
    std::vector<Request> requests_;
    std::vector<korvansim::ReplyRecord> replies_;
};

}  // namespace korvansoak
