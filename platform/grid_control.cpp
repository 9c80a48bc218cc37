#include "platform/grid_control.h"

#include "platform/grid_dispatch.h"
#include "platform/variant.h"

namespace korvan::platform {
namespace {

using namespace grid;

constexpr int32_t kOk = 0;
constexpr int32_t kNotImplemented = static_cast<int32_t>(0x80004001);
constexpr int32_t kNoInterface = static_cast<int32_t>(0x80004002);
constexpr int32_t kMemberNotFound = static_cast<int32_t>(0x80020003);
constexpr int32_t kParameterNotFound = static_cast<int32_t>(0x80020004);
constexpr int32_t kTypeMismatch = static_cast<int32_t>(0x80020005);
constexpr int32_t kUnknownName = static_cast<int32_t>(0x80020006);
constexpr int32_t kBadParameterCount = static_cast<int32_t>(0x8002000E);
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);

// How many index arguments a put takes in front of its value; -1 for no such property.
int32_t IndexCount(int32_t dispid) {
    switch (dispid) {
        case kFixedAlignment:
        case kColAlignment:
        case kColWidth:
            return 1;
        case kText:
        case kRowHeightMin:
        case kRedraw:
        case kCol:
        case kRow:
        case kCols:
        case kRows:
            return 0;
        default:
            return -1;
    }
}

bool ToInteger(const VARIANT& v, int32_t& out) {
    if (v.vt != VT_I4) return false;
    out = v.u.lVal;
    return true;
}

bool ToBoolean(const VARIANT& v, bool& out) {
    if (v.vt != VT_BOOL && v.vt != VT_I4) return false;
    out = v.u.lVal != 0;
    return true;
}

int32_t PutText(GridModel& model, const VARIANT& value) {
    if (value.vt != VT_BSTR) return kTypeMismatch;
    model.SetText(BstrText(value.u.bstrVal));
    return kOk;
}

int32_t PutRedraw(GridModel& model, const VARIANT& value) {
    bool on = false;
    if (!ToBoolean(value, on)) return kTypeMismatch;
    model.SetRedraw(on);
    return kOk;
}

bool PutNumber(GridModel& model, int32_t dispid, int32_t index, int32_t number) {
    switch (dispid) {
        case kRows: return model.SetRows(number);
        case kCols: return model.SetCols(number);
        case kRow: return model.SetRow(number);
        case kCol: return model.SetCol(number);
        case kRowHeightMin: return model.SetRowHeightMin(number);
        case kColWidth: return model.SetColWidth(index, number);
        case kColAlignment: return model.SetColAlignment(index, number);
        default: return model.SetFixedAlignment(index, number);
    }
}

}  // namespace

const IDispatchVtbl GridControl::kVtbl = {
    &GridControl::QueryInterface, &GridControl::AddRef,        &GridControl::Release, &GridControl::GetTypeInfoCount,
    &GridControl::GetTypeInfo,    &GridControl::GetIDsOfNames, &GridControl::Invoke,
};

GridControl::GridControl() : com_{{&kVtbl}, this} {}

GridControl& GridControl::From(IDispatch* dispatch) { return *reinterpret_cast<Com*>(dispatch)->self; }

int32_t GridControl::QueryInterface(IDispatch* self, const GUID*, void** out) {
    if (out == nullptr) return kNoInterface;
    *out = self;
    AddRef(self);
    return kOk;
}

uint32_t GridControl::AddRef(IDispatch* self) { return ++From(self).references_; }

uint32_t GridControl::Release(IDispatch* self) {
    GridControl& control = From(self);
    return control.references_ > 1 ? --control.references_ : 1;
}

int32_t GridControl::GetTypeInfoCount(IDispatch*, uint32_t* count) {
    if (count != nullptr) *count = 0;
    return kOk;
}

int32_t GridControl::GetTypeInfo(IDispatch*, uint32_t, uint32_t, void**) { return kNotImplemented; }

int32_t GridControl::GetIDsOfNames(IDispatch*, const GUID*, char16_t**, uint32_t, uint32_t, int32_t*) {
    return kUnknownName;  // driven by dispatch identifier only
}

int32_t GridControl::Invoke(IDispatch* self, int32_t dispid, const GUID*, uint32_t, uint16_t flags,
                            DISPPARAMS* params, VARIANT* result, EXCEPINFO*, uint32_t*) {
    const DISPPARAMS none{};
    const DISPPARAMS& arguments = params != nullptr ? *params : none;
    if (arguments.cArgs > 0 && arguments.rgvarg == nullptr) return kBadParameterCount;
    if ((flags & DISPATCH_PROPERTYPUT) != 0) return From(self).Put(dispid, arguments);
    if ((flags & DISPATCH_PROPERTYGET) != 0) return From(self).Get(dispid, arguments, result);
    return kMemberNotFound;
}

int32_t GridControl::Get(int32_t dispid, const DISPPARAMS& params, VARIANT* result) const {
    if (dispid != kRows && dispid != kRow) return kMemberNotFound;
    if (params.cArgs != 0) return kBadParameterCount;
    if (result != nullptr) {
        VariantClear(*result);
        *result = MakeIntegerVariant(dispid == kRows ? model_.Rows() : model_.Row());
    }
    return kOk;
}

int32_t GridControl::Put(int32_t dispid, const DISPPARAMS& params) {
    const int32_t indexCount = IndexCount(dispid);
    if (indexCount < 0) return kMemberNotFound;
    if (params.cNamedArgs != 1 || params.rgdispidNamedArgs == nullptr ||
        params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return kParameterNotFound;
    }
    if (params.cArgs != static_cast<uint32_t>(indexCount) + 1) return kBadParameterCount;
    const VARIANT& value = params.rgvarg[0];  // the named value stands first, the index after it
    if (dispid == kText) return PutText(model_, value);
    if (dispid == kRedraw) return PutRedraw(model_, value);
    int32_t index = 0;
    int32_t number = 0;
    if ((indexCount == 1 && !ToInteger(params.rgvarg[1], index)) || !ToInteger(value, number)) return kTypeMismatch;
    return PutNumber(model_, dispid, index, number) ? kOk : kInvalidArgument;
}

}  // namespace korvan::platform
