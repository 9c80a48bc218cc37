#include "tests/soak/soak_host.h"

#include "tests/soak/soak_plan.h"
#include "tools/hostkit/host_arrays.h"

namespace korvansoak {

SoakHost::SoakHost(const std::string& driverPath, int32_t portHandle)
    : variables_(std::make_unique<hostkit::HostAutomationObject>()),
      library_(std::make_unique<hostkit::DriverLibrary>(driverPath)) {
    device_.SetArchiveBytes(PlanBlob());
    device_.SetPort(2, portHandle);
    hostChannels_ = static_cast<int32_t>(PlanChannels().size()) + kFixedChannels + 1;
    if (!Loaded()) return;
    IDispatch* object = variables_->HandOut();  // the driver takes this reference over
    library_->Svr().SetRunIDispatch(&object);
}

SoakHost::~SoakHost() {
    if (Loaded()) library_->Svr().ExitDevRun(device_.Instance());
    library_.reset();
}

void SoakHost::Start() {
    library_->Svr().InitDevSet(device_.Instance());
    library_->Svr().InitDevRun(device_.Instance());
}

void SoakHost::Restart() {
    library_->Svr().ExitDevRun(device_.Instance());
    library_->Svr().InitDevRun(device_.Instance());
}

Collected SoakHost::Collect(int32_t wanted) {
    const auto channels = static_cast<std::size_t>(hostChannels_);
    std::vector<int32_t> flags(channels, 0);
    if (wanted > 0 && static_cast<std::size_t>(wanted) < channels) flags[static_cast<std::size_t>(wanted)] = 1;
    hostkit::IntArray wantedArray;
    hostkit::DoubleArray values;
    hostkit::StringArray texts;
    hostkit::Set(wantedArray.raw, flags);
    hostkit::Set(values.raw, std::vector<double>(channels, kUntouched));
    hostkit::Set(texts.raw, std::vector<std::u16string>(channels, std::u16string(kUntouchedText)));
    Collected collected;
    collected.returned = library_->Svr().CollectDevData(device_.Instance(), &wantedArray.raw, &values.raw, &texts.raw);
    collected.values = hostkit::Values(values.raw);
    collected.texts = hostkit::Values(texts.raw);
    return collected;
}

std::vector<double> SoakHost::Command(const std::u16string& text, double controlWord, double reference) {
    hostkit::String command;
    hostkit::DoubleArray results;
    hostkit::Set(command.raw, text);
    hostkit::Set(results.raw, {kUntouched, kUntouched, kUntouched, controlWord, reference});
    library_->Svr().DevIOCtrl(device_.Instance(), &command.raw, &results.raw, 0);
    return hostkit::Values(results.raw);
}

}  // namespace korvansoak
