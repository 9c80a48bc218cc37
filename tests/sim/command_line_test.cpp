// The command line: every option reaches its setting, bad ones get a one-line reason.
#include <gtest/gtest.h>

#include "tools/korvan-sim/command_line.h"

namespace korvansim {
namespace {

TEST(CommandLine, ReadsEveryKindOfOption) {
    const Result<CommandLine> line = ParseCommandLine(
        {"--pty", "--link", "/tmp/vlt", "--baud", "19200", "--framing", "8N2", "--address", "1,2,126", "--turnaround-ms",
         "5", "--no-pacing", "--deterministic", "--drop", "0.25", "--late-ms", "900", "--script", "late,none,refuse", "--seed",
         "9", "--trace"});
    ASSERT_TRUE(line) << line.Error();
    EXPECT_TRUE(line->usePty);
    EXPECT_EQ(line->options.baud, 19200u);
    EXPECT_EQ(line->options.framing.stopBits, 2);
    EXPECT_EQ(line->options.addresses, (std::vector<std::uint8_t>{1, 2, 126}));
    EXPECT_EQ(line->options.turnaroundUs, 5000);
    EXPECT_FALSE(line->options.pacing);
    EXPECT_TRUE(line->options.deterministic);
    ASSERT_EQ(line->rates.size(), 1u);
    EXPECT_EQ(line->rates[0], std::make_pair(FaultKind::Drop, 0.25));
    EXPECT_EQ(line->faultSettings.lateMs, 900u);
    EXPECT_EQ(line->script, (std::vector<FaultKind>{FaultKind::Late, FaultKind::None, FaultKind::Refuse}));
    EXPECT_EQ(line->options.seed, 9u);
    EXPECT_TRUE(line->trace);
}

TEST(CommandLine, RefusesBadInputWithOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"--pty", "--tty", "/dev/ttyS0"},
        {"--tty", "/dev/ttyS0", "--link", "x"},
        {"--pty", "--baud", "9601"},
        {"--pty", "--framing", "7E1"},
        {"--pty", "--address", "1,,2"},
        {"--pty", "--address", "127"},
        {"--pty", "--address", "0"},
        {"--pty", "--address", "1,1"},
        {"--pty", "--baud", "12345"},
        {"--pty", "--baud", "0"},
        {"--pty", "--framing", "8E2"},
        {"--pty", "--step-ms", "0"},
        {"--pty", "--late-ms", "0"},
        {"--pty", "--bitflips", "0"},
        {"--pty", "--link", ""},
        {"--tty", ""},
        {"--pty", "--drop", "1.5"},
        {"--pty", "--drop", "nan"},
        {"--pty", "--turnaround-ms", "21"},
        {"--pty", "--script", "drop,explode"},
        {"--pty", "--baud"},
        {"--pty", "--frobnicate"},
    };
    for (const std::vector<std::string>& args : bad) {
        const Result<CommandLine> line = ParseCommandLine(args);
        ASSERT_FALSE(line) << (args.empty() ? "" : args.back());
        EXPECT_FALSE(line.Error().empty());
        EXPECT_EQ(line.Error().find('\n'), std::string::npos);
    }
    EXPECT_TRUE(ParseCommandLine({"--help"}));
}

}  // namespace
}  // namespace korvansim
