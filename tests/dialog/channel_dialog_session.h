// A headless session with the channel property dialog on a device state of our
// making: the scripted user acts, the dialog runs as it would on screen.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "channels/channel_property_dialog.h"
#include "driver/device_state.h"
#include "platform/dialogs/dialog_backend.h"
#include "resources/dialog_ids.h"
#include "tests/dialog/scripted_user.h"
#include "tests/support/channel_builders.h"

namespace korvan::testing {

namespace id = resources::control;
using platform::HeadlessWindow;

// What the user enters in the add-channel dialog; fields left unset are not touched.
struct Entry {
    std::u16string number;
    std::u16string name;
    std::optional<int32_t> type = std::nullopt;
    std::optional<int32_t> conversion = std::nullopt;
    std::optional<int32_t> access = std::nullopt;
    bool toggleRetain = false;
    int32_t press = platform::kIdOk;
};

inline ScriptedUser::Act Fill(Entry entry) {
    return [entry](HeadlessWindow& w) {
        bool done = w.Type(id::kNumberField, entry.number) && w.Type(id::kNameField, entry.name);
        if (entry.conversion) done = done && w.Pick(id::kConversionList, *entry.conversion);
        if (entry.access) done = done && w.Click(id::kAccessType + *entry.access);
        if (entry.toggleRetain) done = done && w.Click(id::kRetain);
        if (entry.type) done = done && w.Pick(id::kTypeList, *entry.type);
        EXPECT_TRUE(done && w.Click(entry.press)) << "the add dialog refused an action";
    };
}

// The grid's texts, row by row.
inline std::vector<std::vector<std::u16string>> Cells(const HeadlessWindow& w) {
    const platform::GridModel& grid = *w.Grid(id::kGrid);
    std::vector<std::vector<std::u16string>> cells(grid.Rows());
    for (int32_t r = 0; r < grid.Rows(); ++r) {
        for (int32_t c = 0; c < grid.Cols(); ++c) cells[r].push_back(grid.Cell(r, c));
    }
    return cells;
}

inline int32_t CurrentRow(const HeadlessWindow& w) { return w.Grid(id::kGrid)->Row(); }

class ChannelDialogSession : public ::testing::Test {
protected:
    void SetUp() override { UseChannels({}); }
    void UseChannels(const std::vector<ChannelSpec>& parameters) { *state.channelTable = MakeTable(parameters); }
    const ChannelTable& Table() const { return *state.channelTable; }

    int32_t Run() {
        ChannelPropertyDialog dialog(state);
        const int32_t result = dialog.DoModal();
        EXPECT_TRUE(user.Finished()) << "the script was not played to its end";
        return result;
    }

    DeviceState state;
    ScriptedUser user;

private:
    platform::HeadlessBackend backend_{user};
    platform::ScopedDialogBackend installed_{backend_};
};

}  // namespace korvan::testing
