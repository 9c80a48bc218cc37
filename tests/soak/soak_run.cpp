#include "tests/soak/soak_run.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "tests/soak/drive_reading.h"
#include "tests/soak/value_texts.h"
#include "tools/hostkit/config_blob.h"

namespace korvansoak {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kNoWantedChannelIn = 33;  // one collection call in 33 wants no channel
constexpr uint32_t kRefusedWriteIn = 20;     // one numeric write in 20 goes past the drive's limits
constexpr uint64_t kNoiseSteps = 1000;       // the noise length changes this often: 1 to 5 bytes
constexpr uint64_t kProgressSteps = 2000;
constexpr auto kSettleTime = std::chrono::seconds(5);
constexpr double kStart = 0x047C;  // control words: run, with the reference valid
constexpr double kStop = 0x043C;
constexpr double kNotValid = 0x0000;  // the drive ignores control word and reference

const hostkit::HostValue kFloatMarker = -777.25f;
const hostkit::HostValue kIntegerMarker = int32_t{-777};
const hostkit::HostValue kTextMarker = std::u16string(kUntouchedText);

}  // namespace

SoakRun::SoakRun(const SoakOptions& options, SoakLine& line, SoakHost& host)
    : options_(options), line_(line), host_(host), random_(options.seed + 1), commandsLeft_(options.commands) {}

bool SoakRun::Run() {
    line_.Calm();
    host_.Start();
    SetTheScene();
    line_.Stir();
    const uint64_t steps = uint64_t{options_.calls} + options_.commands;
    const auto start = Clock::now();
    for (uint64_t step = 0; step < steps && problem_.empty(); ++step) {
        Step(step, steps);
        if (options_.progress && (step + 1) % kProgressSteps == 0) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            std::printf("soak: %llu of %llu steps, %.0f s\n", static_cast<unsigned long long>(step + 1),
                        static_cast<unsigned long long>(steps), seconds);
            std::fflush(stdout);
        }
    }
    return Settle();
}

// Before the faults: a text of full width in 534, so that its every reply is a whole
// 30-byte telegram, and the control word that starts the motor.
void SoakRun::SetTheScene() {
    ChannelWrite(PickChannel([](const PlanChannel& c) { return c.type == kTextType && c.Writable(); }));
    ProcessWrite(kStart, 1.0);
    Settle();
}

void SoakRun::Step(uint64_t step, uint64_t steps) {
    if (step > 0 && step % options_.restartEvery == 0) {
        host_.Restart();
        processWritten_ = false;
    }
    if (step % kNoiseSteps == 0) line_.SetNoiseBytes(static_cast<uint32_t>(1 + step / kNoiseSteps % 5));
    ChangeDriveValues();
    if (std::uniform_int_distribution<uint64_t>(1, steps - step)(random_) <= commandsLeft_) {
        --commandsLeft_;
        Command();
    } else {
        Collect();
    }
    Absorb();
}

void SoakRun::ChangeDriveValues() {
    for (const PlanChannel& channel : PlanChannels()) {
        if (!channel.changedByTheSoak) continue;
        const int64_t value = std::uniform_int_distribution<int64_t>(channel.lowest, channel.highest)(random_);
        line_.Drive().SetValue(1, channel.pnu, 0, value);
    }
}

std::size_t SoakRun::Pick(std::size_t count) {
    return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
}

std::size_t SoakRun::PickChannel(const std::function<bool(const PlanChannel&)>& fits) {
    std::vector<std::size_t> fitting;
    for (std::size_t i = 0; i < PlanChannels().size(); ++i) {
        if (fits(PlanChannels()[i])) fitting.push_back(i);
    }
    return fitting[Pick(fitting.size())];
}

void SoakRun::Expect(uint16_t pnu, bool process, bool command, Judge judge) {
    pending_.push_back({ledger_.Expect(pnu, process), command, std::move(judge)});
}

void SoakRun::Count(const Verdict& verdict, bool command) {
    if (command) tally_.Command(verdict.context, verdict.outcome, verdict.wrong);
    else tally_.Collection(verdict.context, verdict.outcome, verdict.wrong);
    if (verdict.wrong) tally_.Example(verdict.why + " [" + ContextName(verdict.context) + "]", options_.examples);
}

void SoakRun::Collect() {
    ++collections_;
    if (Pick(kNoWantedChannelIn) == 0) {
        const Collected collected = host_.Collect(0);
        const bool quiet = collected.returned == 0 && collected.values[0] == kUntouched;
        Count({Context::None, quiet ? 0 : 1, !quiet, "a collection wanting no channel stored values"}, false);
        return;
    }
    const std::size_t index = PickChannel([](const PlanChannel& c) { return c.Readable(); });
    const PlanChannel& channel = PlanChannels()[index];
    const int32_t slot = HostChannel(index);
    Expect(channel.pnu, false, false, [this, &channel, slot, collected = host_.Collect(slot)](uint64_t ordinal) {
        const Verdict verdict = JudgeCollection(ledger_, ordinal, channel, slot, collected);
        const korvansim::ReplyRecord& own = ledger_.At(ordinal);
        if (own.fault == korvansim::FaultKind::BitFlip) {
            tally_.Flips().NoteCollection(own.bytes, ReplyAsBuilt(own), channel.pnu, channel.type, verdict.outcome == 0,
                                          verdict.wrong);
        }
        return verdict;
    });
}

void SoakRun::Command() {
    ++commands_;
    const auto readable = [](const PlanChannel& c) { return c.Readable(); };
    const auto numericWritable = [](const PlanChannel& c) { return c.Writable() && c.type != kTextType; };
    const std::size_t choice = Pick(10);
    if (choice < 4) return Read(PlanChannels()[PickChannel(readable)]);
    if (choice < 7) return Write(PlanChannels()[PickChannel(numericWritable)]);
    if (choice < 8) {
        static constexpr double kControlWords[] = {kStart, kStop, kStart, kNotValid};
        const double controlWord = kControlWords[Pick(std::size(kControlWords))];
        return ProcessWrite(controlWord, static_cast<double>(Pick(3)) - 1.0);
    }
    ChannelWrite(PickChannel([](const PlanChannel& c) { return c.Writable(); }));
}

void SoakRun::Read(const PlanChannel& channel) {
    const std::u16string variable = channel.type == kTextType ? u"T" : (Pick(3) == 0 ? u"I" : u"F");
    const hostkit::HostValue marker = variable == u"T" ? kTextMarker : variable == u"I" ? kIntegerMarker : kFloatMarker;
    host_.Variables().Declare(variable, marker);
    const std::vector<double> results = host_.Command(ReadCommand(channel, variable), 0, 0);
    Expect(channel.pnu, false, true,
           [this, &channel, marker, results, after = host_.Variables().Value(variable)](uint64_t ordinal) {
               return JudgeRead(ledger_, ordinal, channel, marker, after, results);
           });
}

void SoakRun::Write(const PlanChannel& channel) {
    const bool refused = channel.refusedRaw != 0 && Pick(kRefusedWriteIn) == 0;
    const int64_t raw =
        refused ? channel.refusedRaw : std::uniform_int_distribution<int64_t>(channel.lowest, channel.highest)(random_);
    const std::vector<double> results = host_.Command(WriteCommand(channel, raw, static_cast<int32_t>(Pick(2))), 0, 0);
    Expect(channel.pnu, false, true, [this, &channel, raw, results](uint64_t ordinal) {
        return JudgeWrite(ledger_, ordinal, channel, raw, results);
    });
}

void SoakRun::ChannelWrite(std::size_t index) {
    const PlanChannel& channel = PlanChannels()[index];
    if (channel.type == kTextType) {
        const std::u16string text = DisplayText(random_);
        const std::string code = hostkit::ToGbk(text);
        const std::vector<double> results = host_.Command(ChannelWriteCommand(HostChannel(index), text), 0, 0);
        Expect(channel.pnu, false, true,
               [this, bytes = std::vector<uint8_t>(code.begin(), code.end()), results](uint64_t ordinal) {
                   return JudgeTextWrite(ledger_, ordinal, bytes, results);
               });
        return;
    }
    const int64_t raw = std::uniform_int_distribution<int64_t>(channel.lowest, channel.highest)(random_);
    const std::vector<double> results =
        host_.Command(ChannelWriteCommand(HostChannel(index), ScaledValueText(raw, channel.factor)), 0, 0);
    Expect(channel.pnu, false, true, [this, &channel, raw, results](uint64_t ordinal) {
        return JudgeWrite(ledger_, ordinal, channel, raw, results);
    });
}

// The control word and the reference go out once per run; later ones are passed over
// without an exchange.
void SoakRun::ProcessWrite(double controlWord, double reference) {
    const std::vector<double> results = host_.Command(u"ZELK_WRITE(3=1)", controlWord, reference);
    if (processWritten_) {
        Count({Context::None, static_cast<int32_t>(results[0]), results[0] != 0.0, "a passed-over control word failed"},
              true);
        return;
    }
    processWritten_ = true;
    Expect(0, true, true, [this, results](uint64_t ordinal) { return JudgeProcessWrite(ledger_, ordinal, results); });
}

// Takes what the drive logged and judges every call whose reply is in.
bool SoakRun::Absorb() {
    if (!problem_.empty() || !ledger_.Add(line_.Drive().TakeReplyLog(), problem_)) return false;
    while (!pending_.empty() && ledger_.Has(pending_.front().ordinal)) {
        const Pending next = std::move(pending_.front());
        pending_.pop_front();
        Count(next.judge(next.ordinal), next.command);
        const korvansim::ReplyRecord& own = ledger_.At(next.ordinal);
        if (own.fault == korvansim::FaultKind::BitFlip) tally_.Flips().NoteReply(own.bytes);
    }
    return true;
}

// Waits for the replies still on their way (a late one takes its time).
bool SoakRun::Settle() {
    const auto deadline = Clock::now() + kSettleTime;
    while (Absorb() && !pending_.empty() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (problem_.empty() && !pending_.empty())
        problem_ = std::to_string(pending_.size()) + " requests got no logged reply";
    return problem_.empty();
}

}  // namespace korvansoak
