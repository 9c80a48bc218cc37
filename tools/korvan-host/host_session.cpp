#include "tools/korvan-host/host_session.h"

#include <algorithm>
#include <cstdio>

#include "tools/hostkit/config_blob.h"
#include "tools/hostkit/host_arrays.h"
#include "tools/korvan-host/archive/archive_file.h"
#include "tools/korvan-host/host_system.h"

namespace korvanhost {
namespace {

// How long a program waits for another that is changing the same archive.
constexpr double kLockWaitSeconds = 2.0;

}  // namespace

std::vector<uint8_t> StoredBytes(const ConfigArchive& archive) {
    std::vector<uint8_t> bytes = hostkit::Values(archive.buffer);
    if (archive.mode == 1 && archive.position >= 0 && static_cast<std::size_t>(archive.position) <= bytes.size()) {
        bytes.resize(static_cast<std::size_t>(archive.position));
    }
    return bytes;
}

HostDevices::HostDevices(const std::string& driverPath, const std::vector<std::string>& archives, ArchiveUse use)
    : runObject_(std::make_unique<hostkit::HostAutomationObject>()),
      library_(std::make_unique<hostkit::DriverLibrary>(driverPath)) {
    if (!library_->Loaded()) {
        error_ = "cannot load the driver: " + library_->Error();
        return;
    }
    for (const std::string& path : archives) {
        if (!Open(path, use)) return;
    }
}

bool HostDevices::Open(const std::string& path, ArchiveUse use) {
    auto device = std::make_unique<Device>();
    device->path = path;
    if (use == ArchiveUse::New || use == ArchiveUse::Scratch) {
        if (use == ArchiveUse::New && SomethingAt(path) && !DanglingTarget(path)) {
            error_ = path + " already exists (init makes a new archive only)";
            return false;
        }
        device->create = use == ArchiveUse::New;
        device->scratch = use == ArchiveUse::Scratch;
        devices_.push_back(std::move(device));
        Channels(devices_.size() - 1);  // the driver writes its defaults into an empty archive
        return true;
    }
    std::string error;
    device->lock = ArchiveLock::Take(path, kLockWaitSeconds, error);
    if (!device->lock) {
        error_ = error;
        return false;
    }
    const auto file = ReadArchiveFile(path, error);
    if (!file) {
        error_ = error;
        return false;
    }
    if (!file->exists) {
        const auto target = DanglingTarget(path);
        error_ = target ? path + " links to " + *target + ", which does not exist"
                        : "no archive at " + path + " (korvan-host --archive " + path + " init makes one)";
        return false;
    }
    const std::string damage = file->kind == ArchiveKind::Damaged ? file->damage : Shortfall(file->configuration);
    if (!damage.empty() && use != ArchiveUse::Forced) {
        error_ = "archive damaged: " + damage + " (" + path + "; --force goes on with what was read and saves over it)";
        return false;
    }
    if (!damage.empty()) {
        Printf(stderr, "korvan-host: warning: archive damaged: %s (%s; going on with what was read)\n",
                     damage.c_str(), path.c_str());
    }
    device->oldFormat = file->kind == ArchiveKind::OldFormat;
    device->loaded = file->configuration;
    device->host.SetArchiveBytes(file->configuration);
    devices_.push_back(std::move(device));
    return true;
}

std::string HostDevices::Shortfall(const std::vector<uint8_t>& configuration) {
    hostkit::HostDevice probe;  // loaded and released here, so the session's devices start unloaded
    probe.SetArchiveBytes(configuration);
    hostkit::StringArray propertyNames, values, channelNames;
    hostkit::ByteArray flags;
    hostkit::IntArray types;
    Svr().GetProperty(probe.Instance(), &propertyNames, &values, &flags);
    Svr().GetChannel(probe.Instance(), &channelNames, &types);
    Svr().ExitDevRun(probe.Instance());
    const hostkit::BlobOutline outline = hostkit::OutlineBlob(configuration);
    const auto properties = static_cast<int32_t>(hostkit::Values(values.raw).size());
    // The driver lists 通讯状态 before the table, and counts a record cut short as read.
    const int32_t channels =
        std::min(static_cast<int32_t>(hostkit::Values(types.raw).size()) - 1, outline.channelsWhole);
    std::string shortfall;
    if (outline.settingsPresent < properties) {
        shortfall = std::to_string(outline.settingsPresent) + " of " + std::to_string(properties) + " properties read";
    }
    if (outline.channelsDeclared < 0 || channels < outline.channelsDeclared) {
        shortfall += shortfall.empty() ? "" : ", ";
        shortfall += outline.channelsDeclared < 0 ? "no channel list"
                                                  : std::to_string(std::max(channels, 0)) + " of " +
                                                        std::to_string(outline.channelsDeclared) + " channels read";
    }
    return shortfall;
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

int32_t HostDevices::Address(std::size_t device) {
    const auto properties = Properties(device);
    if (properties.empty()) return -1;
    int32_t address = 0;
    for (char16_t c : properties[0].value) {
        if (c < u'0' || c > u'9' || address > 1000) break;  // the driver reads the leading digits
        address = address * 10 + (c - u'0');
    }
    return address >= 1 && address <= 126 ? address : -1;
}

std::vector<uint8_t> HostDevices::Addresses() {
    std::vector<uint8_t> addresses;
    for (std::size_t device = 0; device < Count(); ++device) {
        const int32_t address = Address(device);
        if (address > 0 && std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
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

std::vector<uint8_t> HostDevices::Configuration(std::size_t device) {
    return StoredBytes(devices_[device]->host.Archive());
}

void HostDevices::ReplaceConfiguration(std::size_t device, const std::vector<uint8_t>& configuration) {
    Svr().ExitDevRun(Instance(device));
    devices_[device]->host.SetArchiveBytes(configuration);
}

void HostDevices::AttachLine(KorvanPortHandle handle) {
    for (auto& device : devices_) device->host.SetPort(2, handle);
    IDispatch* object = runObject_->HandOut();  // the module takes this reference over
    Svr().SetRunIDispatch(&object);
}

bool HostDevices::DriverStored(std::size_t device) { return devices_[device]->host.Archive().mode == 1; }

bool HostDevices::Changed(std::size_t device) {
    return StoredBytes(devices_[device]->host.Archive()) != devices_[device]->loaded;
}

void HostDevices::ReleaseLocks() {
    for (auto& device : devices_) device->lock.reset();
}

bool HostDevices::ReleaseAndSave() {
    bool saved = true;
    for (auto& device : devices_) {
        Svr().ExitDevRun(device->host.Instance());
        const std::vector<uint8_t> bytes = StoredBytes(device->host.Archive());
        if (bytes == device->loaded || device->scratch) continue;
        std::string error;
        const bool written = device->create ? CreateArchiveFile(device->path, bytes, error)
                                            : WriteArchiveFile(device->path, bytes, error);
        if (!written) {
            error_ = error;
            saved = false;
            continue;
        }
        if (device->oldFormat) {
            Printf(stderr,
                         "korvan-host: %s converted to the current archive format (the old file kept as .bak)\n",
                         device->path.c_str());
        }
        device->loaded = bytes;
        device->oldFormat = device->create = false;
    }
    return saved;
}

}  // namespace korvanhost
