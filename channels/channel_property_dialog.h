// The dialog in which the user sees a device's channels in a grid, adds parameter
// channels and deletes them one by one or all at once. It edits the device's
// channel table in place; the four fixed channels cannot be deleted.
#pragma once

#include <cstdint>

#include "channels/zelk_grid.h"
#include "platform/dialogs/dialog.h"

namespace korvan {

struct DeviceState;

class ChannelPropertyDialog : public platform::Dialog {
public:
    explicit ChannelPropertyDialog(DeviceState& configuration);

protected:
    bool OnInitDialog() override;  // InitChannelDialog
    void OnDestroy() override { grid_.Detach(); }

private:
    void SetUpGrid();
    void FillGrid();
    void AddChannel();
    void DeleteChannel();
    void DeleteAllChannels();

    DeviceState* configuration_;
    C_ZelkGrid grid_;
};

}  // namespace korvan
