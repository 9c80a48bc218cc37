#include "tools/hostkit/host_automation.h"

#include <cmath>
#include <limits>
#include <string>

namespace hostkit {
namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kFalse = 1;  // S_FALSE, a success too
constexpr uint16_t kVtI2 = 2;
constexpr uint16_t kVtR8 = 5;
constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006);
constexpr int32_t kMemberNotFound = static_cast<int32_t>(0x80020003);
constexpr int32_t kBadParameterCount = static_cast<int32_t>(0x8002000E);
constexpr int32_t kException = static_cast<int32_t>(0x80020009);

enum Method : int32_t { kGetDataType = 1, kGetValueFromName = 2, kSetValueFromName = 3 };

using korvan::platform::SetVariantValue;
using korvan::platform::VariantValue;

std::u16string BstrText(const VARIANT& v) {
    const char16_t* text = VariantValue<char16_t*>(v);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

// The argument at position `index` (0 = first), arguments standing in reverse order.
VARIANT& Argument(DISPPARAMS& params, uint32_t index) { return params.rgvarg[params.cArgs - 1 - index]; }

int32_t ToInteger(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    if (value < -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// Writes `value` into `target` in the type that `target` already has.
void FillInItsType(const HostValue& value, VARIANT& target) {
    switch (target.vt) {
        case VT_I4:
            if (auto* i = std::get_if<int32_t>(&value)) SetVariantValue(target, *i);
            else if (auto* f = std::get_if<float>(&value)) SetVariantValue(target, ToInteger(*f));
            break;
        case VT_R4:
            if (auto* i = std::get_if<int32_t>(&value)) SetVariantValue(target, static_cast<float>(*i));
            else if (auto* f = std::get_if<float>(&value)) SetVariantValue(target, *f);
            break;
        case VT_BSTR:
            if (auto* t = std::get_if<std::u16string>(&value)) {
                FreeBstr(VariantValue<char16_t*>(target));
                SetVariantValue(target, AllocBstr(*t));
            }
            break;
        default:
            break;
    }
}

// Writes `value` into `target` in a type other than the one asked for.
void FillLoosely(const HostValue& value, VARIANT& target) {
    if (target.vt == VT_BSTR) FreeBstr(VariantValue<char16_t*>(target));
    target = VARIANT{};
    if (auto* i = std::get_if<int32_t>(&value)) {
        const std::string digits = std::to_string(*i);
        target.vt = VT_BSTR;
        SetVariantValue(target, AllocBstr(std::u16string(digits.begin(), digits.end())));
    } else if (auto* f = std::get_if<float>(&value)) {
        target.vt = kVtR8;
        SetVariantValue(target, static_cast<double>(*f));
    } else {
        target.vt = VT_BSTR;
        SetVariantValue(target, AllocBstr(std::get<std::u16string>(value)));
    }
}

// The variant's value in the variable's own type.
HostValue InTypeOf(const HostValue& variable, const VARIANT& v) {
    if (std::holds_alternative<std::u16string>(variable)) {
        return v.vt == VT_BSTR ? HostValue(BstrText(v)) : variable;
    }
    float number = 0.0f;
    if (v.vt == VT_I4) number = static_cast<float>(VariantValue<int32_t>(v));
    else if (v.vt == VT_R4) number = VariantValue<float>(v);
    else return variable;
    if (std::holds_alternative<int32_t>(variable)) return v.vt == VT_I4 ? HostValue(VariantValue<int32_t>(v)) : HostValue(ToInteger(number));
    return HostValue(number);
}

}  // namespace

IDispatch* HostAutomationObject::HandOut() {
    AddRef();
    return Interface();
}

void HostAutomationObject::Declare(const std::u16string& name, HostValue value) { variables_[name] = std::move(value); }

std::optional<HostValue> HostAutomationObject::Value(const std::u16string& name) const {
    const auto found = variables_.find(name);
    if (found == variables_.end()) return std::nullopt;
    return found->second;
}

int32_t HostAutomationObject::DataTypeOf(const std::u16string& name) const {
    const auto found = variables_.find(name);
    if (found == variables_.end()) return 0;
    return static_cast<int32_t>(found->second.index()) + 1;
}

uint32_t HostAutomationObject::AddRef() {
    const std::lock_guard lock(calls_);
    ++counts_.addRef;
    return ++references_;
}

uint32_t HostAutomationObject::Release() {
    const std::lock_guard lock(calls_);
    ++counts_.release;
    return references_ > 0 ? --references_ : 0;
}

int32_t HostAutomationObject::IdOfName(std::u16string_view name, int32_t& dispid) {
    const std::lock_guard lock(calls_);
    ++counts_.lookups;
    dispid = name == u"GetDataType"        ? kGetDataType
             : name == u"GetValueFromName" ? kGetValueFromName
             : name == u"SetValueFromName" ? kSetValueFromName
                                           : -1;
    return dispid == -1 ? kUnknownName : kOk;
}

int32_t HostAutomationObject::Invoke(int32_t dispid, uint16_t flags, DISPPARAMS* params, VARIANT* result) {
    const std::lock_guard lock(calls_);
    if (failInvokes_) return kException;
    if ((flags & DISPATCH_METHOD) == 0 || params == nullptr) return kMemberNotFound;
    return Call(dispid, *params, result);
}

int32_t HostAutomationObject::Call(int32_t dispid, DISPPARAMS& params, VARIANT* result) {
    const uint32_t wanted = dispid == kGetDataType ? 1 : 2;
    if (dispid < kGetDataType || dispid > kSetValueFromName) return kMemberNotFound;
    if (params.cArgs != wanted || params.rgvarg == nullptr) return kBadParameterCount;
    const std::u16string name = BstrText(Argument(params, 0));
    int32_t answer = 0;
    if (dispid == kGetDataType) {
        ++counts_.getDataType;
        answer = DataTypeOf(name);
    } else if (dispid == kGetValueFromName) {
        ++counts_.getValue;
        VARIANT& slot = Argument(params, 1);
        VARIANT* target = slot.vt == (VT_VARIANT | VT_BYREF) ? VariantValue<VARIANT*>(slot) : &slot;
        const auto found = variables_.find(name);
        if (found != variables_.end() && target != nullptr) {
            if (loose_) FillLoosely(found->second, *target);
            else FillInItsType(found->second, *target);
        }
        answer = found != variables_.end() ? 1 : 0;
    } else {
        ++counts_.setValue;
        const auto found = variables_.find(name);
        if (found != variables_.end()) found->second = InTypeOf(found->second, Argument(params, 1));
        answer = found != variables_.end() ? 1 : 0;
    }
    if (result != nullptr && loose_) {
        result->vt = kVtI2;
        SetVariantValue<int64_t>(*result, static_cast<int16_t>(answer) & 0xFFFF);  // the low 16 bits of the union
    } else if (result != nullptr) {
        result->vt = VT_I4;
        SetVariantValue(*result, answer);
    }
    return loose_ ? kFalse : kOk;
}

}  // namespace hostkit
