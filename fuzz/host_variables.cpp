#include "fuzz/host_variables.h"

#include <bit>
#include <limits>
#include <string>

#include "driver/process_objects.h"

namespace korvanfuzz {

HostVariables::HostVariables(bool failInvokes) {
    object_.Declare(u"I", int32_t{7});
    object_.Declare(u"N", std::numeric_limits<int32_t>::min());
    object_.Declare(u"F", 1.5f);
    object_.Declare(u"G", std::numeric_limits<float>::max());
    object_.Declare(u"Q", std::numeric_limits<float>::quiet_NaN());
    object_.Declare(u"T", std::u16string(u"文本 text"));
    object_.Declare(u"E", std::u16string());
    object_.Declare(u"变量", int32_t{-42});
    object_.Declare(u"文本", std::u16string(u"VLT 5000"));
    object_.FailInvokes(failInvokes);
    korvan::HostRunObject().lookup = object_.Interface();
    korvan::HostRunObject().driver.AttachDispatch(object_.Interface(), false);
}

HostVariables::~HostVariables() {
    korvan::HostRunObject().driver.ReleaseDispatch();
    korvan::HostRunObject().lookup = nullptr;
}

std::optional<hostkit::HostValue> HostVariables::Value(std::u16string_view name) const {
    return object_.Value(std::u16string(name.substr(0, name.find(u'\0'))));
}

bool SameValue(const std::optional<hostkit::HostValue>& a, const std::optional<hostkit::HostValue>& b) {
    if (!a || !b) return a.has_value() == b.has_value();
    const float* x = std::get_if<float>(&*a);
    const float* y = std::get_if<float>(&*b);
    if (x != nullptr && y != nullptr) return std::bit_cast<uint32_t>(*x) == std::bit_cast<uint32_t>(*y);
    return *a == *b;
}

}  // namespace korvanfuzz
