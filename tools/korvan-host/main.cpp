// korvan-host: a stand-in for the HMI host. It loads the driver with dlopen and plays
// the host's part through the public header only.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/hostkit/host_device.h"
#include "tools/hostkit/utf8.h"

namespace {

int Demo(const hostkit::EntryPoints& svr) {
    hostkit::String model;
    int32_t helpId = 0;
    svr.DoHelp(&model, &helpId);
    std::printf("Driver for %s (help identifier %d)\n", hostkit::ToUtf8(hostkit::Text(model.raw)).c_str(), helpId);

    hostkit::HostDevice device;
    hostkit::StringArray names, values;
    hostkit::ByteArray flags;
    svr.GetProperty(device.Instance(), &names, &values, &flags);
    std::printf("\nDevice properties:\n");
    const auto propertyNames = hostkit::Values(names.raw);
    const auto propertyValues = hostkit::Values(values.raw);
    for (std::size_t i = 0; i < propertyNames.size() && i < propertyValues.size(); ++i) {
        std::printf("  %s = %s\n", hostkit::ToUtf8(propertyNames[i]).c_str(),
                    hostkit::ToUtf8(propertyValues[i]).c_str());
    }

    hostkit::StringArray channelNames;
    hostkit::IntArray types;
    svr.GetChannel(device.Instance(), &channelNames, &types);
    std::printf("\nChannels (host channel, type code, name):\n");
    const auto channels = hostkit::Values(channelNames.raw);
    const auto codes = hostkit::Values(types.raw);
    for (std::size_t k = 0; k < channels.size() && k < codes.size(); ++k) {
        std::printf("  %2zu  %2d  %s\n", k, codes[k], hostkit::ToUtf8(channels[k]).c_str());
    }
    std::printf("\nThe new device's configuration blob is %d bytes.\n", device.Archive().position);
    svr.ExitDevRun(device.Instance());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string driver = hostkit::DriverPath("Korvan.drv");
    std::string command = argc > 1 ? argv[1] : "";
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--driver") == 0 && i + 1 < argc) driver = argv[++i];
    }
    if (command != "demo") {
        std::fprintf(stderr, "usage: korvan-host demo [--driver PATH]\n");
        return 2;
    }
    hostkit::DriverLibrary library(driver);
    if (!library.Loaded()) {
        std::fprintf(stderr, "korvan-host: %s\n", library.Error().c_str());
        return 1;
    }
    return Demo(library.Svr());
}
