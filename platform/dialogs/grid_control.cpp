#include "platform/dialogs/grid_control.h"

#include "platform/dialogs/grid_dispatch.h"
#include "platform/automation/variant.h"

namespace korvan::platform {
namespace {

using namespace grid;

constexpr int32_t kOk = 0;
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
    out = VariantValue<int32_t>(v);
    return true;
}

bool ToBoolean(const VARIANT& v, bool& out) {
    if (v.vt == VT_BOOL) out = VariantValue<int16_t>(v) != 0;
    else if (v.vt == VT_I4) out = VariantValue<int32_t>(v) != 0;
    else return false;
    return true;
}

int32_t PutText(GridModel& model, const VARIANT& value) {
    if (value.vt != VT_BSTR) return kTypeMismatch;
    model.SetText(BstrText(VariantValue<char16_t*>(value)));
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

uint32_t GridControl::AddRef() { return ++references_; }

uint32_t GridControl::Release() { return references_ > 1 ? --references_ : 1; }

int32_t GridControl::IdOfName(std::u16string_view, int32_t&) {
    return kUnknownName;  // driven by dispatch identifier only
}

int32_t GridControl::Invoke(int32_t dispid, uint16_t flags, DISPPARAMS* params, VARIANT* result) {
    const DISPPARAMS none{};
    const DISPPARAMS& arguments = params != nullptr ? *params : none;
    if (arguments.cArgs > 0 && arguments.rgvarg == nullptr) return kBadParameterCount;
    if ((flags & DISPATCH_PROPERTYPUT) != 0) return Put(dispid, arguments);
    if ((flags & DISPATCH_PROPERTYGET) != 0) return Get(dispid, arguments, result);
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
