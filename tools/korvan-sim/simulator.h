// A simulated Danfoss VLT 5000 (or several on one line) answering FC-protocol telegrams on a
// pseudo-terminal or a serial port. Tests start it in-process and open the pty's path.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/korvan-sim/fault_injector.h"
#include "tools/korvan-sim/framing.h"
#include "tools/korvan-sim/parameter_store.h"
#include "tools/korvan-sim/program_files.h"  // DefaultParameterFile()
#include "tools/korvan-sim/reply_log.h"

namespace korvansim {

struct Options {
    std::vector<std::uint8_t> addresses{1};  // 1..126, different
    std::uint32_t baud = 9600;
    Framing framing;                          // 8E1
    std::int64_t turnaroundUs = -1;           // -1: two character times
    bool pacing = true;                       // false: answer at once
    bool deterministic = false;               // model time moves only per telegram received
    std::int64_t stepUs = 10000;              // … by this much
    std::string parameterFile;                // empty: DefaultParameterFile()
    std::uint32_t seed = 1;                   // fault PRNG
    std::string linkPath;                     // pty: also make this symbolic link to it
    std::string wireLogPath;                  // every byte in and out; empty: none
    std::function<void(const std::string&)> trace;  // decoded telegrams; empty: none
};

class Simulator {
public:
    explicit Simulator(Options options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Starts on a new pseudo-terminal; returns the path for the master to open, or "" on
    // failure (see Error()).
    std::string StartOnPty();
    // Starts on a serial port; false on failure.
    bool StartOnTty(const std::string& path);
    // Stops the line's thread and closes the port; the drives keep their state until the
    // next start. Safe to call more than once.
    void Stop();
    bool Running() const;
    std::string Error() const;

    // Thread-safe views of a drive; nullopt when there is no drive with that address (or
    // before the first start).
    std::optional<std::int64_t> Value(std::uint8_t address, std::uint16_t pnu, std::uint16_t index = 0,
                                      Copy copy = Copy::Ram) const;
    std::optional<std::string> Text(std::uint8_t address, std::uint16_t pnu, Copy copy = Copy::Ram) const;  // UTF-8
    std::optional<std::uint16_t> StatusWord(std::uint8_t address) const;
    std::optional<std::uint16_t> MainActualValue(std::uint8_t address) const;
    std::optional<double> OutputFrequencyHz(std::uint8_t address) const;

    // Test hooks: set any numeric value (read-only ones too), trip a drive.
    bool SetValue(std::uint8_t address, std::uint16_t pnu, std::uint16_t index, std::int64_t value);
    bool Trip(std::uint8_t address, std::uint8_t alarm);

    std::vector<ReplyRecord> TakeReplyLog();
    FaultInjector& Faults();
    std::int64_t ModelTimeUs() const;

private:
    struct State;
    bool Prepare();
    template <typename Action>
    bool WithDrive(std::uint8_t address, Action&& action) const;
    std::unique_ptr<State> state_;
};

}  // namespace korvansim
