// The soak's steps: collection calls and device commands in a random mix, the drive's
// values changed between them, the run left and entered now and then. Every call is
// judged once the drive's log holds the reply to its request: a collection or READ
// that reports success must hold the reading of a reply the drive sent for that
// parameter (its own, or one a late reply brought into its exchange); a failure must
// store nothing; a write that reports success must have been carried out by the drive.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <random>
#include <string>

#include "tests/soak/call_judges.h"
#include "tests/soak/fault_tally.h"
#include "tests/soak/reply_ledger.h"
#include "tests/soak/soak_host.h"
#include "tests/soak/soak_line.h"
#include "tests/soak/soak_options.h"
#include "tests/soak/soak_plan.h"

namespace korvansoak {

class SoakRun {
public:
    SoakRun(const SoakOptions& options, SoakLine& line, SoakHost& host);

    // Runs every step; false when the soak lost count of the replies (see Problem()).
    bool Run();
    const FaultTally& Tally() const { return tally_; }
    const std::string& Problem() const { return problem_; }
    uint64_t Exchanges() const { return ledger_.Requests(); }
    uint64_t Collections() const { return collections_; }
    uint64_t Commands() const { return commands_; }

private:
    using Judge = std::function<Verdict(uint64_t ordinal)>;
    struct Pending {
        uint64_t ordinal;
        bool command;
        Judge judge;
    };

    void SetTheScene();
    void Step(uint64_t step, uint64_t steps);
    void ChangeDriveValues();
    void Collect();
    void Command();
    void Read(const PlanChannel& channel);
    void Write(const PlanChannel& channel);
    void ChannelWrite(std::size_t index);
    // The control word and the reference (-1, 0 or 1: reverse, none, forward at full scale).
    void ProcessWrite(double controlWord, double reference);
    // The call just made sent a request for `pnu`: `judge` runs once its reply is in.
    void Expect(uint16_t pnu, bool process, bool command, Judge judge);
    void Count(const Verdict& verdict, bool command);
    bool Absorb();
    bool Settle();
    std::size_t Pick(std::size_t count);
    std::size_t PickChannel(const std::function<bool(const PlanChannel&)>& fits);

    const SoakOptions& options_;
    SoakLine& line_;
    SoakHost& host_;
    ReplyLedger ledger_;
    FaultTally tally_;
    std::deque<Pending> pending_;
    std::mt19937 random_;
    std::string problem_;
    uint64_t collections_ = 0;
    uint64_t commands_ = 0;
    uint64_t commandsLeft_ = 0;
    bool processWritten_ = false;  // the driver sends the control word once per run
};

}  // namespace korvansoak
