// The grid control a dialog embeds: a GridModel offered through IDispatch, property
// get and put by dispatch identifier, the way the host's own grid is driven. The
// window that embeds it owns it; references are counted but free nothing.
#pragma once

#include <cstdint>

#include "korvan/host_abi.h"
#include "platform/automation/automation_abi.h"
#include "platform/dialogs/grid_model.h"

namespace korvan::platform {

class GridControl final : private DispatchTarget {
public:
    GridControl() = default;
    GridControl(const GridControl&) = delete;
    GridControl& operator=(const GridControl&) = delete;

    IDispatch* Interface() { return object_.Interface(); }
    GridModel& Model() { return model_; }
    const GridModel& Model() const { return model_; }

private:
    uint32_t AddRef() override;
    uint32_t Release() override;
    int32_t IdOfName(std::u16string_view name, int32_t& dispid) override;
    int32_t Invoke(int32_t dispid, uint16_t flags, DISPPARAMS* params, VARIANT* result) override;
    int32_t Get(int32_t dispid, const DISPPARAMS& params, VARIANT* result) const;
    int32_t Put(int32_t dispid, const DISPPARAMS& params);

    uint32_t references_ = 1;
    GridModel model_;
    DispatchObject object_{*this};
};

}  // namespace korvan::platform
