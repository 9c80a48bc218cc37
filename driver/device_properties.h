// The two device properties the host's property sheet shows and edits: the drive's
// bus address and the communication wait time. Both are free 32-bit integers.
#pragma once

#include <string_view>

#include "korvan/host_abi.h"

namespace korvan {

// Names, values (as decimal texts) and enumerated flags, one entry per property.
void ListProperties(const DeviceInstance& device, HostStringArray& names, HostStringArray& values,
                    HostByteArray& enumFlags);
// Appends the option texts of the named property (none for either property).
void AppendPropertyOptions(std::u16string_view name, HostStringArray& options);
// Applies the value texts of the properties named at their own positions.
void ApplyProperties(DeviceInstance& device, const HostStringArray& names, const HostStringArray& values);

}  // namespace korvan
