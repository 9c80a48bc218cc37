// Calls into the host's run-time automation object: three methods, each looked up by
// name on every call, and the typed getters and setters built on them. Without an
// object, or when the host's Invoke fails, no name is a host variable and nothing is
// read or written.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvan {

// The host's answer about a name; anything else means the name is no variable.
enum HostDataType : int32_t { kHostInteger = 1, kHostFloat = 2, kHostText = 3 };

int32_t GetDataType(std::u16string_view name);
// Each getter passes the caller's current value and takes back what the host wrote
// in that same type; the result is the host method's status.
int32_t GetHostInteger(std::u16string_view name, int32_t& value);
int32_t GetHostFloat(std::u16string_view name, float& value);
int32_t GetHostText(std::u16string_view name, std::u16string& value);
int32_t SetHostInteger(std::u16string_view name, int32_t value);
int32_t SetHostFloat(std::u16string_view name, float value);
int32_t SetHostText(std::u16string_view name, std::u16string_view value);

}  // namespace korvan
