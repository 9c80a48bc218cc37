// The public header's automation structures: a VARIANT's value is its member u, an
// IDispatch is a pointer to a table of C functions.
#include "platform/automation/automation_abi.h"

namespace korvan::platform {
namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kNoObject = -1;
constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006);
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);
constexpr int32_t kPointer = static_cast<int32_t>(0x80004003);
constexpr GUID kIidNull{};

}  // namespace

void* VariantValueField(VARIANT& variant) { return &variant.u; }
const void* VariantValueField(const VARIANT& variant) { return &variant.u; }

uint32_t DispatchAddRef(IDispatch* dispatch) {
    if (dispatch == nullptr || dispatch->vtbl == nullptr || dispatch->vtbl->AddRef == nullptr) return 0;
    return dispatch->vtbl->AddRef(dispatch);
}

uint32_t DispatchRelease(IDispatch* dispatch) {
    if (dispatch == nullptr || dispatch->vtbl == nullptr || dispatch->vtbl->Release == nullptr) return 0;
    return dispatch->vtbl->Release(dispatch);
}

int32_t DispatchGetIdOfName(IDispatch* dispatch, char16_t* name, uint32_t locale, int32_t& dispid) {
    if (dispatch == nullptr || dispatch->vtbl == nullptr || dispatch->vtbl->GetIDsOfNames == nullptr) return kNoObject;
    char16_t* names[] = {name};
    return dispatch->vtbl->GetIDsOfNames(dispatch, &kIidNull, names, 1, locale, &dispid);
}

int32_t DispatchInvoke(IDispatch* dispatch, int32_t dispid, uint32_t locale, uint16_t flags, DISPPARAMS* params,
                       VARIANT* result, EXCEPINFO* exception, uint32_t* argumentError) {
    if (dispatch == nullptr || dispatch->vtbl == nullptr || dispatch->vtbl->Invoke == nullptr) return kNoObject;
    return dispatch->vtbl->Invoke(dispatch, dispid, &kIidNull, locale, flags, params, result, exception,
                                  argumentError);
}

// The interface first, so that the interface pointer is the shell's.
struct DispatchObject::Shell {
    static Shell& From(IDispatch* self) { return *reinterpret_cast<Shell*>(self); }

    static int32_t QueryInterface(IDispatch* self, const GUID*, void** out) {
        if (out == nullptr) return kPointer;
        *out = self;
        From(self).target->AddRef();
        return kOk;
    }
    static uint32_t AddRef(IDispatch* self) { return From(self).target->AddRef(); }
    static uint32_t Release(IDispatch* self) { return From(self).target->Release(); }
    static int32_t GetTypeInfoCount(IDispatch*, uint32_t* count) {
        if (count != nullptr) *count = 0;
        return kOk;
    }
    static int32_t GetTypeInfo(IDispatch*, uint32_t, uint32_t, void**) { return kNotImplemented; }
    static int32_t GetIDsOfNames(IDispatch* self, const GUID*, char16_t** names, uint32_t count, uint32_t,
                                 int32_t* dispids) {
        if (names == nullptr || dispids == nullptr || count == 0 || names[0] == nullptr) return kUnknownName;
        return From(self).target->IdOfName(names[0], dispids[0]);
    }
    static int32_t Invoke(IDispatch* self, int32_t dispid, const GUID*, uint32_t, uint16_t flags, DISPPARAMS* params,
                          VARIANT* result, EXCEPINFO*, uint32_t*) {
        return From(self).target->Invoke(dispid, flags, params, result);
    }

    static constexpr IDispatchVtbl kVtbl = {&QueryInterface, &AddRef,        &Release, &GetTypeInfoCount,
                                            &GetTypeInfo,    &GetIDsOfNames, &Invoke};
    IDispatch base{&kVtbl};
    DispatchTarget* target = nullptr;
};

DispatchObject::DispatchObject(DispatchTarget& target) : shell_(std::make_unique<Shell>()) { shell_->target = &target; }

DispatchObject::~DispatchObject() = default;

IDispatch* DispatchObject::Interface() { return &shell_->base; }

}  // namespace korvan::platform
