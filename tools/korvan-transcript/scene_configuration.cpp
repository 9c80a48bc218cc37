// Configurations in the archive: the default blob, properties set from texts, blobs
// with parameter channels, and damaged blobs.
#include <string>
#include <vector>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/korvan-transcript/transcript.h"

namespace transcript {
namespace {

void ShowProperties(Session& s, hostkit::HostDevice& device) {
    hostkit::StringArray names, values;
    hostkit::ByteArray flags;
    hostkit::Set(names.raw, {u"x", u"y", u"z"});
    const int32_t result = s.svr.GetProperty(device.Instance(), &names, &values, &flags);
    s.out.Line("SvrGetProperty -> " + std::to_string(result) + " " + Show(names.raw) + " " + Show(values.raw) +
               " " + Show(flags.raw));
}

void ShowChannels(Session& s, hostkit::HostDevice& device) {
    hostkit::StringArray names;
    hostkit::IntArray types;
    const int32_t result = s.svr.GetChannel(device.Instance(), &names, &types);
    s.out.Line("SvrGetChannel -> " + std::to_string(result) + " " + Show(names.raw) + " " + Show(types.raw));
}

void SetProperties(Session& s, hostkit::HostDevice& device, const std::vector<std::u16string>& names,
                   const std::vector<std::u16string>& values) {
    hostkit::StringArray hostNames, hostValues;
    hostkit::Set(hostNames.raw, names);
    hostkit::Set(hostValues.raw, values);
    const std::string call = "SvrSetProperty " + Show(hostNames.raw) + " " + Show(hostValues.raw);
    const int32_t result = s.svr.SetProperty(device.Instance(), &hostNames, &hostValues);
    s.out.Line(call + " -> " + std::to_string(result));
    ShowProperties(s, device);
}

const std::u16string kAddress = u"设备地址";
const std::u16string kWait = u"通讯等待时间";

hostkit::BlobContent MixedConfiguration() {
    hostkit::BlobContent content;
    content.settings = {3, 450};
    content.channels = hostkit::FixedChannels();
    content.channels.push_back(hostkit::Parameter(201, 0, 4, u"最低频率"));
    content.channels.push_back(hostkit::Parameter(207, 0, 6, u"ramp up", 2));
    content.channels.push_back(hostkit::Parameter(-3, 0, 3, u"negative", 1));
    content.channels.push_back(hostkit::Parameter(520, 1, 5, u"电流", 0, 1));
    content.channels.push_back(hostkit::Parameter(621, 5, 3, u"机型", 2));
    content.channels.push_back(hostkit::Parameter(622, 5, 3, u"只写文本", 1));
    return content;
}

void PlayDamaged(Session& s, const std::string& label, const std::vector<uint8_t>& blob) {
    hostkit::HostDevice device;
    device.SetArchiveBytes(blob);
    s.out.Line("-- " + label + " (" + std::to_string(blob.size()) + " bytes)");
    ShowProperties(s, device);
    ShowChannels(s, device);
    s.svr.ExitDevRun(device.Instance());
}

std::vector<uint8_t> Patched(std::vector<uint8_t> blob, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) blob[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return blob;
}

}  // namespace

void PlayConfiguration(Session& s) {
    s.out.Section("new device");
    hostkit::HostDevice device;
    ShowProperties(s, device);
    s.out.Line(ShowArchive(device.Archive()));
    ShowChannels(s, device);
    hostkit::StringArray options;
    hostkit::String name;
    hostkit::Set(name.raw, kAddress);
    const int32_t result = s.svr.EnumPropertyValue(device.Instance(), &name, &options);
    s.out.Line("SvrEnumPropertyValue -> " + std::to_string(result) + " " + Show(options.raw));

    s.out.Section("property texts");
    SetProperties(s, device, {kAddress, kWait}, {u" 0x1f ", u"500"});
    s.out.Line(ShowArchive(device.Archive()));
    SetProperties(s, device, {kAddress, kWait}, {u"0X10", u"-3"});
    SetProperties(s, device, {kAddress, kWait}, {u"12abc", u"abc"});
    SetProperties(s, device, {kAddress, kWait}, {u"100X", u""});
    SetProperties(s, device, {kWait, kAddress}, {u"1", u"2"});
    SetProperties(s, device, {kAddress, kWait, kAddress}, {u"\u3000 9 ", u"2147483648", u"4"});
    SetProperties(s, device, {kAddress, kWait}, {u"0x7fffffff"});
    s.out.Line(ShowArchive(device.Archive()));
    s.svr.ExitDevRun(device.Instance());
    ShowProperties(s, device);  // loaded again from the archive

    s.out.Section("parameter channels");
    hostkit::HostDevice mixed;
    mixed.SetArchiveBytes(hostkit::EncodeBlob(MixedConfiguration()));
    ShowChannels(s, mixed);
    s.svr.InitDevSet(mixed.Instance());
    SetProperties(s, mixed, {kAddress}, {u"4"});
    s.out.Line(ShowArchive(mixed.Archive()));
    s.svr.ExitDevRun(mixed.Instance());

    s.out.Section("damaged blobs");
    const std::vector<uint8_t> good = hostkit::EncodeBlob(MixedConfiguration());
    for (std::size_t cut : {std::size_t{1}, std::size_t{4}, std::size_t{6}, std::size_t{12}, std::size_t{27},
                            std::size_t{28}, std::size_t{60}, good.size() - 1}) {
        PlayDamaged(s, "cut at " + std::to_string(cut), std::vector<uint8_t>(good.begin(), good.begin() + cut));
    }
    PlayDamaged(s, "settings count -1", Patched(good, 0, 0xFFFFFFFFu));
    PlayDamaged(s, "settings count 1", Patched(good, 0, 1));
    PlayDamaged(s, "settings count 0x7FFFFFFF", Patched(good, 0, 0x7FFFFFFFu));
    PlayDamaged(s, "record count 0x7FFFFFFF", Patched(good, 24, 0x7FFFFFFFu));
    PlayDamaged(s, "record count -5", Patched(good, 24, 0xFFFFFFFBu));
    PlayDamaged(s, "first name count 0x7FFFFFFF", Patched(good, 48, 0x7FFFFFFFu));
    PlayDamaged(s, "first name count -1", Patched(good, 48, 0xFFFFFFFFu));
}

}  // namespace transcript
