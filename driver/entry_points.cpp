// The fifteen functions the host calls. Each one makes sure the device's state
// exists where it needs it, hands the work to the code that owns it and returns its
// fixed status. No exception leaves the driver.
#include <cstdint>

#include "channels/channel_list.h"
#include "channels/channel_property_dialog.h"
#include "driver/configuration.h"
#include "driver/device_properties.h"
#include "driver/device_state.h"
#include "driver/host_containers.h"
#include "driver/process_objects.h"
#include "platform/system/clock.h"
#include "platform/dialogs/dialog_resource_module.h"
#include "platform/system/system_serial_port.h"
#include "runtime/collection_cycle.h"
#include "runtime/device_commands.h"
#include "runtime/run_setup.h"

namespace korvan {
namespace {

constexpr int32_t kHelpIdentifier = 0x7D4B14B6;
constexpr char16_t kModelName[] = u"VLT5000";
constexpr int32_t kNothingToRead = -100;

template <class Work>
int32_t Guarded(int32_t onFailure, Work&& work) noexcept {
    try {
        return work();
    } catch (...) {
        return onFailure;
    }
}

// The device's state, loaded from its archive when absent; nullptr without a device.
DeviceState* Loaded(DeviceInstance* device) {
    if (device == nullptr) return nullptr;
    LoadConfiguration(*device);
    return StateOf(*device);
}

IDispatch* HandedOver(IDispatch** object) { return object == nullptr ? nullptr : *object; }

// The serial port the host opened for the device, for the length of one call.
class DevicePort {
public:
    explicit DevicePort(const DeviceInstance& device) : port_(device.portHandle) {}
    SerialIo& Io() { return io_; }

private:
    platform::SystemSerialPort port_;
    platform::SystemClock clock_;
    SerialIo io_{port_, clock_};
};

}  // namespace
}  // namespace korvan

using namespace korvan;

KORVAN_EXPORT int32_t KORVAN_CALL SvrGetProperty(DeviceInstance* dev, HostStringArray* names, HostStringArray* values,
                                     HostByteArray* enumFlags) {
    return Guarded(1, [&] {
        if (Loaded(dev) != nullptr && names && values && enumFlags) ListProperties(*dev, *names, *values, *enumFlags);
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrEnumPropertyValue(DeviceInstance* dev, HostString* name, HostStringArray* options) {
    return Guarded(1, [&] {
        if (Loaded(dev) != nullptr && name && options) AppendPropertyOptions(TextOf(*name), *options);
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrSetProperty(DeviceInstance* dev, HostStringArray* names, HostStringArray* values) {
    return Guarded(1, [&] {
        if (Loaded(dev) == nullptr) return 1;
        const HostStringArray none{};
        ApplyProperties(*dev, names ? *names : none, values ? *values : none);
        SaveConfiguration(*dev);
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrDoHelp(HostString* text, int32_t* helpId) {
    return Guarded(1, [&] {
        if (text != nullptr) AssignText(*text, kModelName);
        if (helpId != nullptr) *helpId = kHelpIdentifier;
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrGetChannel(DeviceInstance* dev, HostStringArray* names, HostIntArray* types) {
    return Guarded(1, [&] {
        if (DeviceState* state = Loaded(dev); state && names && types) {
            PublishChannelList(*state->channelTable, *names, *types);
        }
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrEditProperties(void*, uint8_t* flag) {
    if (flag != nullptr) *flag = 1;
    return 1;
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrEditCustomProperty(DeviceInstance* dev) {
    return Guarded(1, [&] {
        DeviceState* state = Loaded(dev);
        if (state == nullptr) return 1;
        platform::ResourceModuleSelection resources(ModuleHandle());
        ChannelPropertyDialog dialog(*state);
        if (dialog.DoModal() == platform::kIdOk) SaveConfiguration(*dev);
        resources.Restore();
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrInitDevSet(DeviceInstance* dev) {
    return Guarded(1, [&] {
        if (DeviceState* state = Loaded(dev)) BuildReadGroups(*state);
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrInitDevRun(DeviceInstance* dev) {
    return Guarded(1, [&] {
        platform::SeedRandom(platform::TickCount());
        if (DeviceState* state = Loaded(dev)) BuildReadGroups(*state);
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrExitDevRun(DeviceInstance* dev) {
    return Guarded(1, [&] {
        if (dev != nullptr) ReleaseDeviceState(*dev);
        return 1;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrCollectDevData(DeviceInstance* dev, HostIntArray* wanted, HostDoubleArray* values,
                                        HostStringArray* texts) {
    return Guarded(kNothingToRead, [&] {
        if (values == nullptr || ReadableCount(*values) == 0) return 0;
        const bool fresh = dev != nullptr && StateOf(*dev) == nullptr;
        DeviceState* state = Loaded(dev);
        if (state == nullptr) return kNothingToRead;
        // Groups stored with the configuration may be stale: the cycle reads by the table.
        if (fresh) BuildReadGroups(*state);
        if (state->readGroupStarts.Empty()) return kNothingToRead;
        HostIntArray noFlags{};
        HostStringArray noTexts{};
        DevicePort port(*dev);
        return CollectNextGroup(*dev, port.Io(), wanted ? *wanted : noFlags, *values, texts ? *texts : noTexts);
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrDevIOCtrl(DeviceInstance* dev, HostString* command, HostDoubleArray* results, int32_t) {
    return Guarded(0, [&] {
        if (results == nullptr || ReadableCount(*results) == 0) return 0;
        if (Loaded(dev) == nullptr) return 0;
        DevicePort port(*dev);
        const int32_t result = ExecuteCommandText(*dev, port.Io(), command ? TextOf(*command) : u"", *results);
        SetDoubleAt(*results, 0, result >= 0 ? 0.0 : -static_cast<double>(result));
        return 0;
    });
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrGetDevInfo(void) { return 0; }

KORVAN_EXPORT int32_t KORVAN_CALL SvrSetSetIDispatch(IDispatch** object) {
    HostSetObject().AttachDispatch(HandedOver(object));
    return 1;
}

KORVAN_EXPORT int32_t KORVAN_CALL SvrSetRunIDispatch(IDispatch** object) {
    HostRunObject().lookup = HandedOver(object);
    HostRunObject().driver.AttachDispatch(HandedOver(object));
    return 1;
}
