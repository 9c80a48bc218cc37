// A client of a host automation object: holds one IDispatch, releases it when told
// to or when destroyed (if it was attached with auto-release), looks names up and
// invokes by dispatch identifier with arguments described by parameter-type bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "korvan/host_abi.h"

namespace korvan::platform {

// Parameter-type bytes of the automation calling convention.
enum ParameterType : uint8_t {
    kParamInteger = 0x03,        // VT_I4, from an int32_t
    kParamText = 0x08,           // VT_BSTR, from a text (a BSTR is made for the call)
    kParamBoolean = 0x0B,        // VT_BOOL, from a bool
    kParamVariant = 0x0C,        // a VARIANT passed by value, from a VARIANT*
    kParamVariantPointer = 0x4C  // VT_VARIANT | VT_BYREF, from a VARIANT* the callee writes into
};

using Argument = std::variant<int32_t, bool, std::u16string_view, VARIANT*>;

inline constexpr int32_t kNoObject = -1;  // an invocation without an interface to call

// Looks `name` up on `dispatch` (IID_NULL, one name, the user default locale); returns
// the look-up's result code, and -1 in dispid when there is no object.
int32_t LookUpName(IDispatch* dispatch, std::u16string_view name, int32_t& dispid);

class AutomationDriver {
public:
    AutomationDriver() = default;
    ~AutomationDriver() { ReleaseDispatch(); }
    AutomationDriver(const AutomationDriver&) = delete;
    AutomationDriver& operator=(const AutomationDriver&) = delete;

    // Releases what is held, then takes over `dispatch` without adding a reference.
    void AttachDispatch(IDispatch* dispatch, bool autoRelease = true);
    // Releases the held interface (when attached with auto-release) and forgets it.
    void ReleaseDispatch();
    // Forgets the held interface without calling it.
    void ForgetDispatch() { dispatch_ = nullptr; }
    IDispatch* Dispatch() const { return dispatch_; }

    // Invokes with the arguments in call order, typed by `parameterTypes` (one byte per
    // argument). A property put passes its last argument as the named DISPID_PROPERTYPUT.
    // The result (when wanted) is left in `result` for the caller to read and clear.
    // Returns Invoke's result code (any code that is not negative is a success);
    // kNoObject without an interface or for arguments that do not match their types.
    int32_t InvokeHelper(int32_t dispid, uint16_t flags, VARIANT* result, std::string_view parameterTypes,
                         std::span<const Argument> arguments) const;
    // A 32-bit property (an answer of another type converted to it), or `fallback`
    // when the call fails or its answer cannot be converted.
    int32_t GetIntegerProperty(int32_t dispid, int32_t fallback = 0) const;
    int32_t SetProperty(int32_t dispid, uint8_t parameterType, const Argument& value) const;

private:
    IDispatch* dispatch_ = nullptr;
    bool autoRelease_ = false;
};

}  // namespace korvan::platform
