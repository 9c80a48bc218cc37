// The simulator on a real pseudo-terminal: addressing, resynchronisation, pacing, faults on
// the wire, deterministic sessions, start and stop.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "tests/sim/pty_line.h"
#include "tests/sim/sim_requests.h"
#include "tools/korvan-sim/line_settings.h"
#include "tools/korvan-sim/simulator.h"
#include "tools/korvan-sim/telegram_codec.h"

namespace korvansim {
namespace {

using namespace std::chrono_literals;
using simtest::Bytes;
using simtest::MillisecondsSince;
using simtest::Parameter;
using simtest::Process;
using ByteVector = std::vector<std::uint8_t>;

Options Quick() {
    Options options;
    options.pacing = false;
    options.deterministic = true;
    return options;
}

class SimulatorTest : public ::testing::Test {
protected:
    [[nodiscard]] bool Start(Options options) {
        sim = std::make_unique<Simulator>(std::move(options));
        const std::string path = sim->StartOnPty();
        EXPECT_FALSE(path.empty()) << sim->Error();
        line = std::make_unique<simtest::PtyLine>(path);
        return !path.empty() && line->Open();
    }
    bool Silent() const { return line->Receive(1, 100ms).empty(); }

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<simtest::PtyLine> line;
    const ByteVector read202 = Bytes(Parameter(ak::kRead, 202));
};

TEST_F(SimulatorTest, AnswersItsAddressesAndStaysSilentOtherwise) {
    Options options = Quick();
    options.addresses = {1, 2};
    ASSERT_TRUE(Start(options));
    const ByteVector reply = line->Ask(read202, 16);
    const Decoded decoded = DecodeTelegram(reply);
    ASSERT_EQ(decoded.error, DecodeError::None);
    EXPECT_EQ(decoded.telegram.address, 0x01);
    EXPECT_EQ(decoded.telegram.value, 500u);
    EXPECT_EQ(decoded.telegram.pcd1, simtest::kIdle);
    EXPECT_EQ(DecodeTelegram(line->Ask(Bytes(Parameter(ak::kRead, 202, 0, 0, 0, 0, 0x82)), 16)).telegram.address, 0x82);

    line->Send(Bytes(Parameter(ak::kRead, 202, 0, 0, 0, 0, 3)));
    EXPECT_TRUE(Silent());
    ByteVector badBcc = read202;
    badBcc.back() ^= 0x40;
    line->Send(badBcc);
    EXPECT_TRUE(Silent());
    line->Send(Bytes(Process(simtest::kStart, simtest::kHalf, 0x80)));  // broadcast: act, be silent
    EXPECT_TRUE(Silent());
    EXPECT_NE(*sim->StatusWord(1) & 0x0800, 0);
    EXPECT_NE(*sim->StatusWord(2) & 0x0800, 0);

    const std::vector<ReplyRecord> log = sim->TakeReplyLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].pnu, 202);
    EXPECT_EQ(log[0].ak, ak::kWordValue);
    EXPECT_EQ(log[0].statusWord, simtest::kIdle);
    EXPECT_EQ(log[0].bytes, reply);
    EXPECT_EQ(log[1].address, 0x82);
    EXPECT_TRUE(sim->TakeReplyLog().empty());
}

TEST_F(SimulatorTest, ResynchronisesAfterNoiseAndAStalledTelegram) {
    ASSERT_TRUE(Start(Quick()));
    ByteVector noisy{0xFF, 0x55, 0x02};
    noisy.insert(noisy.end(), read202.begin(), read202.end());
    EXPECT_EQ(line->Ask(noisy, 16).size(), 16u);

    line->Send(ByteVector(read202.begin(), read202.begin() + 7));
    std::this_thread::sleep_for(60ms);
    EXPECT_EQ(DecodeTelegram(line->Ask(read202, 16)).error, DecodeError::None);
    EXPECT_TRUE(Silent());
}

TEST_F(SimulatorTest, PacesRepliesAtWireSpeed) {
    Options options;  // 9600 8E1: 1.146 ms a character
    ASSERT_TRUE(Start(options));
    const simtest::Clock::time_point start = simtest::Clock::now();
    line->Send(read202);
    EXPECT_EQ(line->Receive(1, 2000ms).size(), 1u);
    const double first = MillisecondsSince(start);
    EXPECT_EQ(line->Receive(15, 2000ms).size(), 15u);
    const double complete = MillisecondsSince(start);
    // Request 18.33 ms, turnaround 2.29 ms, then one character per byte.
    EXPECT_GE(first, 21.77);
    EXPECT_GE(complete, 38.95);
    EXPECT_LT(complete, 2000.0);
    std::printf("[          ] 9600 8E1: first byte after %.2f ms, whole reply after %.2f ms (wire time 38.96 ms)\n",
                first, complete);
}

TEST_F(SimulatorTest, PacesAt115200Too) {
    Options options;
    options.baud = 115200;
    options.framing = *ParseFraming("8N1");
    ASSERT_TRUE(Start(options));
    const simtest::Clock::time_point start = simtest::Clock::now();
    EXPECT_EQ(line->Ask(read202, 16).size(), 16u);
    const double complete = MillisecondsSince(start);
    EXPECT_GE(complete, 2.95);  // 34 characters of 10 bits
    EXPECT_LT(complete, 200.0);
    std::printf("[          ] 115200 8N1: whole reply after %.2f ms (wire time 2.95 ms)\n", complete);
}

int DifferingBits(const ByteVector& a, const ByteVector& b) {
    int bits = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        bits += std::popcount(static_cast<unsigned>(a[i] ^ b[i]));
    }
    return bits;
}

TEST_F(SimulatorTest, EveryFaultKindReachesTheLine) {
    ASSERT_TRUE(Start(Quick()));
    FaultSettings settings;
    settings.lateMs = 150;
    sim->Faults().SetSettings(settings);
    const ByteVector clean = line->Ask(read202, 16);
    ASSERT_EQ(clean.size(), 16u);
    sim->Faults().Script({FaultKind::Drop, FaultKind::CorruptBcc, FaultKind::Noise, FaultKind::Split, FaultKind::Late,
                          FaultKind::WrongPnu, FaultKind::Refuse, FaultKind::BitFlip});

    EXPECT_TRUE(line->Ask(read202, 1, 100ms).empty());
    const ByteVector corrupt = line->Ask(read202, 16);
    EXPECT_TRUE(std::equal(clean.begin(), clean.end() - 1, corrupt.begin()));
    EXPECT_NE(corrupt.back(), clean.back());
    const ByteVector noisy = line->Ask(read202, 19);
    ASSERT_EQ(noisy.size(), 19u);
    EXPECT_EQ(ByteVector(noisy.begin() + 3, noisy.end()), clean);

    simtest::Clock::time_point start = simtest::Clock::now();
    EXPECT_EQ(line->Ask(read202, 16), clean);
    EXPECT_GE(MillisecondsSince(start), 29.0);  // two gaps of 15 ms
    start = simtest::Clock::now();
    EXPECT_TRUE(line->Ask(read202, 1, 100ms).empty());
    EXPECT_EQ(line->Receive(16, 1000ms), clean);
    EXPECT_GE(MillisecondsSince(start), 150.0);

    EXPECT_EQ(DecodeTelegram(line->Ask(read202, 16)).telegram.pnu, 203);
    const Decoded refused = DecodeTelegram(line->Ask(Bytes(Parameter(ak::kWriteWord, 202, 0x0500, 400)), 16));
    EXPECT_EQ(refused.telegram.ak, ak::kCannotExecute);
    EXPECT_EQ(refused.telegram.value, 17u);
    EXPECT_EQ(sim->Value(1, 202), 500);  // a refused write is not carried out
    EXPECT_EQ(DifferingBits(line->Ask(read202, 16), clean), 1);

    for (const FaultKind kind : {FaultKind::Drop, FaultKind::CorruptBcc, FaultKind::Noise, FaultKind::Split,
                                 FaultKind::Late, FaultKind::WrongPnu, FaultKind::Refuse, FaultKind::BitFlip}) {
        EXPECT_EQ(sim->Faults().Count(kind), 1u) << FaultName(kind);
    }
    const std::vector<ReplyRecord> log = sim->TakeReplyLog();
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[1].fault, FaultKind::Drop);
    EXPECT_TRUE(log[1].bytes.empty());
    EXPECT_EQ(log[8].fault, FaultKind::BitFlip);

    sim->Faults().SetRate(FaultKind::Drop, 1.0);
    EXPECT_TRUE(line->Ask(read202, 1, 100ms).empty());
    sim->Faults().SetRate(FaultKind::Drop, 0.0);
    EXPECT_EQ(line->Ask(read202, 16), clean);
}

ByteVector DeterministicSession() {
    Options options = Quick();
    options.seed = 5;
    Simulator sim(options);
    sim.Faults().SetRate(FaultKind::Noise, 0.2);
    sim.Faults().SetRate(FaultKind::BitFlip, 0.2);
    simtest::PtyLine line(sim.StartOnPty());
    line.Ask(Bytes(Process(simtest::kStart, 0x4000)), 8);
    for (int i = 0; i < 15; ++i) {
        line.Ask(Bytes(Parameter(ak::kRead, static_cast<std::uint16_t>(i % 2 ? 518 : 520))), 16);
    }
    line.Ask(Bytes(Parameter(ak::kText, 621, 0x0400)), 30);
    ByteVector wire;
    for (const ReplyRecord& record : sim.TakeReplyLog()) {
        wire.insert(wire.end(), record.bytes.begin(), record.bytes.end());
    }
    EXPECT_GT(*sim.Value(1, 518), 0);  // the motor moved, so the replies depend on model time
    return wire;
}

TEST(DeterministicMode, GivesTheSameBytesOnEveryRun) {
    const ByteVector first = DeterministicSession();
    EXPECT_GT(first.size(), 17u * 16u);
    EXPECT_EQ(first, DeterministicSession());
}

TEST_F(SimulatorTest, StopsPromptlyAndRemovesItsLink) {
    Options options = Quick();
    options.linkPath = ::testing::TempDir() + "korvan-sim-link-" + std::to_string(getpid());
    ASSERT_TRUE(Start(options));
    struct stat info {};
    EXPECT_EQ(lstat(options.linkPath.c_str(), &info), 0);
    FaultSettings settings;
    settings.lateMs = 5000;
    sim->Faults().SetSettings(settings);
    sim->Faults().Script({FaultKind::Late});
    line->Send(read202);
    std::this_thread::sleep_for(30ms);
    const simtest::Clock::time_point start = simtest::Clock::now();
    sim->Stop();
    EXPECT_LT(MillisecondsSince(start), 2500.0);  // not after the late reply's 5 s
    EXPECT_FALSE(sim->Running());
    EXPECT_NE(lstat(options.linkPath.c_str(), &info), 0);
    sim->Stop();
}

// The lines the drive traces, for a test to wait on.
class TraceLines {
public:
    std::function<void(const std::string&)> Sink() {
        return [this](const std::string& line) {
            const std::lock_guard lock(mutex_);
            lines_.push_back(line);
            changed_.notify_all();
        };
    }
    // True once `count` lines hold `text`; the time limit only catches a stall.
    bool WaitFor(const std::string& text, std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] {
            return static_cast<std::size_t>(std::count_if(lines_.begin(), lines_.end(), [&](const std::string& line) {
                       return line.find(text) != std::string::npos;
                   })) >= count;
        });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
};

// As on a real line, a host at another speed or framing is garbage to the drive.
TEST_F(SimulatorTest, HearsOnlyAHostAtItsOwnSpeedAndFraming) {
    TraceLines trace;
    Options options = Quick();  // 9600 8E1
    options.trace = trace.Sink();
    ASSERT_TRUE(Start(options));
    const struct {
        std::uint32_t baud;
        const char* framing;
        bool heard;
    } hosts[] = {
        {4800, "8E1", false},
        {9600, "8N2", false},
        {9600, "8O1", false},
        {9600, "8E1", true},
        {9600, "8N1", true},  // a pty shows no even parity: a host without parity is heard too
    };
    std::size_t ignored = 0;
    std::size_t answered = 0;
    for (const auto& host : hosts) {
        ASSERT_TRUE(SetLineSettings(line->Fd(), host.baud, *ParseFraming(host.framing)));
        if (host.heard) {
            EXPECT_EQ(line->Ask(read202, 16).size(), 16u) << host.baud << " " << host.framing;
            ++answered;
        } else {
            line->Send(read202);
            EXPECT_TRUE(trace.WaitFor("garbage, ignored", ++ignored)) << host.baud << " " << host.framing;
        }
    }
    EXPECT_EQ(sim->TakeReplyLog().size(), answered);
}

// --link takes over only a link an earlier korvan-sim left behind, and at the end removes
// only its own.
TEST(SimulatorLink, TouchesNothingThatIsNotItsOwn) {
    namespace fs = std::filesystem;
    const std::string folder = ::testing::TempDir() + "korvan-sim-links-" + std::to_string(getpid());
    fs::create_directories(folder);
    const std::string archive = folder + "/plant.archive";
    std::ofstream(archive) << "mine";
    Simulator running(Quick());
    const std::string openPty = running.StartOnPty();
    const struct {
        const char* name;
        std::string target;  // empty: a file of the user's
        bool takenOver;
    } cases[] = {
        {"file", "", false},
        {"to-archive", archive, false},
        {"to-open-pty", openPty, false},
        {"left-behind", "/dev/pts/999999", true},
    };
    for (const auto& c : cases) {
        const std::string link = folder + "/" + c.name;
        if (c.target.empty()) {
            std::ofstream(link) << "mine";
        } else {
            fs::create_symlink(c.target, link);
        }
        Options options = Quick();
        options.linkPath = link;
        Simulator sim(options);
        const std::string pty = sim.StartOnPty();
        EXPECT_EQ(pty.empty(), !c.takenOver) << c.name << ": " << sim.Error();
        if (c.takenOver) {
            EXPECT_EQ(fs::read_symlink(link).string(), pty);
        } else if (c.target.empty()) {
            EXPECT_EQ(fs::file_size(link), 4u) << c.name;
        } else {
            EXPECT_EQ(fs::read_symlink(link).string(), c.target) << c.name;
        }
        sim.Stop();
        EXPECT_EQ(fs::exists(fs::symlink_status(link)), !c.takenOver) << c.name;
    }

    Options options = Quick();
    options.linkPath = folder + "/replaced";
    Simulator sim(options);
    ASSERT_FALSE(sim.StartOnPty().empty()) << sim.Error();
    fs::remove(options.linkPath);
    fs::create_symlink(archive, options.linkPath);  // someone else's link now
    sim.Stop();
    EXPECT_EQ(fs::read_symlink(options.linkPath).string(), archive);
    fs::remove_all(folder);
}

TEST(SimulatorStart, FailsWithAReason) {
    Options badFile;
    badFile.parameterFile = "/nonexistent/parameters.csv";
    Simulator first(badFile);
    EXPECT_EQ(first.StartOnPty(), "");
    EXPECT_NE(first.Error().find("/nonexistent/parameters.csv"), std::string::npos);

    Options badAddress;
    badAddress.addresses = {1, 127};
    Simulator second(badAddress);
    EXPECT_EQ(second.StartOnPty(), "");
    EXPECT_NE(second.Error().find("127"), std::string::npos);

    Simulator third{Options{}};
    EXPECT_FALSE(third.StartOnTty("/dev/null"));
    EXPECT_NE(third.Error().find("not a serial port"), std::string::npos);
    EXPECT_FALSE(third.Value(1, 202).has_value() && third.Running());
}

}  // namespace
}  // namespace korvansim
