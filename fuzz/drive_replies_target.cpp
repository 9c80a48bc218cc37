// The drive's replies: collection calls and device commands over a line whose every
// reply comes from the fuzzer (see fuzzed_line.h). Whatever arrives, the driver must
// not crash, and what it stores must be what an acceptable reply carried: a failed
// exchange stores only its failure in element 0 and leaves every host variable as it
// was; a successful one stores the values of the reply it took, and nothing else.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "channels/channel_types.h"
#include "driver/configuration.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/fuzzed_line.h"
#include "fuzz/host_variables.h"
#include "fuzz/loaded_device.h"
#include "fuzz/reply_reference.h"
#include "fuzz/wide_input.h"
#include "platform/system/truncate.h"
#include "platform/system/wide_text.h"
#include "runtime/collection_cycle.h"
#include "runtime/conversion.h"
#include "runtime/device_commands.h"
#include "runtime/run_setup.h"
#include "tools/hostkit/host_arrays.h"

namespace korvanfuzz {
namespace {

using korvan::ChannelRecord;
namespace attr = korvan::attr;

constexpr int kMostSteps = 48;
constexpr int32_t kFactorIndexes[] = {74, 2, 1, 0, -1, -2, -3, -4};

struct Session {
    explicit Session(FuzzInput& input) : line(clock, input), device(EveryKindOfChannelBlob()) {
        korvan::BuildReadGroups(device.State());
        const auto channels = static_cast<std::size_t>(Channels() + 1);
        hostkit::Set(values.raw, std::vector<double>(channels, -1.0));
        hostkit::Set(texts.raw, std::vector<std::u16string>(channels, u"-"));
        hostkit::Set(results.raw, {0.0, 0.0, 0.0, 0x047C, 1.0});
    }
    int32_t Channels() { return device.State().channelTable->GetCount(); }
    const ChannelRecord& Channel(int32_t j) { return device.State().channelTable->GetAt(j); }
    // Whether the driver wrote a request since `before` requests had been written.
    bool Requested(std::size_t before) const { return line.written.size() > before; }
    std::vector<uint8_t> Taken() const { return TakenReply(line.Request(), line.Delivered()); }

    korvan::testing::ScriptedClock clock;
    FuzzedLine line;
    korvan::SerialIo io{line, clock};
    LoadedDevice device;
    HostVariables host;
    hostkit::IntArray wanted;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    hostkit::DoubleArray results;
};

// The table index of the parameter channel the request asked for.
int32_t RequestedChannel(Session& s) {
    const std::vector<uint8_t>& request = s.line.Request();
    const int32_t number = (request[3] & 0x07) << 8 | request[4];
    for (int32_t j = korvan::kFixedChannelCount; j < s.Channels(); ++j) {
        if (s.Channel(j).GetInteger(attr::kParameterNumber) == number) return j;
    }
    Fail("the driver asked for a parameter no channel has");
}

double ConfiguredFactor(const ChannelRecord& channel) {
    const int32_t row = channel.GetInteger(attr::kConversion);
    return korvan::kConversionTable[static_cast<std::size_t>(row)].multiplier;
}

void ExpectStoredReply(Session& s, const std::vector<double>& before, const std::vector<std::u16string>& beforeTexts) {
    const std::vector<uint8_t> reply = s.Taken();
    Expect(IsAcceptable(s.line.Request(), reply), "collection stored a reply the protocol rejects");
    const int32_t j = RequestedChannel(s);
    const ChannelRecord& channel = s.Channel(j);
    std::vector<double> expected = before;
    std::vector<std::u16string> expectedTexts = beforeTexts;
    const int32_t type = channel.GetInteger(attr::kParameterDataType);
    const auto slot = static_cast<std::size_t>(j + 1);
    if (type == korvan::kText) expectedTexts[slot] = ReplyText(reply);
    else expected[slot] = ReplyValue(reply, type, ConfiguredFactor(channel));
    expected[0] = 0.0;
    expected[1] = ReplyMainActual(reply);
    expected[2] = ReplyStatus(reply);
    Expect(hostkit::Values(s.values.raw) == expected, "collection stored other values than the reply carried");
    Expect(hostkit::Values(s.texts.raw) == expectedTexts, "collection stored another text than the reply carried");
}

void Collect(Session& s, FuzzInput& input) {
    const uint16_t mask = input.Word();
    std::vector<int32_t> flags(static_cast<std::size_t>(s.Channels() + 1), 0);
    for (std::size_t k = 1; k < flags.size() && k <= 16; ++k) flags[k] = (mask >> (k - 1)) & 1;
    hostkit::Set(s.wanted.raw, flags);
    const std::vector<double> before = hostkit::Values(s.values.raw);
    const std::vector<std::u16string> beforeTexts = hostkit::Values(s.texts.raw);
    const std::size_t requests = s.line.written.size();
    const int32_t result = korvan::CollectNextGroup(s.device.Instance(), s.io, s.wanted.raw, s.values.raw, s.texts.raw);
    std::vector<double> after = hostkit::Values(s.values.raw);
    if (!s.Requested(requests)) {
        Expect(result == 0 && after == before, "a collection without an exchange changed the host's values");
        return;
    }
    if (result == 0) return ExpectStoredReply(s, before, beforeTexts);
    Expect(result == korvan::kCollectionFailed && after[0] >= 2.0 && after[0] <= 4.0,
           "a failed exchange reported no failure number");
    after[0] = before[0];
    Expect(after == before && hostkit::Values(s.texts.raw) == beforeTexts, "a failed exchange stored values");
}

std::u16string Number(int64_t value) { return korvan::platform::FormatDecimal(value); }

// READ of a channel's parameter (or a number the drive cannot take) into a variable.
void Read(Session& s, FuzzInput& input) {
    const int32_t j = input.Byte() % s.Channels();
    const int32_t number = input.Byte() < 16 ? input.Word() : s.Channel(j).GetInteger(attr::kParameterNumber);
    const int32_t factorIndex = kFactorIndexes[input.Byte() % std::size(kFactorIndexes)];
    const int32_t type = input.Byte() % 7;
    const std::u16string variable(HostVariables::kNames[input.Byte() % HostVariables::kNames.size()]);
    const auto before = s.host.Value(variable);
    const std::size_t requests = s.line.written.size();
    const std::u16string text =
        u"READ(" + Number(number) + u"," + Number(factorIndex) + u"," + Number(type) + u"," + variable + u")";
    const int32_t result = korvan::ExecuteCommandText(s.device.Instance(), s.io, text, s.results.raw);
    if (result != 1 || !s.Requested(requests)) {
        Expect(SameValue(s.host.Value(variable), before), "a failed READ changed its variable");
        return;
    }
    const std::vector<uint8_t> reply = s.Taken();
    Expect(IsAcceptable(s.line.Request(), reply), "READ took a reply the protocol rejects");
    const auto after = s.host.Value(variable);
    if (type == korvan::kText && variable == u"T") {
        Expect(after == hostkit::HostValue(ReplyText(reply)), "READ stored another text than the reply carried");
    } else if (type <= korvan::kUnsigned32 && variable == u"F") {
        const auto value = static_cast<float>(ReplyValue(reply, type, korvan::IndexFactor(factorIndex)));
        Expect(after == hostkit::HostValue(value), "READ stored another value than the reply carried");
    }
}

// The text of a WRITE: parameter number, factor index, type, retain flag and value,
// each taken from the input in this order.
std::u16string WriteText(FuzzInput& input) {
    const int32_t number = input.Word() % 4200;
    const int32_t factorIndex = static_cast<int8_t>(input.Byte());
    const int32_t type = input.Byte() % 6;
    const int32_t retain = input.Byte() % 2;
    const int32_t value = input.Int32();
    return u"WRITE(" + Number(number) + u"," + Number(factorIndex) + u"," + Number(type) + u"," + Number(retain) +
           u"," + Number(value) + u")";
}

std::u16string ChannelWriteText(Session& s, FuzzInput& input) {
    const int32_t channel = input.Byte() % (s.Channels() + 2);
    return u"ZELK_WRITE(" + Number(channel) + u"=" + WideFromBytes(input.Chunk()) + u")";
}

// WRITE of a parameter, ZELK_WRITE of a configured channel, or a command text as
// the input gives it: whenever a text of one command reports success after an
// exchange, the reply the driver took must be one the protocol accepts.
void Write(Session& s, FuzzInput& input) {
    const uint8_t kind = input.Byte() % 3;
    const std::u16string text = kind == 0   ? WriteText(input)
                                : kind == 1 ? ChannelWriteText(s, input)
                                            : WideFromBytes(input.Chunk());
    const std::size_t requests = s.line.written.size();
    const int32_t result = korvan::ExecuteCommandText(s.device.Instance(), s.io, text, s.results.raw);
    const bool oneCommand =
        std::count(text.begin(), text.end(), u'(') == 1 && std::count(text.begin(), text.end(), u')') == 1;
    if (oneCommand && result == 1 && s.Requested(requests)) {
        Expect(IsAcceptable(s.line.Request(), s.Taken()), "a write reported success for a reply the protocol rejects");
    }
}

// Leaves the run and loads the device again from its archive, as a host's restart does.
void Restart(Session& s) {
    s.device.Save();
    korvan::ReleaseDeviceState(s.device.Instance());
    korvan::LoadConfiguration(s.device.Instance());
    korvan::BuildReadGroups(s.device.State());
}

}  // namespace
}  // namespace korvanfuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvanfuzz;
    PrepareCore();
    FuzzInput input(data, size);
    Session session(input);
    for (int step = 0; step < kMostSteps && !input.Empty(); ++step) {
        switch (input.Byte() % 8) {
            case 0: case 1: case 2: case 3: Collect(session, input); break;
            case 4: case 5: Read(session, input); break;
            case 6: Write(session, input); break;
            default: Restart(session); break;
        }
    }
    return 0;
}
