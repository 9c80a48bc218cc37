#include "tools/hostkit/host_arrays.h"

#include <cstring>

#include "tools/hostkit/host_memory.h"

namespace hostkit {
namespace {

template <class Raw, class Element>
void SetPlain(Raw& array, const std::vector<Element>& values) {
    Free(array);
    if (values.empty()) return;
    array.data = static_cast<Element*>(HostAllocZeroed(values.size(), sizeof(Element)));
    std::memcpy(array.data, values.data(), values.size() * sizeof(Element));
    array.count = array.capacity = static_cast<int32_t>(values.size());
}

template <class Raw>
auto ValuesOf(const Raw& array) {
    using Element = std::remove_pointer_t<decltype(array.data)>;
    if (array.data == nullptr || array.count <= 0) return std::vector<Element>{};
    return std::vector<Element>(array.data, array.data + array.count);
}

// The host's text units (wchar_t on Windows) hold UTF-16.
static_assert(sizeof(KorvanChar) == sizeof(char16_t));

KorvanChar* Duplicate(std::u16string_view text) {
    if (text.empty()) return nullptr;
    auto* block = static_cast<KorvanChar*>(HostAllocZeroed(text.size() + 1, sizeof(KorvanChar)));
    std::memcpy(block, text.data(), text.size() * sizeof(char16_t));
    return block;
}

}  // namespace

void Free(HostIntArray& array) { HostFree(array.data), array = {}; }
void Free(HostByteArray& array) { HostFree(array.data), array = {}; }
void Free(HostDoubleArray& array) { HostFree(array.data), array = {}; }
void Free(HostString& string) { HostFree(string.text), string.text = nullptr; }

void Free(HostStringArray& array) {
    for (int32_t i = 0; array.data != nullptr && i < array.capacity; ++i) HostFree(array.data[i].text);
    HostFree(array.data);
    array = {};
}

void Set(HostIntArray& array, const std::vector<int32_t>& values) { SetPlain(array, values); }
void Set(HostByteArray& array, const std::vector<uint8_t>& values) { SetPlain(array, values); }
void Set(HostDoubleArray& array, const std::vector<double>& values) { SetPlain(array, values); }

void Set(HostStringArray& array, const std::vector<std::u16string>& values) {
    Free(array);
    if (values.empty()) return;
    array.data = static_cast<HostString*>(HostAllocZeroed(values.size(), sizeof(HostString)));
    for (std::size_t i = 0; i < values.size(); ++i) array.data[i].text = Duplicate(values[i]);
    array.count = array.capacity = static_cast<int32_t>(values.size());
}

void Set(HostString& string, std::u16string_view text) {
    Free(string);
    string.text = Duplicate(text);
}

std::vector<int32_t> Values(const HostIntArray& array) { return ValuesOf(array); }
std::vector<uint8_t> Values(const HostByteArray& array) { return ValuesOf(array); }
std::vector<double> Values(const HostDoubleArray& array) { return ValuesOf(array); }

std::vector<std::u16string> Values(const HostStringArray& array) {
    std::vector<std::u16string> texts;
    for (const HostString& element : ValuesOf(array)) texts.push_back(Text(element));
    return texts;
}

std::u16string Text(const HostString& string) {
    return string.text ? std::u16string(reinterpret_cast<const char16_t*>(string.text)) : std::u16string();
}

}  // namespace hostkit
