// Property texts through SvrSetProperty: names and values as a host's property sheet
// passes them, any texts, arrays of any shape, well-formed or not. Afterwards the
// properties the driver lists, set back as they were listed, must leave the stored
// configuration as it is: what the driver shows is what it keeps.
//
// Input: one byte of choices (bit 0: the device starts from the channel blob rather
// than from nothing; bits 1-2: the names array is cut short or damaged; bits 3-4: the
// same for the values), then lines of "name<TAB>value".
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_target.h"
#include "fuzz/loaded_device.h"
#include "fuzz/wide_input.h"
#include "korvan/host_abi.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"

namespace korvanfuzz {
namespace {

struct Sheet {
    std::vector<std::u16string> names;
    std::vector<std::u16string> values;
};

Sheet ReadSheet(const std::u16string& text) {
    Sheet sheet;
    for (const std::u16string& line : SplitText(text, u'\n')) {
        const std::size_t tab = line.find(u'\t');
        sheet.names.push_back(line.substr(0, tab));
        if (tab != std::u16string::npos) sheet.values.push_back(line.substr(tab + 1));
    }
    return sheet;
}

// 0 as given; 1 no array at all; 2 a count beyond the capacity; 3 storage missing.
HostStringArray* Shaped(hostkit::StringArray& array, const std::vector<std::u16string>& texts, uint8_t shape) {
    hostkit::Set(array.raw, texts);
    if (shape == 1) return nullptr;
    if (shape == 2) array.raw.count = array.raw.capacity + 1;
    if (shape == 3) {
        hostkit::Free(array.raw);
        array.raw.count = array.raw.capacity = 2;
    }
    return &array.raw;
}

// Leaves the host's array in a state its own Free handles.
void Repair(hostkit::StringArray& array) {
    if (array.raw.data == nullptr) array.raw.count = array.raw.capacity = 0;
    if (array.raw.count > array.raw.capacity) array.raw.count = array.raw.capacity;
}

void ListOptions(hostkit::HostDevice& device, const std::vector<std::u16string>& names) {
    for (const std::u16string& name : names) {
        hostkit::String text;
        hostkit::Set(text.raw, name);
        hostkit::StringArray options;
        SvrEnumPropertyValue(device.Instance(), &text.raw, &options.raw);
        Expect(options.raw.count == 0, "a free integer property offered options");
    }
}

void ExpectListedPropertiesKept(hostkit::HostDevice& device) {
    hostkit::StringArray names, values;
    hostkit::ByteArray flags;
    SvrGetProperty(device.Instance(), &names.raw, &values.raw, &flags.raw);
    Expect(names.raw.count == 2 && values.raw.count == 2, "the driver listed another number of properties");
    const std::vector<uint8_t> before = StoredBlob(device.Archive());
    SvrSetProperty(device.Instance(), &names.raw, &values.raw);
    Expect(StoredBlob(device.Archive()) == before, "setting the listed properties back changed the configuration");
}

}  // namespace
}  // namespace korvanfuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace korvanfuzz;
    PrepareCore();
    FuzzInput input(data, size);
    const uint8_t choices = input.Byte();
    const Sheet sheet = ReadSheet(WideFromBytes(input.Rest()));
    hostkit::HostDevice device;
    if ((choices & 1) != 0) device.SetArchiveBytes(EveryKindOfChannelBlob());
    hostkit::StringArray names, values;
    SvrSetProperty(device.Instance(), Shaped(names, sheet.names, (choices >> 1) & 3),
                   Shaped(values, sheet.values, (choices >> 3) & 3));
    Repair(names);
    Repair(values);
    ListOptions(device, sheet.names);
    ExpectListedPropertiesKept(device);
    SvrExitDevRun(device.Instance());
    return 0;
}
