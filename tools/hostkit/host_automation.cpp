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
constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002);
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);
constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006);
constexpr int32_t kMemberNotFound = static_cast<int32_t>(0x80020003);
constexpr int32_t kBadParameterCount = static_cast<int32_t>(0x8002000E);
constexpr int32_t kException = static_cast<int32_t>(0x80020009);

enum Method : int32_t { kGetDataType = 1, kGetValueFromName = 2, kSetValueFromName = 3 };

std::u16string BstrText(const VARIANT& v) { return v.u.bstrVal ? std::u16string(v.u.bstrVal) : std::u16string(); }

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
            if (auto* i = std::get_if<int32_t>(&value)) target.u.lVal = *i;
            else if (auto* f = std::get_if<float>(&value)) target.u.lVal = ToInteger(*f);
            break;
        case VT_R4:
            if (auto* i = std::get_if<int32_t>(&value)) target.u.fltVal = static_cast<float>(*i);
            else if (auto* f = std::get_if<float>(&value)) target.u.fltVal = *f;
            break;
        case VT_BSTR:
            if (auto* t = std::get_if<std::u16string>(&value)) {
                FreeBstr(target.u.bstrVal);
                target.u.bstrVal = AllocBstr(*t);
            }
            break;
        default:
            break;
    }
}

// Writes `value` into `target` in a type other than the one asked for.
void FillLoosely(const HostValue& value, VARIANT& target) {
    if (target.vt == VT_BSTR) FreeBstr(target.u.bstrVal);
    target = VARIANT{};
    if (auto* i = std::get_if<int32_t>(&value)) {
        const std::string digits = std::to_string(*i);
        target.vt = VT_BSTR;
        target.u.bstrVal = AllocBstr(std::u16string(digits.begin(), digits.end()));
    } else if (auto* f = std::get_if<float>(&value)) {
        target.vt = kVtR8;
        target.u.dblVal = *f;
    } else {
        target.vt = VT_BSTR;
        target.u.bstrVal = AllocBstr(std::get<std::u16string>(value));
    }
}

// The variant's value in the variable's own type.
HostValue InTypeOf(const HostValue& variable, const VARIANT& v) {
    if (std::holds_alternative<std::u16string>(variable)) {
        return v.vt == VT_BSTR ? HostValue(BstrText(v)) : variable;
    }
    float number = 0.0f;
    if (v.vt == VT_I4) number = static_cast<float>(v.u.lVal);
    else if (v.vt == VT_R4) number = v.u.fltVal;
    else return variable;
    if (std::holds_alternative<int32_t>(variable)) return v.vt == VT_I4 ? HostValue(v.u.lVal) : HostValue(ToInteger(number));
    return HostValue(number);
}

}  // namespace

const IDispatchVtbl HostAutomationObject::kVtbl = {
    &HostAutomationObject::QueryInterface, &HostAutomationObject::AddRef, &HostAutomationObject::Release,
    &HostAutomationObject::GetTypeInfoCount, &HostAutomationObject::GetTypeInfo,
    &HostAutomationObject::GetIDsOfNames, &HostAutomationObject::Invoke,
};

HostAutomationObject::HostAutomationObject() : com_{{&kVtbl}, this} {}

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

HostAutomationObject& HostAutomationObject::From(IDispatch* dispatch) {
    return *reinterpret_cast<Com*>(dispatch)->self;
}

int32_t HostAutomationObject::QueryInterface(IDispatch* self, const GUID*, void** out) {
    if (out == nullptr) return kNoInterface;
    *out = self;
    AddRef(self);
    return kOk;
}

uint32_t HostAutomationObject::AddRef(IDispatch* self) {
    HostAutomationObject& object = From(self);
    const std::lock_guard lock(object.calls_);
    ++object.counts_.addRef;
    return ++object.references_;
}

uint32_t HostAutomationObject::Release(IDispatch* self) {
    HostAutomationObject& object = From(self);
    const std::lock_guard lock(object.calls_);
    ++object.counts_.release;
    return object.references_ > 0 ? --object.references_ : 0;
}

int32_t HostAutomationObject::GetTypeInfoCount(IDispatch*, uint32_t* count) {
    if (count != nullptr) *count = 0;
    return kOk;
}

int32_t HostAutomationObject::GetTypeInfo(IDispatch*, uint32_t, uint32_t, void**) { return kNotImplemented; }

int32_t HostAutomationObject::GetIDsOfNames(IDispatch* self, const GUID*, char16_t** names, uint32_t count,
                                            uint32_t, int32_t* dispids) {
    const std::lock_guard lock(From(self).calls_);
    ++From(self).counts_.lookups;
    if (names == nullptr || dispids == nullptr || count == 0 || names[0] == nullptr) return kUnknownName;
    const std::u16string name(names[0]);
    dispids[0] = name == u"GetDataType"        ? kGetDataType
                 : name == u"GetValueFromName" ? kGetValueFromName
                 : name == u"SetValueFromName" ? kSetValueFromName
                                               : -1;
    return dispids[0] == -1 ? kUnknownName : kOk;
}

int32_t HostAutomationObject::Invoke(IDispatch* self, int32_t dispid, const GUID*, uint32_t, uint16_t flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO*, uint32_t*) {
    HostAutomationObject& object = From(self);
    const std::lock_guard lock(object.calls_);
    if (object.failInvokes_) return kException;
    if ((flags & DISPATCH_METHOD) == 0 || params == nullptr) return kMemberNotFound;
    return object.Call(dispid, *params, result);
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
        VARIANT* target = slot.vt == (VT_VARIANT | VT_BYREF) ? slot.u.pvarVal : &slot;
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
        result->u.llVal = 0;
        result->u.lVal = static_cast<int16_t>(answer) & 0xFFFF;  // the low 16 bits of the union
    } else if (result != nullptr) {
        result->vt = VT_I4;
        result->u.lVal = answer;
    }
    return loose_ ? kFalse : kOk;
}

}  // namespace hostkit
