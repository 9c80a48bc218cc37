#include "driver/host_containers.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/system/shared_heap.h"

namespace korvan {
namespace {

// The host's text units (wchar_t on Windows) are UTF-16 code units.
static_assert(sizeof(KorvanChar) == sizeof(char16_t));

template <class Array>
bool IsWellFormed(const Array& array) {
    return array.count >= 0 && array.capacity >= array.count &&
           (array.data == nullptr) == (array.capacity == 0);
}

template <class Array>
int32_t GrowthStep(const Array& array) {
    if (array.growBy > 0) return array.growBy;
    return std::clamp(array.count / 8, 4, 1024);
}

void DropElements(HostIntArray&, int32_t, int32_t) {}
void DropElements(HostByteArray&, int32_t, int32_t) {}
void DropElements(HostDoubleArray&, int32_t, int32_t) {}
void DropElements(HostStringArray& array, int32_t from, int32_t to) {
    for (int32_t i = from; i < to; ++i) {
        platform::SharedFree(array.data[i].text);
        array.data[i].text = nullptr;
    }
}

template <class Array>
bool Resize(Array& array, int32_t newCount) {
    using Element = std::remove_pointer_t<decltype(array.data)>;
    if (newCount < 0 || !IsWellFormed(array)) return false;
    if (newCount == 0) {
        DropElements(array, 0, array.count);
        platform::SharedFree(array.data);
        array.data = nullptr;
        array.count = array.capacity = 0;
        return true;
    }
    if (newCount <= array.capacity) {
        if (newCount < array.count) {
            DropElements(array, newCount, array.count);
        } else {
            std::memset(static_cast<void*>(array.data + array.count), 0,
                        sizeof(Element) * static_cast<std::size_t>(newCount - array.count));
        }
        array.count = newCount;
        return true;
    }
    int64_t capacity = newCount;
    if (array.data != nullptr) {
        capacity = std::max<int64_t>(newCount, int64_t{array.capacity} + GrowthStep(array));
        capacity = std::min<int64_t>(capacity, std::numeric_limits<int32_t>::max());
    }
    auto* storage = static_cast<Element*>(
        platform::SharedAllocZeroed(static_cast<std::size_t>(capacity), sizeof(Element)));
    if (storage == nullptr) return false;
    if (array.count > 0) {
        std::memcpy(static_cast<void*>(storage), array.data,
                    sizeof(Element) * static_cast<std::size_t>(array.count));
    }
    platform::SharedFree(array.data);
    array.data = storage;
    array.capacity = static_cast<int32_t>(capacity);
    array.count = newCount;
    return true;
}

template <class Array>
bool Holds(const Array& array, int32_t index) {
    return index >= 0 && index < ReadableCount(array);
}

}  // namespace

bool SetArraySize(HostIntArray& array, int32_t newCount) { return Resize(array, newCount); }
bool SetArraySize(HostByteArray& array, int32_t newCount) { return Resize(array, newCount); }
bool SetArraySize(HostDoubleArray& array, int32_t newCount) { return Resize(array, newCount); }
bool SetArraySize(HostStringArray& array, int32_t newCount) { return Resize(array, newCount); }

int32_t ReadableCount(const HostIntArray& array) { return IsWellFormed(array) ? array.count : 0; }
int32_t ReadableCount(const HostByteArray& array) { return IsWellFormed(array) ? array.count : 0; }
int32_t ReadableCount(const HostDoubleArray& array) { return IsWellFormed(array) ? array.count : 0; }
int32_t ReadableCount(const HostStringArray& array) { return IsWellFormed(array) ? array.count : 0; }

int32_t IntAt(const HostIntArray& array, int32_t index, int32_t fallback) {
    return Holds(array, index) ? array.data[index] : fallback;
}

double DoubleAt(const HostDoubleArray& array, int32_t index, double fallback) {
    return Holds(array, index) ? array.data[index] : fallback;
}

bool SetIntAt(HostIntArray& array, int32_t index, int32_t value) {
    if (!Holds(array, index)) return false;
    array.data[index] = value;
    return true;
}

bool SetByteAt(HostByteArray& array, int32_t index, uint8_t value) {
    if (!Holds(array, index)) return false;
    array.data[index] = value;
    return true;
}

bool SetDoubleAt(HostDoubleArray& array, int32_t index, double value) {
    if (!Holds(array, index)) return false;
    array.data[index] = value;
    return true;
}

std::u16string_view TextAt(const HostStringArray& array, int32_t index) {
    return Holds(array, index) ? TextOf(array.data[index]) : std::u16string_view{};
}

bool SetTextAt(HostStringArray& array, int32_t index, std::u16string_view text) {
    return Holds(array, index) && AssignText(array.data[index], text);
}

bool AppendText(HostStringArray& array, std::u16string_view text) {
    const int32_t at = ReadableCount(array);
    if (at == std::numeric_limits<int32_t>::max() || !SetArraySize(array, at + 1)) return false;
    return AssignText(array.data[at], text);
}

std::u16string_view TextOf(const HostString& string) {
    return string.text == nullptr ? std::u16string_view{}
                                  : std::u16string_view{reinterpret_cast<const char16_t*>(string.text)};
}

bool AssignText(HostString& string, std::u16string_view text) {
    KorvanChar* block = nullptr;
    if (!text.empty()) {
        block = static_cast<KorvanChar*>(platform::SharedAllocZeroed(text.size() + 1, sizeof(KorvanChar)));
        if (block == nullptr) return false;
        std::memcpy(block, text.data(), text.size() * sizeof(char16_t));
    }
    platform::SharedFree(string.text);
    string.text = block;
    return true;
}

}  // namespace korvan
