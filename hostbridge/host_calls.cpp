#include "hostbridge/host_calls.h"

#include <array>

#include "driver/process_objects.h"
#include "platform/automation/automation_abi.h"
#include "platform/automation/variant.h"
#include "platform/automation/variant_change.h"

namespace korvan {
namespace {

using platform::Argument;

constexpr char kNameOnly[] = {platform::kParamText, 0};
constexpr char kNameAndPointer[] = {platform::kParamText, static_cast<char>(platform::kParamVariantPointer), 0};
constexpr char kNameAndValue[] = {platform::kParamText, platform::kParamVariant, 0};

// Looks the method up (its result code is not examined) and invokes it; the host's
// answer as a 32-bit integer, or nothing when the call failed. Like every answer of
// the host, it is taken in whatever type the host gives it, converted as the
// automation driver converts.
struct CallResult {
    bool done = false;
    int32_t status = 0;
};

CallResult CallMethod(std::u16string_view method, std::string_view types, std::span<const Argument> arguments) {
    const HostRunObjectType& host = HostRunObject();
    int32_t dispid = -1;
    platform::LookUpName(host.lookup, method, dispid);
    VARIANT result{};
    const int32_t code = host.driver.InvokeHelper(dispid, DISPATCH_METHOD, &result, types, arguments);
    const bool done = platform::Succeeded(code);
    CallResult call{done, done && platform::ChangeVariantType(result, VT_I4) ? platform::VariantValue<int32_t>(result) : 0};
    platform::VariantClear(result);
    return call;
}

// GetValueFromName with the variant the caller prepared; false when the call failed.
bool GetValue(std::u16string_view name, VARIANT& value, int32_t& status) {
    const std::array<Argument, 2> arguments{name, &value};
    const CallResult call = CallMethod(u"GetValueFromName", kNameAndPointer, arguments);
    status = call.status;
    return call.done;
}

int32_t SetValue(std::u16string_view name, VARIANT value) {
    const std::array<Argument, 2> arguments{name, &value};
    const int32_t status = CallMethod(u"SetValueFromName", kNameAndValue, arguments).status;
    platform::VariantClear(value);
    return status;
}

}  // namespace

int32_t GetDataType(std::u16string_view name) {
    const std::array<Argument, 1> arguments{name};
    const CallResult call = CallMethod(u"GetDataType", kNameOnly, arguments);
    return call.done ? call.status : 0;
}

int32_t GetHostInteger(std::u16string_view name, int32_t& value) {
    VARIANT variant = platform::MakeIntegerVariant(value);
    int32_t status = 0;
    if (GetValue(name, variant, status) && platform::ChangeVariantType(variant, VT_I4)) value = platform::VariantValue<int32_t>(variant);
    platform::VariantClear(variant);
    return status;
}

int32_t GetHostFloat(std::u16string_view name, float& value) {
    VARIANT variant = platform::MakeFloatVariant(value);
    int32_t status = 0;
    if (GetValue(name, variant, status) && platform::ChangeVariantType(variant, VT_R4)) value = platform::VariantValue<float>(variant);
    platform::VariantClear(variant);
    return status;
}

int32_t GetHostText(std::u16string_view name, std::u16string& value) {
    VARIANT variant = platform::MakeTextVariant(value);
    int32_t status = 0;
    if (GetValue(name, variant, status) && platform::ChangeVariantType(variant, VT_BSTR)) {
        value = platform::BstrText(platform::VariantValue<char16_t*>(variant));
    }
    platform::VariantClear(variant);
    return status;
}

int32_t SetHostInteger(std::u16string_view name, int32_t value) {
    return SetValue(name, platform::MakeIntegerVariant(value));
}

int32_t SetHostFloat(std::u16string_view name, float value) { return SetValue(name, platform::MakeFloatVariant(value)); }

int32_t SetHostText(std::u16string_view name, std::u16string_view value) {
    return SetValue(name, platform::MakeTextVariant(value));
}

}  // namespace korvan
