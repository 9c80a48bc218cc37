// The command line of korvan-host.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "tools/hostkit/host_automation.h"

namespace korvanhost {

struct Variable {
    std::u16string name;
    hostkit::HostValue value;
};

struct Options {
    std::string command;                // init, props, set, channels, edit, run, exec, scan, backup, diff,
                                        // restore, demo, help, version
    std::vector<std::string> arguments; // set: NAME=VALUE; exec: command texts
    std::string driver;                 // empty: DefaultDriverPath()
    std::vector<std::string> archives;  // one per device on the line
    std::size_t device = 0;             // the device props/set/channels/edit/exec act on
    std::string port;                   // a tty; empty with --sim
    uint32_t baud = 9600;
    std::string framing = "8E1";
    bool sim = false;
    bool trace = false;
    bool json = false;
    bool plain = false;                 // plain lines even on a terminal
    bool force = false;                 // store what the checks warn about
    int64_t count = -1;                 // run: rounds (-1 until interrupted)
    double rate = 0.0;                  // run: rounds per second (0 as fast as the line allows)
    bool rateGiven = false;
    int32_t controlWord = 0;            // exec: results element 3
    int32_t reference = 0;              // exec: results element 4
    std::vector<Variable> variables;    // exec: host variables
    std::string catalog;                // --catalog: a site file adding or overriding catalog rows
    bool apply = false;                 // restore: write what differs (else only show it)
    bool volatileWrites = false;        // restore: write to RAM only, not kept over power-off
    std::vector<uint32_t> bauds;        // scan: the baud rates to try; empty for the drive's six
    std::vector<std::string> framings;  // scan: the framings to try; empty for 8E1
    std::vector<uint8_t> addresses;     // scan: the addresses to try; empty for 1..31
};

// The options, or a one-line error.
std::variant<Options, std::string> ParseOptions(int argc, char** argv);
const char* Usage();

}  // namespace korvanhost
