// The host's side of a session with the driver: the loaded module, one device per
// archive file, and the run-time automation object with the host variables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/hostkit/driver_library.h"
#include "tools/hostkit/host_automation.h"
#include "tools/hostkit/host_device.h"
#include "tools/korvan-host/archive/archive_lock.h"

namespace korvanhost {

struct Property {
    std::u16string name;
    std::u16string value;
};

struct Channel {
    std::u16string name;
    int32_t type = 0;  // 1 status, 2 numeric, 3 text; negative when write only
};

// How a session takes the archive files it is given.
enum class ArchiveUse {
    Existing,  // each must be there and whole
    Forced,    // a damaged one too, used as far as the driver reads it and saved over (--force)
    New,       // none may be there yet: each starts from the driver's default configuration
    Scratch,   // no file: the driver's default configuration, never saved (scan)
};

class HostDevices {
public:
    // Loads the driver and reads every archive; Error() tells what failed.
    HostDevices(const std::string& driverPath, const std::vector<std::string>& archives,
                ArchiveUse use = ArchiveUse::Existing);
    ~HostDevices();
    HostDevices(const HostDevices&) = delete;
    HostDevices& operator=(const HostDevices&) = delete;

    const std::string& Error() const { return error_; }
    std::size_t Count() const { return devices_.size(); }
    const std::string& ArchivePath(std::size_t device) const { return devices_[device]->path; }
    const hostkit::EntryPoints& Svr() const { return library_->Svr(); }
    void* DriverModule() const { return library_->Module(); }
    DeviceInstance* Instance(std::size_t device) { return devices_[device]->host.Instance(); }
    hostkit::HostAutomationObject& RunObject() { return *runObject_; }

    std::vector<Property> Properties(std::size_t device);
    // Each address property, as the simulated line must answer them.
    std::vector<uint8_t> Addresses();
    // The device's address as the driver sends it; -1 for none it can send.
    int32_t Address(std::size_t device);
    void SetProperties(std::size_t device, const std::vector<Property>& properties);
    std::vector<Channel> Channels(std::size_t device);
    // The device's configuration bytes as loaded, and a change of them made by the host
    // (the driver's state of the device is released first, so it reads them anew).
    std::vector<uint8_t> Configuration(std::size_t device);
    void ReplaceConfiguration(std::size_t device, const std::vector<uint8_t>& configuration);
    // Gives every device the line, and the driver the run-time object.
    void AttachLine(KorvanPortHandle handle);
    // Whether the driver has stored the device's configuration into its archive since
    // it was read, and whether the bytes now differ from the file's.
    bool DriverStored(std::size_t device);
    bool Changed(std::size_t device);
    // Releases every device state, then saves each archive whose bytes changed.
    bool ReleaseAndSave();
    // Lets other programs change the archives, which the session holds from reading
    // them to saving them: for a session that will not save (run).
    void ReleaseLocks();

private:
    struct Device {
        std::unique_ptr<ArchiveLock> lock;  // taken before the file is read
        std::string path;
        hostkit::HostDevice host;
        std::vector<uint8_t> loaded;
        bool oldFormat = false;  // a bare blob, rewritten in the current format when saved
        bool create = false;     // no file yet
        bool scratch = false;    // no file, and none is made
    };

    bool Open(const std::string& path, ArchiveUse use);
    // What the driver leaves unread of a configuration: empty when it reads every
    // property and channel there is.
    std::string Shortfall(const std::vector<uint8_t>& configuration);

    std::unique_ptr<hostkit::HostAutomationObject> runObject_;  // outlives the module
    std::unique_ptr<hostkit::DriverLibrary> library_;
    std::vector<std::unique_ptr<Device>> devices_;
    std::string error_;
};

// The configuration bytes of an archive as the host keeps them: the blob the driver
// wrote last (up to the position after a store pass), or the whole buffer.
std::vector<uint8_t> StoredBytes(const ConfigArchive& archive);

}  // namespace korvanhost
