// The host's growable arrays and strings, resized and filled in place.
//
// Every resize follows the host's rule: a new count of 0 frees the storage; an array
// without storage gets exactly the new count; a count within the capacity only
// changes the count; otherwise the capacity grows to max(new count, old capacity +
// step), the step being growBy or, when 0, old count / 8 clamped to 4..1024. New
// elements are zero (NULL text); dropped string elements have their text freed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "korvan/host_abi.h"

namespace korvan {

// Resize to newCount. False (array unchanged) for a negative count, an array whose
// members contradict each other, or a heap that cannot serve the request.
bool SetArraySize(HostIntArray& array, int32_t newCount);
bool SetArraySize(HostByteArray& array, int32_t newCount);
bool SetArraySize(HostDoubleArray& array, int32_t newCount);
bool SetArraySize(HostStringArray& array, int32_t newCount);

// The number of elements that may be read: the count of a well-formed array, else 0.
int32_t ReadableCount(const HostIntArray& array);
int32_t ReadableCount(const HostByteArray& array);
int32_t ReadableCount(const HostDoubleArray& array);
int32_t ReadableCount(const HostStringArray& array);

// Element access that never leaves the array: a missing element reads as `fallback`
// (or the empty text) and a write to it does nothing and returns false.
int32_t IntAt(const HostIntArray& array, int32_t index, int32_t fallback = 0);
double DoubleAt(const HostDoubleArray& array, int32_t index, double fallback = 0.0);
bool SetIntAt(HostIntArray& array, int32_t index, int32_t value);
bool SetByteAt(HostByteArray& array, int32_t index, uint8_t value);
bool SetDoubleAt(HostDoubleArray& array, int32_t index, double value);
std::u16string_view TextAt(const HostStringArray& array, int32_t index);
bool SetTextAt(HostStringArray& array, int32_t index, std::u16string_view text);

// Appends one element at the end, growing by the rule above.
bool AppendText(HostStringArray& array, std::u16string_view text);

// A HostString's text (empty for NULL) and its assignment (the old block is freed).
std::u16string_view TextOf(const HostString& string);
bool AssignText(HostString& string, std::u16string_view text);

}  // namespace korvan
