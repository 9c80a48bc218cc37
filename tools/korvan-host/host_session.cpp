#include "tools/korvan-host/host_session.h"

#include <algorithm>

#include "tools/hostkit/host_arrays.h"
#include "tools/korvan-host/archive_file.h"

namespace korvanhost {

std::vector<uint8_t> StoredBytes(const ConfigArchive& archive) {
    std::vector<uint8_t> bytes = hostkit::Values(archive.buffer);
    if (archive.mode == 1 && archive.position >= 0 && static_cast<std::size_t>(archive.position) <= bytes.size()) {
        bytes.resize(static_cast<std::size_t>(archive.position));
    }
    return bytes;
}

HostDevices::HostDevices(const std::string& driverPath, const std::vector<std::string>& archives)
    : runObject_(std::make_unique<hostkit::HostAutomationObject>()),
      library_(std::make_unique<hostkit::DriverLibrary>(driverPath)) {
    if (!library_->Loaded()) {
        error_ = "cannot load the driver: " + library_->Error();
        return;
    }
    for (const std::string& path : archives) {
        auto device = std::make_unique<Device>();
        device->path = path;
        const auto bytes = ReadArchiveFile(path, error_);
        if (!bytes) return;
        device->loaded = *bytes;
        device->host.SetArchiveBytes(*bytes);
        devices_.push_back(std::move(device));
    }
}

HostDevices::~HostDevices() {
    if (library_->Loaded()) {
        for (auto& device : devices_) Svr().ExitDevRun(device->host.Instance());
    }
    library_.reset();  // the module releases the run-time object it holds
}

std::vector<Property> HostDevices::Properties(std::size_t device) {
    hostkit::StringArray names, values;
    hostkit::ByteArray flags;
    Svr().GetProperty(Instance(device), &names, &values, &flags);
    const auto nameTexts = hostkit::Values(names.raw);
    const auto valueTexts = hostkit::Values(values.raw);
    std::vector<Property> properties;
    for (std::size_t i = 0; i < nameTexts.size() && i < valueTexts.size(); ++i) {
        properties.push_back({nameTexts[i], valueTexts[i]});
    }
    return properties;
}

std::vector<uint8_t> HostDevices::Addresses() {
    std::vector<uint8_t> addresses;
    for (std::size_t device = 0; device < Count(); ++device) {
        const auto properties = Properties(device);
        if (properties.empty()) continue;
        int32_t address = 0;
        for (char16_t c : properties[0].value) {
            if (c < u'0' || c > u'9' || address > 1000) break;
            address = address * 10 + (c - u'0');
        }
        if (address >= 1 && address <= 126 &&
            std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
            addresses.push_back(static_cast<uint8_t>(address));
        }
    }
    if (addresses.empty()) addresses.push_back(1);
    return addresses;
}

void HostDevices::SetProperties(std::size_t device, const std::vector<Property>& properties) {
    std::vector<std::u16string> names, values;
    for (const Property& property : properties) {
        names.push_back(property.name);
        values.push_back(property.value);
    }
    hostkit::StringArray hostNames, hostValues;
    hostkit::Set(hostNames.raw, names);
    hostkit::Set(hostValues.raw, values);
    Svr().SetProperty(Instance(device), &hostNames, &hostValues);
}

std::vector<Channel> HostDevices::Channels(std::size_t device) {
    hostkit::StringArray names;
    hostkit::IntArray types;
    Svr().GetChannel(Instance(device), &names, &types);
    const auto nameTexts = hostkit::Values(names.raw);
    const auto typeCodes = hostkit::Values(types.raw);
    std::vector<Channel> channels;
    for (std::size_t k = 0; k < nameTexts.size() && k < typeCodes.size(); ++k) {
        channels.push_back({nameTexts[k], typeCodes[k]});
    }
    return channels;
}

void HostDevices::AttachLine(int32_t handle) {
    for (auto& device : devices_) device->host.SetPort(2, handle);
    IDispatch* object = runObject_->Interface();
    runObject_->Interface()->vtbl->AddRef(object);  // the module takes this reference over
    Svr().SetRunIDispatch(&object);
}

bool HostDevices::ReleaseAndSave() {
    bool saved = true;
    for (auto& device : devices_) {
        Svr().ExitDevRun(device->host.Instance());
        const std::vector<uint8_t> bytes = StoredBytes(device->host.Archive());
        if (bytes == device->loaded) continue;
        std::string error;
        if (!WriteArchiveFile(device->path, bytes, error)) {
            error_ = error;
            saved = false;
            continue;
        }
        device->loaded = bytes;
    }
    return saved;
}

}  // namespace korvanhost
