#include "platform/automation/automation_driver.h"

#include <string>
#include <vector>

#include "platform/automation/automation_abi.h"
#include "platform/automation/variant.h"
#include "platform/automation/variant_change.h"

namespace korvan::platform {
namespace {

constexpr uint32_t kUserDefaultLocale = LOCALE_USER_DEFAULT_ID;

// Makes the argument variant that the parameter-type byte asks for; false when the
// value is not of that kind.
bool ToVariant(uint8_t type, const Argument& value, VARIANT& out) {
    out = VARIANT{};
    switch (type) {
        case kParamInteger:
            if (!std::holds_alternative<int32_t>(value)) return false;
            out = MakeIntegerVariant(std::get<int32_t>(value));
            return true;
        case kParamBoolean:
            if (!std::holds_alternative<bool>(value)) return false;
            out.vt = VT_BOOL;
            SetVariantValue<int16_t>(out, std::get<bool>(value) ? -1 : 0);  // VARIANT_TRUE
            return true;
        case kParamText:
            if (!std::holds_alternative<std::u16string_view>(value)) return false;
            out = MakeTextVariant(std::get<std::u16string_view>(value));
            return true;
        case kParamVariant:
            if (!std::holds_alternative<VARIANT*>(value) || std::get<VARIANT*>(value) == nullptr) return false;
            out = *std::get<VARIANT*>(value);  // shallow: the caller keeps what it owns
            return true;
        case kParamVariantPointer:
            if (!std::holds_alternative<VARIANT*>(value) || std::get<VARIANT*>(value) == nullptr) return false;
            out.vt = VT_VARIANT | VT_BYREF;
            SetVariantValue(out, std::get<VARIANT*>(value));
            return true;
        default:
            return false;
    }
}

}  // namespace

int32_t LookUpName(IDispatch* dispatch, std::u16string_view name, int32_t& dispid) {
    dispid = -1;
    if (dispatch == nullptr) return kNoObject;
    std::u16string terminated(name);
    return DispatchGetIdOfName(dispatch, terminated.data(), kUserDefaultLocale, dispid);
}

void AutomationDriver::AttachDispatch(IDispatch* dispatch, bool autoRelease) {
    ReleaseDispatch();
    dispatch_ = dispatch;
    autoRelease_ = autoRelease;
}

void AutomationDriver::ReleaseDispatch() {
    IDispatch* held = dispatch_;
    dispatch_ = nullptr;
    if (held != nullptr && autoRelease_) DispatchRelease(held);
}

int32_t AutomationDriver::InvokeHelper(int32_t dispid, uint16_t flags, VARIANT* result,
                                       std::string_view parameterTypes, std::span<const Argument> arguments) const {
    if (dispatch_ == nullptr) return kNoObject;
    if (parameterTypes.size() != arguments.size()) return kNoObject;
    const std::size_t count = arguments.size();
    // Arguments stand in reverse order: the last one first.
    std::vector<VARIANT> reversed(count);
    bool usable = true;
    for (std::size_t i = 0; i < count; ++i) {
        usable = ToVariant(static_cast<uint8_t>(parameterTypes[i]), arguments[i], reversed[count - 1 - i]) && usable;
    }
    int32_t code = kNoObject;
    if (usable) {
        DispatchId propertyPut = DISPID_PROPERTYPUT;
        const bool put = (flags & DISPATCH_PROPERTYPUT) != 0 && count > 0;
        DISPPARAMS params{reversed.data(), put ? &propertyPut : nullptr, static_cast<uint32_t>(count), put ? 1u : 0u};
        EXCEPINFO exception{};
        uint32_t argumentError = 0;
        VARIANT ignored{};
        code = DispatchInvoke(dispatch_, dispid, kUserDefaultLocale, flags, &params,
                              result != nullptr ? result : &ignored, &exception, &argumentError);
        if (result == nullptr) VariantClear(ignored);
        FreeBstr(AsUtf16(exception.bstrSource));
        FreeBstr(AsUtf16(exception.bstrDescription));
        FreeBstr(AsUtf16(exception.bstrHelpFile));
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (parameterTypes[count - 1 - i] == kParamText) VariantClear(reversed[i]);
    }
    return code;
}

int32_t AutomationDriver::GetIntegerProperty(int32_t dispid, int32_t fallback) const {
    VARIANT result{};
    const int32_t code = InvokeHelper(dispid, DISPATCH_PROPERTYGET, &result, {}, {});
    const int32_t value = Succeeded(code) && ChangeVariantType(result, VT_I4) ? VariantValue<int32_t>(result) : fallback;
    VariantClear(result);
    return value;
}

int32_t AutomationDriver::SetProperty(int32_t dispid, uint8_t parameterType, const Argument& value) const {
    const char types[] = {static_cast<char>(parameterType)};
    return InvokeHelper(dispid, DISPATCH_PROPERTYPUT, nullptr, std::string_view(types, 1), std::span(&value, 1));
}

}  // namespace korvan::platform
