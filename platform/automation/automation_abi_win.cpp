// The system's automation types: a VARIANT's value is the union after its type, an
// IDispatch is a COM interface with __stdcall methods.
#include <windows.h>
#include <oleauto.h>

#include "platform/automation/automation_abi.h"

namespace korvan::platform {
namespace {

constexpr int32_t kNoObject = -1;
const GUID kIidNull{};

}  // namespace

void* VariantValueField(VARIANT& variant) { return &variant.llVal; }
const void* VariantValueField(const VARIANT& variant) { return &variant.llVal; }

uint32_t DispatchAddRef(IDispatch* dispatch) { return dispatch != nullptr ? dispatch->AddRef() : 0; }

uint32_t DispatchRelease(IDispatch* dispatch) { return dispatch != nullptr ? dispatch->Release() : 0; }

int32_t DispatchGetIdOfName(IDispatch* dispatch, char16_t* name, uint32_t locale, int32_t& dispid) {
    if (dispatch == nullptr) return kNoObject;
    LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(name)};
    DISPID found = dispid;
    const HRESULT code = dispatch->GetIDsOfNames(kIidNull, names, 1, locale, &found);
    dispid = found;
    return code;
}

int32_t DispatchInvoke(IDispatch* dispatch, int32_t dispid, uint32_t locale, uint16_t flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, uint32_t* argumentError) {
    if (dispatch == nullptr) return kNoObject;
    UINT error = argumentError != nullptr ? *argumentError : 0;
    const HRESULT code = dispatch->Invoke(dispid, kIidNull, locale, flags, params, result, exception, &error);
    if (argumentError != nullptr) *argumentError = error;
    return code;
}

struct DispatchObject::Shell final : public IDispatch {
    explicit Shell(DispatchTarget& owner) : target(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = static_cast<IDispatch*>(this);
        target.AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return target.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return target.Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override {
        if (names == nullptr || dispids == nullptr || count == 0 || names[0] == nullptr) return DISP_E_UNKNOWNNAME;
        int32_t dispid = dispids[0];
        const int32_t code = target.IdOfName(AsUtf16(names[0]), dispid);
        dispids[0] = dispid;
        return code;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        return target.Invoke(dispid, flags, params, result);
    }

    DispatchTarget& target;
};

DispatchObject::DispatchObject(DispatchTarget& target) : shell_(std::make_unique<Shell>(target)) {}

DispatchObject::~DispatchObject() = default;

IDispatch* DispatchObject::Interface() { return shell_.get(); }

}  // namespace korvan::platform
