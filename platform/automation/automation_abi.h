// The automation types of the host ABI as code on every system uses them: the value
// field of a VARIANT, calls through an IDispatch, and objects of this program's own
// offered through IDispatch. On Windows the types are the system's own (COM classes in
// C++), elsewhere the public header's C structures; each side is in
// automation_abi_posix.cpp or automation_abi_win.cpp.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>

#include "korvan/host_abi.h"

namespace korvan::platform {

// The value field of a variant: the 8 bytes after its type and reserved words.
void* VariantValueField(VARIANT& variant);
const void* VariantValueField(const VARIANT& variant);

// The value field read or written as T (int32_t for VT_I4, float, char16_t* for a
// BSTR, VARIANT* for a reference …).
template <class T>
T VariantValue(const VARIANT& variant) {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= 8);
    T value{};
    std::memcpy(&value, VariantValueField(variant), sizeof value);
    return value;
}

template <class T>
void SetVariantValue(VARIANT& variant, T value) {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= 8);
    std::memcpy(VariantValueField(variant), &value, sizeof value);
}

// A text of the ABI's 16-bit units (the system's wchar_t on Windows) as UTF-16, and back.
template <class Unit>
char16_t* AsUtf16(Unit* text) {
    static_assert(sizeof(Unit) == sizeof(char16_t));
    return reinterpret_cast<char16_t*>(text);
}
template <class Unit>
const char16_t* AsUtf16(const Unit* text) {
    static_assert(sizeof(Unit) == sizeof(char16_t));
    return reinterpret_cast<const char16_t*>(text);
}
inline KorvanChar* AsAbiText(char16_t* text) { return reinterpret_cast<KorvanChar*>(text); }

// The type of the named arguments' identifiers in DISPPARAMS (DISPID on Windows).
using DispatchId = std::remove_pointer_t<decltype(DISPPARAMS::rgdispidNamedArgs)>;

// Calls through an interface; nullptr is no object (0, or -1 for a result code).
uint32_t DispatchAddRef(IDispatch* dispatch);
uint32_t DispatchRelease(IDispatch* dispatch);
// GetIDsOfNames for one name with IID_NULL; its result code.
int32_t DispatchGetIdOfName(IDispatch* dispatch, char16_t* name, uint32_t locale, int32_t& dispid);
// Invoke with IID_NULL; its result code.
int32_t DispatchInvoke(IDispatch* dispatch, int32_t dispid, uint32_t locale, uint16_t flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, uint32_t* argumentError);

// What an object offered through IDispatch does when called. Its references are its
// own business: the interface only passes AddRef and Release on.
class DispatchTarget {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    // GetIDsOfNames for one name; a result code.
    virtual int32_t IdOfName(std::u16string_view name, int32_t& dispid) = 0;
    virtual int32_t Invoke(int32_t dispid, uint16_t flags, DISPPARAMS* params, VARIANT* result) = 0;

protected:
    ~DispatchTarget() = default;
};

// Offers a target through IDispatch for its own life: QueryInterface answers with the
// same interface for every identifier, and no type information is offered.
class DispatchObject {
public:
    explicit DispatchObject(DispatchTarget& target);
    ~DispatchObject();
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    IDispatch* Interface();

private:
    struct Shell;
    std::unique_ptr<Shell> shell_;
};

}  // namespace korvan::platform
