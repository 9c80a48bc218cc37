// The dialog in which the user describes one parameter channel to add. Its OK keeps
// the dialog open, saying why, while the number is one no drive parameter has. Its Cancel
// also takes two code words, typed into the number or the name field, that toggle
// option bits of the device's read mode and keep the dialog open.
#pragma once

#include <array>
#include <string>

#include "channels/channel_entry.h"
#include "platform/dialogs/dialog.h"
#include "platform/dialogs/dialog_list.h"

namespace korvan {

struct DeviceState;

class AddChannelDialog : public platform::Dialog {
public:
    explicit AddChannelDialog(DeviceState& configuration);

    ChannelEntry entry;  // the opener sets the starting values and reads the result after OK

protected:
    bool OnInitDialog() override;
    void DoDataExchange(platform::DataExchange& exchange) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void RefreshAddControls();

    DeviceState* configuration_;
    platform::DropDownList typeList_;
    platform::DropDownList conversionList_;
    std::array<std::u16string, 5> labels_;
    std::u16string spareText_;
};

}  // namespace korvan
