// korvan-host as a person runs it: a built program against a simulated drive on a
// pseudo-terminal, with archives kept in files between runs.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <sstream>
#include <thread>

#include "tests/support/child_process.h"
#include "tools/korvan-sim/simulator.h"

namespace korvan {
namespace {

namespace fs = std::filesystem;
using testing::RunProgram;

const std::string kHost = KORVAN_HOST_PROGRAM;
const std::string kSim = KORVAN_SIM_PROGRAM;
const std::string kDriver = KORVAN_BUILT_DRIVER;

// A built program's command line; programs of another processor run under its emulator.
std::vector<std::string> Program(const std::string& path, std::vector<std::string> arguments) {
    const std::string emulator = KORVAN_EMULATOR;
    arguments.insert(arguments.begin(), path);
    if (!emulator.empty()) arguments.insert(arguments.begin(), emulator);
    return arguments;
}

// True once a korvan-sim child has its line ready: it prints the line's path then.
bool Started(testing::Child& simulator) {
    const std::string said = simulator.ReadUntil("\n", 60.0);
    EXPECT_NE(said.find('\n'), std::string::npos) << simulator.Errors();
    return said.find('\n') != std::string::npos;
}

class KorvanHostTest : public ::testing::Test {
protected:
    KorvanHostTest() {
        char pattern[] = "/tmp/korvan-host-test-XXXXXX";
        folder_ = mkdtemp(pattern);
    }
    ~KorvanHostTest() override { fs::remove_all(folder_); }

    std::string Path(const std::string& name) const { return folder_ + "/" + name; }
    std::string DemoArchive() {
        const std::string copy = Path("demo.archive");
        fs::copy_file(KORVAN_EXAMPLE_ARCHIVE, copy, fs::copy_options::overwrite_existing);
        return copy;
    }
    testing::Finished Host(std::vector<std::string> arguments, double seconds = 60.0) {
        arguments.insert(arguments.begin(), {"--driver", kDriver});
        return RunProgram(Program(kHost, arguments), seconds);
    }
    // A simulated drive answering at once (no wire pacing) at `addresses`.
    std::unique_ptr<korvansim::Simulator> Drive(std::vector<uint8_t> addresses = {1}) {
        korvansim::Options options;
        options.addresses = std::move(addresses);
        options.pacing = false;
        auto drive = std::make_unique<korvansim::Simulator>(options);
        line_ = drive->StartOnPty();
        EXPECT_FALSE(line_.empty()) << drive->Error();
        return drive;
    }

    std::string folder_;
    std::string line_;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The values of device `device` in the last JSON round: host channel -> value text.
std::map<int, std::string> LastRound(const std::string& output, int device) {
    std::map<int, std::string> values;
    const std::size_t start = output.rfind("{\"round\"");
    if (start == std::string::npos) return values;
    std::size_t at = start;
    for (int skip = 0; skip <= device && at != std::string::npos; ++skip) at = output.find("{\"archive\"", at + 1);
    if (at == std::string::npos) return values;
    const std::string round = output.substr(at, output.find("]}", at) - at);
    const std::regex channel(
        R"re(\{"k":(\d+),"name":"[^"]*","type":-?\d+,"typeName":"[^"]*","value":("[^"]*"|[-0-9.e+]+|null),)re");
    for (std::sregex_iterator it(round.begin(), round.end(), channel), end; it != end; ++it) {
        values[std::stoi((*it)[1])] = (*it)[2];
    }
    return values;
}

TEST_F(KorvanHostTest, PropertiesSetInOneRunAreThereInTheNext) {
    const std::string archive = Path("device.archive");
    ASSERT_EQ(Host({"--archive", archive, "init"}).status, 0);
    const auto set = Host({"--archive", archive, "set", "address=3", "通讯等待时间=350"});
    ASSERT_EQ(set.status, 0) << set.err;
    ASSERT_EQ(Host({"--archive", Path("hasty.archive"), "init"}).status, 0);
    const auto tooShort = Host({"--archive", Path("hasty.archive"), "set", "wait=5"});
    EXPECT_NE(tooShort.err.find("wait time 5 ms is shorter than a request and its reply take on the line at 9600 baud 8E1 "
                                "(36.7 ms)"),
              std::string::npos)
        << tooShort.err;
    const auto shown = Host({"--archive", archive, "props"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, "设备地址 = 3    (device address)\n通讯等待时间 = 350    (communication wait time, ms)\n");
    EXPECT_EQ(fs::file_size(archive), 20u + 166u);  // header and blob, not the 16534-byte buffer
}

TEST_F(KorvanHostTest, TheChannelListNumbersHostChannels) {
    const auto listed = Host({"--archive", DemoArchive(), "channels"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out.rfind("k\tname\tparameter\ttype\tconversion\taccess\tretain\n"
                               "0\t通讯状态 (communication status)\t-\tstatus\t-\tro\t-\n"
                               "1\t当前频率 (present frequency)\t-\tprocess data\t-\tro\t-\n",
                               0),
              0u)
        << listed.out;
    EXPECT_NE(listed.out.find("\n7\t加速时间\t207\tuint32\t-2 (×0.01)\trw\t0\n"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("\n10\t机型\t621\ttext\t0 (×1)\tro\t0\n"), std::string::npos);
}

TEST_F(KorvanHostTest, CollectedValuesAreTheDrivesAndTextsComeWhole) {
    auto drive = Drive();
    const auto run = Host({"--archive", DemoArchive(), "--port", line_, "run", "--count", "30", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto values = LastRound(run.out, 0);
    EXPECT_EQ(values.at(5), std::to_string(*drive->Value(1, 537)));        // heatsink, factor 1
    EXPECT_EQ(std::stod(values.at(7)), *drive->Value(1, 207) * 0.01);      // ramp time, factor 0.01
    // The drive pads its nameplate texts with blanks to the field's width.
    EXPECT_EQ(values.at(10), "\"" + *drive->Text(1, 621) + "  \"");
    EXPECT_EQ(std::stod(values.at(2)), *drive->StatusWord(1));
}

TEST_F(KorvanHostTest, CommandsReadAndWriteThroughHostVariables) {
    auto drive = Drive();
    const auto run = Host({"--archive", DemoArchive(), "--port", line_, "exec", "READ(207,-2,4,R)",
                           "WRITE(208,-2,4,0,N)", "READ(621,0,5,T)", "READ(9,0,0,R)", "--var", "R:float=0",
                           "--var", "N:int=7", "--var", "T:text=none"});
    EXPECT_EQ(run.status, 3) << run.err;  // one command failed
    EXPECT_NE(run.err.find("1 of 4 commands failed, first \"READ(9,0,0,R)\""), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("READ(207,-2,4,R) -> 0 done  status word 0x"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("WRITE(208,-2,4,0,N) -> 0 done\n"), std::string::npos) << run.out;  // no status word reported
    EXPECT_NE(run.out.find("READ(9,0,0,R) -> 4 refused by the drive: error 0, the parameter does not exist"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("R = 3 (float)"), std::string::npos);
    EXPECT_NE(run.out.find("T = \"" + *drive->Text(1, 621) + "  \" (text)"), std::string::npos) << run.out;
    EXPECT_EQ(*drive->Value(1, 208), 700);  // 7 s at factor 0.01
}

TEST_F(KorvanHostTest, TwoDevicesShareOneLineAtTheirOwnAddresses) {
    const std::string first = DemoArchive();
    const std::string second = Path("second.archive");
    fs::copy_file(first, second);
    ASSERT_EQ(Host({"--archive", second, "set", "address=2"}).status, 0);
    auto drive = Drive({1, 2});
    drive->SetValue(2, 207, 0, 450);  // ramp-up time 4.50 s on the second drive only
    const auto run = Host({"--archive", first, "--archive", second, "--port", line_, "run", "--count", "12", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LastRound(run.out, 0).at(7), "3");
    EXPECT_EQ(LastRound(run.out, 1).at(7), "4.5");
}

TEST_F(KorvanHostTest, TheSimulatorProgramServesAHostProgram) {
    const std::string link = Path("line");
    testing::Child simulator(Program(kSim, {"--pty", "--link", link, "--no-pacing"}));
    ASSERT_TRUE(Started(simulator));
    const auto run = Host({"--archive", DemoArchive(), "--port", link, "run", "--count", "6", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(LastRound(run.out, 0).at(5), "30");
    simulator.Signal(SIGINT);
    EXPECT_EQ(simulator.Wait(), 0);
}

TEST_F(KorvanHostTest, AKilledSaveLeavesTheOldOrTheNewConfiguration) {
    const std::string archive = Path("durable.archive");
    ASSERT_EQ(Host({"--archive", archive, "init"}).status, 0);
    std::mt19937 random(7);
    int previous = 200;
    for (int round = 2; round < 40; ++round) {
        {
            testing::Child save(
                Program(kHost, {"--driver", kDriver, "--archive", archive, "set", "wait=" + std::to_string(round * 10)}));
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 15000));
        }  // SIGKILL, wherever it is
        const auto shown = Host({"--archive", archive, "props"});
        ASSERT_EQ(shown.status, 0) << shown.err;
        const bool old = shown.out.find("通讯等待时间 = " + std::to_string(previous) + " ") != std::string::npos;
        const bool fresh = shown.out.find("通讯等待时间 = " + std::to_string(round * 10) + " ") != std::string::npos;
        ASSERT_TRUE(old || fresh) << shown.out;
        if (fresh) previous = round * 10;
    }
    // A save cut short leaves nothing of its own beside the archive once another is done.
    ASSERT_EQ(Host({"--archive", archive, "set", "wait=500"}).status, 0);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"durable.archive", "durable.archive.bak"}));
}

// Several programs changing one archive at once: each either changes it, and its change
// is there afterwards, or says who holds it and changes nothing.
TEST_F(KorvanHostTest, ProgramsChangingOneArchiveTakeTurns) {
    const std::string archive = Path("shared.archive");
    ASSERT_EQ(Host({"--archive", archive, "init"}).status, 0);
    const std::vector<std::string> numbers = {"520", "518", "522", "537", "207", "208"};
    std::vector<std::unique_ptr<testing::Child>> adds;
    for (const std::string& number : numbers) {
        adds.push_back(std::make_unique<testing::Child>(
            Program(kHost, {"--driver", kDriver, "--archive", archive, "add", number})));
    }
    std::vector<std::string> added;
    for (std::size_t i = 0; i < adds.size(); ++i) {
        const int status = adds[i]->Wait();
        if (status == 0) added.push_back(numbers[i]);
        else EXPECT_NE(adds[i]->Errors().find("in use by process"), std::string::npos) << adds[i]->Errors();
    }
    const std::string listed = Host({"--archive", archive, "channels"}).out;
    for (const std::string& number : added) EXPECT_NE(listed.find("\t" + number + "\t"), std::string::npos) << number;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 7 + static_cast<long>(added.size())) << listed;
}

TEST_F(KorvanHostTest, ExitStatusesTellWhatFailed) {
    auto drive = Drive();
    const std::string archive = DemoArchive();
    const auto exec = [&](const std::string& text) {
        return Host({"--archive", archive, "--port", line_, "exec", text, "--var", "F:float=0"});
    };
    EXPECT_EQ(exec("READ(202,-1,3,F)").status, 0);
    EXPECT_EQ(exec("WRITE(202,-1,3,0,5000)").status, 3);  // beyond the drive's limits: refused
    drive->TakeReplyLog();
    for (const char* text : {"FOO(1)", "READ(202,-1,3,F", "READ(202,-1,3)"}) {
        const auto bad = exec(text);
        EXPECT_EQ(bad.status, 2) << text;
        EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1) << bad.err;
    }
    EXPECT_TRUE(drive->TakeReplyLog().empty());  // nothing was sent for them
    const std::string elsewhere = Path("elsewhere.archive");
    fs::copy_file(archive, elsewhere);
    ASSERT_EQ(Host({"--archive", elsewhere, "set", "address=2"}).status, 0);
    const auto silent = Host({"--archive", elsewhere, "--port", line_, "--trace", "run", "--count", "2", "--plain"});
    EXPECT_EQ(silent.status, 3);
    EXPECT_NE(silent.err.find("2 of 2 exchanges failed: 2 × 2 no reply"), std::string::npos) << silent.err;
    std::size_t noReply = 0;  // the trace marks every request that had none
    for (std::size_t at = silent.out.find("-- no reply in "); at != std::string::npos;
         at = silent.out.find("-- no reply in ", at + 1)) {
        ++noReply;
    }
    EXPECT_EQ(noReply, 2u) << silent.out;
    EXPECT_EQ(Host({"--archive", archive, "set", "address=999"}).status, 2);
    EXPECT_EQ(Host({"--archive", archive, "--port", line_, "run", "extra"}).status, 2);
}

// A mistake in what exec would send is caught with status 2 and one line before
// anything reaches the drive; what the drive refuses is said in its own words.
TEST_F(KorvanHostTest, ExecSendsNothingForAMistakeAndSaysWhyTheDriveRefused) {
    auto drive = Drive();
    const std::string archive = DemoArchive();  // host channel 5 read only, 7 the writable ramp time
    const std::vector<std::vector<std::string>> mistakes = {
        {"exec", "WRITE(201,-1,3,0,abc)"},
        {"exec", "WRITE(207,-2,4,0,12abc)"},
        {"exec", "WRITE(202,-1,3,0,Speedd)", "--var", "Speed:float=47.5"},
        {"exec", "WRITE(207,x,4,0,5.5)"},
        {"exec", "WRITE(213,0,3,0,70000)"},
        {"exec", "WRITE(202,-1,3,2,50)"},
        {"exec", "WRITE(622,0,5.5,0,7)"},  // a text write takes a text variable
        {"exec", "READ(202,-1,6,F)", "--var", "F:float=0"},
        {"exec", "READ(202,-1,3,G)"},
        {"exec", "READ(621,0,5,F)", "--var", "F:float=0"},
        {"exec", "ZELK_WRITE(7=F)", "--var", "F:float=3"},
        {"exec", "ZELK_WRITE(99=1)"},
        {"exec", "ZELK_WRITE(5=1)"},
        {"exec", "ZELK_WRITE(3=1) ZELK_WRITE(4=1)"},
        {"--reference", "2", "exec", "ZELK_WRITE(3=1)"},
        {"--control", "0x10000", "exec", "ZELK_WRITE(3=1)"},
    };
    drive->TakeReplyLog();
    for (std::vector<std::string> arguments : mistakes) {
        arguments.insert(arguments.begin(), {"--archive", archive, "--port", line_});
        const auto result = Host(arguments);
        EXPECT_EQ(result.status, 2) << arguments[5] << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    EXPECT_TRUE(drive->TakeReplyLog().empty());  // nothing reached the drive
    for (const char* value : {"address=abc", "address=1.5", "wait=2.5"}) {
        EXPECT_EQ(Host({"--archive", archive, "--force", "set", value}).status, 2) << value;
    }

    const auto refused = Host({"--archive", archive, "--port", line_, "exec", "WRITE(202,-1,3,0,5000)"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_NE(refused.out.find("-> 100 write failed: the drive refused, error 2, the value exceeds the parameter's limits"),
              std::string::npos)
        << refused.out;
    const auto sound = Host({"--archive", archive, "--port", line_, "exec", "WRITE(207,-2,4,0,5.5)"});
    EXPECT_EQ(sound.status, 0) << sound.err;
    EXPECT_EQ(*drive->Value(1, 207), 550);
}

TEST_F(KorvanHostTest, ALostLineEndsTheRunAtOnceAndAPortHasOneUser) {
    const std::string link = Path("line");
    auto simulator = std::make_unique<testing::Child>(Program(kSim, {"--pty", "--link", link, "--no-pacing"}));
    ASSERT_TRUE(Started(*simulator));
    const auto second = RunProgram(Program(kSim, {"--pty", "--link", link}));
    EXPECT_NE(second.status, 0);
    EXPECT_NE(second.err.find("running simulated drive"), std::string::npos) << second.err;

    testing::Child host(Program(kHost, {"--driver", kDriver, "--archive", DemoArchive(), "--port", link, "run", "--plain"}));
    ASSERT_NE(host.ReadUntil("round 3 ", 60.0).find("round 3 "), std::string::npos) << host.Errors();
    const auto intruder =
        Host({"--archive", DemoArchive(), "--port", link, "exec", "READ(202,-1,3,F)", "--var", "F:float=0"});
    EXPECT_EQ(intruder.status, 1);
    EXPECT_NE(intruder.err.find("in use by another program"), std::string::npos) << intruder.err;

    simulator.reset();  // the drive's end goes away
    const auto killed = std::chrono::steady_clock::now();
    // Without noticing the hang-up it would go on for ever; it ends promptly instead.
    EXPECT_EQ(host.Wait(), 1) << host.Errors();
    EXPECT_LT(std::chrono::steady_clock::now() - killed, std::chrono::seconds(5));
    // The drive answered every round before, so each round without a reply came after.
    const std::string output = host.ReadUntil("\x01", 0);
    std::size_t silent = 0;
    for (std::size_t at = output.find("no reply"); at != std::string::npos; at = output.find("no reply", at + 1)) ++silent;
    EXPECT_LT(silent, 50u);
}

// SIGHUP ends a run as SIGTERM does; the first Ctrl-C says how long the exchange in
// progress may take, and a second leaves at once.
TEST_F(KorvanHostTest, SignalsEndARunCleanlyOrAtOnce) {
    auto drive = Drive();
    const std::string archive = DemoArchive();
    testing::Child hungUp(Program(kHost, {"--driver", kDriver, "--archive", archive, "--port", line_, "run", "--plain"}));
    ASSERT_NE(hungUp.ReadUntil("round 2 ", 60.0).find("round 2 "), std::string::npos) << hungUp.Errors();
    hungUp.Signal(SIGHUP);
    EXPECT_EQ(hungUp.Wait(), 0) << hungUp.Errors();

    const std::string silent = Path("silent.archive");
    fs::copy_file(archive, silent);
    ASSERT_EQ(Host({"--archive", silent, "set", "address=9", "wait=10000"}).status, 0);  // no drive answers 9
    testing::Child waiting(
        Program(kHost, {"--driver", kDriver, "--archive", silent, "--port", line_, "--trace", "run", "--plain"}));
    ASSERT_NE(waiting.ReadUntil(" -> ", 60.0).find(" -> "), std::string::npos);  // the first request is out
    waiting.Signal(SIGINT);
    EXPECT_TRUE(waiting.Said("stopping after the exchange in progress (up to 10 s; Ctrl-C again to leave now)", 60.0))
        << waiting.Errors();
    waiting.Signal(SIGINT);
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_EQ(waiting.Wait(), 130);
    EXPECT_LT(std::chrono::steady_clock::now() - asked, std::chrono::seconds(5));  // not the 10 s wait
}

TEST_F(KorvanHostTest, BadCommandLinesGetOneLineAndAFailingStatus) {
    const std::vector<std::vector<std::string>> bad = {
        {"--frobnicate", "props"}, {"run"}, {"exec"}, {"fly"}, {"--baud", "fast", "props"}, {"--count"},
        {"--baud", "12345", "props"}, {"--framing", "7E1", "props"}, {"--count", "0", "props"}, {"--rate", "0", "props"},
        {"add", "-1"}, {"--archive", "a", "--archive", "./a", "props"}};
    for (const auto& arguments : bad) {
        const auto result = Host(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    }
    const auto unreadable = Host({"--archive", folder_, "props"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.err.find("cannot read archive"), std::string::npos);
    const auto noLine = Host({"--archive", DemoArchive(), "--port", Path("no-such-tty"), "run", "--count", "1"});
    EXPECT_EQ(noLine.status, 1);
    EXPECT_NE(noLine.err.find("cannot open"), std::string::npos) << noLine.err;
}

TEST_F(KorvanHostTest, TheCatalogIsSearchedByChineseNamesToo) {
    const auto found = Host({"params", "电流"});
    EXPECT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "520\tuint32\t-2\tro\tMotor current  电机电流 [A]\n");
    const auto none = Host({"params", "torque"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(std::count(none.err.begin(), none.err.end(), '\n'), 1) << none.err;
}

TEST_F(KorvanHostTest, AChannelAddedFromTheCatalogIsCollected) {
    auto drive = Drive();
    const std::string archive = Path("fresh.archive");
    ASSERT_EQ(Host({"--archive", archive, "init"}).status, 0);
    const auto empty = Host({"--archive", archive, "--port", line_, "run", "--count", "1"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("add 520"), std::string::npos) << empty.err;
    EXPECT_EQ(Host({"--archive", archive, "add", "9999"}).status, 2);
    const auto added = Host({"--archive", archive, "add", "520"});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "added parameter 520 \"Motor current\" uint32, conversion -2, ro\n");
    const auto again = Host({"--archive", archive, "add", "520", "access=rw"});
    EXPECT_EQ(again.out.rfind("replaced channel 520 (was Motor current, uint32, -2, ro) with \"Motor current\"", 0), 0u)
        << again.out;
    ASSERT_EQ(Host({"--archive", archive, "add", "520"}).status, 0);
    // Started, the motor draws at least its 1.50 A of magnetising current.
    ASSERT_EQ(Host({"--archive", archive, "--port", line_, "--control", "0x047C", "--reference", "1", "exec",
                    "ZELK_WRITE(3=1)"})
                  .status,
              0);
    const auto run = Host({"--archive", archive, "--port", line_, "run", "--count", "20", "--json"});
    ASSERT_EQ(run.status, 0) << run.err;
    const double current = std::stod(LastRound(run.out, 0).at(5));
    EXPECT_GE(current, 1.5) << run.out;
    EXPECT_LE(current, 5.0);

    // Bytes after the table that the editor cannot place: nothing is changed, and the
    // reason is the configuration's, not the command's.
    const std::string odd = Path("odd.archive");
    fs::copy_file(KORVAN_EXAMPLE_ARCHIVE, odd);
    std::ofstream(odd, std::ios::binary | std::ios::app).write("\0\0\0\0", 4);
    const std::string before = ReadBytes(odd);
    EXPECT_EQ(Host({"--archive", odd, "remove", "537"}).status, 1);
    EXPECT_EQ(ReadBytes(odd), before);
}

TEST_F(KorvanHostTest, EditSaysWhyNoDialogCanOpen) {
    const std::string archive = DemoArchive();
    const std::string alone = Path("Korvan.drv");  // a driver with no dialog module beside it
    fs::copy_file(kDriver, alone);
    const std::string before = ReadBytes(archive);
    const auto noModule = RunProgram(Program(kHost, {"--driver", alone, "--archive", archive, "edit"}));
    EXPECT_EQ(noModule.status, 1);
    EXPECT_NE(noModule.err.find("no dialog module"), std::string::npos) << noModule.err;
    EXPECT_EQ(ReadBytes(archive), before);
}


// The lines of `output` that name a parameter: "207 Ramp-up time 1: 3.00 s → 5.50 s".
std::vector<std::string> ParameterLines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        const bool named = !line.empty() && std::isdigit(static_cast<unsigned char>(line[0]));
        if (named && line.find(" → ") != std::string::npos) lines.push_back(line);
    }
    return lines;
}

// A backup taken, three parameters changed, the changes seen and put back.
TEST_F(KorvanHostTest, ABackupShowsWhatChangedAndARestorePutsItBack) {
    auto drive = Drive();
    const std::string archive = DemoArchive();
    const std::string backup = Path("drive.csv");
    const auto host = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--archive", archive, "--port", line_});
        return Host(arguments);
    };
    ASSERT_EQ(host({"backup", backup}).status, 0);
    const std::string taken = ReadBytes(backup);
    EXPECT_EQ(host({"backup", backup}).status, 2);  // never over a file without --force
    EXPECT_EQ(ReadBytes(backup), taken);
    ASSERT_EQ(host({"exec", "WRITE(1,0,2,0,2)", "WRITE(202,-1,3,0,60)", "WRITE(207,-2,4,0,5.5)"}).status, 0);

    const auto diff = host({"diff", backup});
    EXPECT_EQ(diff.status, 3);
    EXPECT_EQ(ParameterLines(diff.out), (std::vector<std::string>{"1 Language: 0 → 2",
                                                                   "202 Output frequency high limit: 50.0 Hz → 60.0 Hz",
                                                                   "207 Ramp-up time 1: 3.00 s → 5.50 s"}))
        << diff.out;
    const auto dry = host({"restore", backup});
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("3 to write, 0 skipped; nothing written"), std::string::npos) << dry.out;
    EXPECT_EQ(*drive->Value(1, 207), 550);  // nothing was written
    const auto restore = host({"restore", backup, "--apply"});
    EXPECT_EQ(restore.status, 0) << restore.err << restore.out;
    EXPECT_EQ(*drive->Value(1, 207, 0, korvansim::Copy::Eeprom), 300);  // kept over power-off
    const auto again = host({"diff", backup});
    EXPECT_EQ(again.status, 0) << again.out;
    EXPECT_TRUE(ParameterLines(again.out).empty()) << again.out;
}

// The first refusal stops a restore and nothing after it is written; a raw value that
// single precision cannot carry is skipped, not rounded.
TEST_F(KorvanHostTest, ARestoreStopsAtARefusalAndSkipsWhatCannotTravelExactly) {
    auto drive = Drive();
    drive->SetValue(1, 205, 0, 20000000);  // 20000.000 Hz, beyond 2^24 raw
    const std::string archive = DemoArchive();
    const std::string backup = Path("drive.csv");
    const auto host = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--archive", archive, "--port", line_});
        return Host(arguments);
    };
    ASSERT_EQ(host({"backup", backup}).status, 0);
    ASSERT_EQ(host({"exec", "WRITE(1,0,2,0,2)", "WRITE(202,-1,3,0,60)", "WRITE(205,-3,1,0,50)", "WRITE(207,-2,4,0,5.5)"})
                  .status,
              0);
    std::string edited = ReadBytes(backup);  // 2000 Hz: beyond the drive's limits
    const std::string row = "202,Output frequency high limit,uint16,-1,Hz,500,50.0";
    ASSERT_NE(edited.find(row), std::string::npos) << edited;
    edited.replace(edited.find(row), row.size(), "202,Output frequency high limit,uint16,-1,Hz,20000,2000.0");
    std::ofstream(backup, std::ios::binary | std::ios::trunc) << edited;

    const auto restore = host({"restore", backup, "--apply"});
    EXPECT_EQ(restore.status, 3);
    EXPECT_NE(restore.out.find("205 Maximum reference: 50.000 Hz → ≈20000.000 Hz  (skipped: raw 20000000 is beyond"),
              std::string::npos)
        << restore.out;
    EXPECT_NE(restore.out.find("failed: 202 Output frequency high limit: 60.0 Hz → 2000.0 Hz: the drive refused, error 2"),
              std::string::npos)
        << restore.out;
    EXPECT_NE(restore.out.find("written 1, failed 1, left 1, skipped 1"), std::string::npos) << restore.out;
    EXPECT_EQ(*drive->Value(1, 1), 0);      // written before the refusal
    EXPECT_EQ(*drive->Value(1, 207), 550);  // after it: left as it was
    EXPECT_EQ(*drive->Value(1, 205), 50000);
}


// A site file adds catalog rows in the catalog's own format; a malformed row is
// refused with its line.
TEST_F(KorvanHostTest, ASiteCatalogAddsRowsAndAMalformedRowIsRefusedWithItsLine) {
    const std::string header =
        "pnu,name,name_zh,type,conversion,unit,min,max,default,access,array,text_width,evidence,note\n";
    const std::string site = Path("site.csv");
    std::ofstream(site) << "# our pumps\n" << header << "1500,Pump curve,泵曲线,uint16,-1,bar,0.0,100.0,2.5,rw,0,0,assumed,\n";
    const auto listed = Host({"--catalog", site, "params", "pump"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, "1500\tuint16\t-1\trw\tPump curve  泵曲线 [bar]\n");
    const std::string broken = Path("broken.csv");
    std::ofstream(broken) << header << "1500,Pump curve,泵曲线,uint16,-1,bar,0.0,100.0,2.5,rw,0,0,assumed,\n"
                          << "1501,Pump limit,泵限,word,0,,0,1,0,rw,0,0,assumed,\n";
    const auto refused = Host({"--catalog", broken, "params"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(broken + ":3: unknown data type 'word'"), std::string::npos) << refused.err;
}


// scan tries the drive's baud rates in turn: a drive at 4800 baud hears only noise at
// 9600 and answers at its own; a line where nothing answers exits 3.
TEST_F(KorvanHostTest, ScanFindsADriveAtItsAddressAndBaudRate) {
    korvansim::Options options;
    options.addresses = {7};
    options.baud = 4800;
    options.pacing = false;
    korvansim::Simulator drive(options);
    const std::string line = drive.StartOnPty();
    ASSERT_FALSE(line.empty()) << drive.Error();
    const auto scan = Host({"--port", line, "scan", "--plain"});
    EXPECT_EQ(scan.status, 0) << scan.err;
    EXPECT_NE(scan.out.find("\nfound: address 7  4800 baud 8E1  unit type VLT5005 380-500V  software 3.12\n"),
              std::string::npos)
        << scan.out;
    EXPECT_NE(scan.out.find("9600 baud 8E1: 31 addresses tried, 0 answered"), std::string::npos) << scan.out;
    drive.Faults().SetRate(korvansim::FaultKind::Drop, 1.0);
    const auto none = Host({"--port", line, "scan", "--bauds", "4800", "--addresses", "5-9"});
    EXPECT_EQ(none.status, 3) << none.out;
    EXPECT_NE(none.err.find("no drive answered"), std::string::npos) << none.err;
}

}  // namespace
}  // namespace korvan
