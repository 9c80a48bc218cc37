// Command texts through SvrDevIOCtrl: any text a host may pass, with host variables
// of every type (or a host whose every call fails) and a results array of any shape,
// well-formed or not. The device has no port there, so an exchange fails where it
// would start; the same text then runs once more in the core against a drive that
// answers every request, so that the paths storing results run too.
//
// Input: one byte of choices (bit 0: the host's calls fail; bit 1: no command text;
// bits 2-4: the results array's shape), then the command text.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/host_variables.h"
#include "fuzz/loaded_device.h"
#include "fuzz/steady_drive.h"
#include "fuzz/wide_input.h"
#include "korvan/host_abi.h"
#include "runtime/device_commands.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace korvanfuzz {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The results array a host passes: its elements 3 and 4 carry the control word and
// the reference; some shapes are ones no well-behaved host makes.
void ShapeResults(HostDoubleArray& results, uint8_t shape) {
    switch (shape) {
        case 0: hostkit::Set(results, {0.0, 0.0, 0.0, 0x047C, 1.0}); break;
        case 1: hostkit::Set(results, {0.0}); break;
        case 2: hostkit::Set(results, {}); break;
        case 3: hostkit::Set(results, {9.0, 9.0, 9.0}); break;
        case 4: hostkit::Set(results, {std::nan(""), kInfinity, -kInfinity, 1e300, -1e300}); break;
        case 5: hostkit::Set(results, {0.0, 0.0}), results.count = 5; break;           // count beyond capacity
        case 6: results.capacity = 3, results.count = 1; break;                         // no storage behind it
        default: hostkit::Set(results, std::vector<double>(9, -2147483649.0)); break;
    }
}

bool IsResultCode(double code) {
    for (double known : {0.0, 1.0, 2.0, 3.0, 4.0, 100.0, 300.0}) {
        if (code == known) return true;
    }
    return false;
}

void ThroughTheEntryPoint(const std::u16string& text, uint8_t choices) {
    hostkit::HostDevice device;
    device.SetArchiveBytes(EveryKindOfChannelBlob());
    hostkit::String command;
    hostkit::Set(command.raw, text);
    hostkit::DoubleArray results;
    ShapeResults(results.raw, (choices >> 2) & 7);
    const bool wellFormed = results.raw.count > 0 && results.raw.count <= results.raw.capacity && results.raw.data;
    Expect(SvrDevIOCtrl(device.Instance(), (choices & 2) != 0 ? nullptr : &command.raw, &results.raw, 0) == 0,
           "SvrDevIOCtrl returned another status than 0");
    if (wellFormed) Expect(IsResultCode(results.raw.data[0]), "SvrDevIOCtrl left an unknown result in element 0");
    SvrExitDevRun(device.Instance());
}

void AgainstADrive(const std::u16string& text) {
    LoadedDevice device(EveryKindOfChannelBlob());
    korvan::testing::ScriptedClock clock;
    SteadyLine line(clock);
    korvan::SerialIo io{line, clock};
    hostkit::DoubleArray results;
    hostkit::Set(results.raw, {0.0, 0.0, 0.0, 0x047C, 1.0});
    korvan::ExecuteCommandText(device.Instance(), io, text, results.raw);
}

}  // namespace
}  // namespace korvanfuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvanfuzz;
    PrepareCore();
    FuzzInput input(data, size);
    const uint8_t choices = input.Byte();
    const std::u16string text = WideFromBytes(input.Rest());
    HostVariables host((choices & 1) != 0);
    ThroughTheEntryPoint(text, choices);
    AgainstADrive(text);
    return 0;
}
