// Host-side arrays and strings: made, read and freed the way a host does, with
// storage from the shared heap (malloc).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "korvan/host_abi.h"

namespace hostkit {

// Owns one host container and frees its storage (and string texts) when destroyed.
template <class Raw>
class Owned {
public:
    Owned() = default;
    ~Owned();
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Raw* operator&() { return &raw; }
    Raw raw{};
};

using IntArray = Owned<HostIntArray>;
using ByteArray = Owned<HostByteArray>;
using DoubleArray = Owned<HostDoubleArray>;
using StringArray = Owned<HostStringArray>;
using String = Owned<HostString>;

void Free(HostIntArray& array);
void Free(HostByteArray& array);
void Free(HostDoubleArray& array);
void Free(HostStringArray& array);
void Free(HostString& string);

// Replaces the contents with exactly these elements (capacity = count).
void Set(HostIntArray& array, const std::vector<int32_t>& values);
void Set(HostByteArray& array, const std::vector<uint8_t>& values);
void Set(HostDoubleArray& array, const std::vector<double>& values);
void Set(HostStringArray& array, const std::vector<std::u16string>& values);
void Set(HostString& string, std::u16string_view text);

std::vector<int32_t> Values(const HostIntArray& array);
std::vector<uint8_t> Values(const HostByteArray& array);
std::vector<double> Values(const HostDoubleArray& array);
std::vector<std::u16string> Values(const HostStringArray& array);
std::u16string Text(const HostString& string);

template <class Raw>
Owned<Raw>::~Owned() {
    Free(raw);
}

}  // namespace hostkit
