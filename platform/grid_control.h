// The grid control a dialog embeds: a GridModel offered through IDispatch, property
// get and put by dispatch identifier, the way the host's own grid is driven. The
// window that embeds it owns it; references are counted but free nothing.
#pragma once

#include <cstdint>

#include "korvan/host_abi.h"
#include "platform/grid_model.h"

namespace korvan::platform {

class GridControl {
public:
    GridControl();
    GridControl(const GridControl&) = delete;
    GridControl& operator=(const GridControl&) = delete;

    IDispatch* Interface() { return &com_.base; }
    GridModel& Model() { return model_; }
    const GridModel& Model() const { return model_; }

private:
    struct Com {
        IDispatch base;
        GridControl* self;
    };
    static GridControl& From(IDispatch* dispatch);
    static int32_t KORVAN_STDCALL QueryInterface(IDispatch*, const GUID*, void**);
    static uint32_t KORVAN_STDCALL AddRef(IDispatch*);
    static uint32_t KORVAN_STDCALL Release(IDispatch*);
    static int32_t KORVAN_STDCALL GetTypeInfoCount(IDispatch*, uint32_t*);
    static int32_t KORVAN_STDCALL GetTypeInfo(IDispatch*, uint32_t, uint32_t, void**);
    static int32_t KORVAN_STDCALL GetIDsOfNames(IDispatch*, const GUID*, char16_t**, uint32_t, uint32_t, int32_t*);
    static int32_t KORVAN_STDCALL Invoke(IDispatch*, int32_t, const GUID*, uint32_t, uint16_t, DISPPARAMS*, VARIANT*,
                                         EXCEPINFO*, uint32_t*);
    int32_t Get(int32_t dispid, const DISPPARAMS& params, VARIANT* result) const;
    int32_t Put(int32_t dispid, const DISPPARAMS& params);

    static const IDispatchVtbl kVtbl;
    Com com_;
    uint32_t references_ = 1;
    GridModel model_;
};

}  // namespace korvan::platform
