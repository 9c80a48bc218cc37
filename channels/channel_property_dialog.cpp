#include "channels/channel_property_dialog.h"

#include <array>
#include <string_view>

#include "channels/add_channel_dialog.h"
#include "channels/channel_entry.h"
#include "channels/channel_schemas.h"
#include "channels/channel_types.h"
#include "driver/device_state.h"
#include "platform/dialogs/dialog_backend.h"
#include "platform/system/wide_text.h"
#include "resources/dialog_ids.h"

namespace korvan {
namespace {

namespace id = resources::control;

constexpr std::u16string_view kDeviceTitle = u"丹佛斯VLT5000变频器";
constexpr std::u16string_view kDialogTitle = u"通道属性设置";
constexpr std::u16string_view kDeleteAllQuestion = u"真的要删除所有通道吗？";

constexpr int32_t kRowHeightMinTwips = 350;
constexpr int32_t kColumnCount = 5;
constexpr int32_t kCentred = 4;
constexpr std::array<std::u16string_view, kColumnCount> kHeaders = {u"序号", u"参数号", u"通道注释", u"数据类型",
                                                                  u"读写类型"};
constexpr std::array<int32_t, kColumnCount> kWidths = {800, 1000, 1800, 3600, 1600};
// The header row and the four fixed channels.
constexpr int32_t kFixedRows = 1 + kFixedChannelCount;

// The text of a value, or nothing for a value outside the set.
template <std::size_t N>
std::u16string_view TextOf(const std::array<std::u16string_view, N>& texts, int32_t value) {
    return value >= 0 && value < static_cast<int32_t>(N) ? texts[static_cast<std::size_t>(value)]
                                                         : std::u16string_view();
}

// The cells of one channel's row, each under its own header.
std::array<std::u16string, kColumnCount> RowCells(const ChannelRecord& record, int32_t k) {
    const bool fixed = k < kFixedChannelCount;
    return {platform::FormatDecimal(k + 1),
            fixed ? std::u16string() : platform::FormatDecimal(record.GetInteger(attr::kParameterNumber)),
            record.GetText(attr::kRecordName),
            std::u16string(TextOf(kParameterDataTypeTexts, record.GetInteger(attr::kParameterDataType))),
            std::u16string(TextOf(kAccessTypeTexts, record.GetInteger(attr::kAccessType)))};
}

}  // namespace

ChannelPropertyDialog::ChannelPropertyDialog(DeviceState& configuration)
    : Dialog(resources::kChannelDialog), configuration_(&configuration) {
    OnCommand(id::kAdd, [this] { AddChannel(); });
    OnCommand(id::kDelete, [this] { DeleteChannel(); });
    OnCommand(id::kDeleteAll, [this] { DeleteAllChannels(); });
    OnCommand(id::kAccept, [this] { OnOK(); });
    OnCommand(id::kDismiss, [this] { OnCancel(); });
    OnCommand(id::kSpareButtonA, [] {});
    OnCommand(id::kSpareButtonB, [] {});
}

bool ChannelPropertyDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    grid_.Attach(ControlObject(id::kGrid));
    SetWindowText(std::u16string(kDeviceTitle) + std::u16string(kDialogTitle));
    SetUpGrid();
    FillGrid();
    return true;
}

void ChannelPropertyDialog::SetUpGrid() {
    grid_.SetRowHeightMin(kRowHeightMinTwips);
    grid_.SetCols(kColumnCount);
    grid_.SetRows(1);
    grid_.SetRow(0);
    for (int32_t c = 0; c < kColumnCount; ++c) {
        grid_.SetCol(c);
        grid_.SetColAlignment(c, kCentred);
        grid_.SetFixedAlignment(c, kCentred);
        grid_.SetColWidth(c, kWidths[c]);
        grid_.SetText(kHeaders[c]);
    }
}

void ChannelPropertyDialog::FillGrid() {
    grid_.SetRedraw(false);
    const ChannelTable& table = *configuration_->channelTable;
    const int32_t n = table.GetCount();
    grid_.SetRows(n + 1);
    for (int32_t k = 0; k < n; ++k) {
        const auto cells = RowCells(table.GetAt(k), k);
        grid_.SetRow(k + 1);
        for (int32_t c = 0; c < kColumnCount; ++c) {
            grid_.SetCol(c);
            grid_.SetText(cells[static_cast<std::size_t>(c)]);
        }
    }
    if (grid_.GetRows() > 1) {
        grid_.SetRow(1);
        grid_.SetCol(1);
    }
    grid_.SetRedraw(true);
}

void ChannelPropertyDialog::AddChannel() {
    AddChannelDialog add(*configuration_);
    add.entry.conversionSelection = 0;
    add.entry.typeSelection = 0;
    const int32_t rememberedRow = grid_.GetRow();
    if (add.DoModal() == platform::kIdOk) {
        const std::optional<ChannelDraft> draft = DraftFromEntry(add.entry);
        if (!draft) return;  // nothing to add, and the current row is left where it is
        ChannelBatch batch;
        AppendDraftAsRecord(*draft, batch);
        configuration_->channelTable->Merge(batch);
        FillGrid();
    }
    grid_.SetRow(rememberedRow);
}

void ChannelPropertyDialog::DeleteChannel() {
    if (grid_.GetRows() == kFixedRows) return;
    const int32_t p = grid_.GetRow() - 1;
    ChannelTable& table = *configuration_->channelTable;
    if (p < kFixedChannelCount || p >= table.GetCount()) return;
    table.RemoveAt(p);
    FillGrid();
    grid_.SetRow(p);
}

void ChannelPropertyDialog::DeleteAllChannels() {
    const int32_t rows = grid_.GetRows();
    if (rows == kFixedRows) return;
    if (MessageBox(kDeleteAllQuestion, platform::kMbOkCancel | platform::kMbIconQuestion) != platform::kIdOk) return;
    ChannelTable& table = *configuration_->channelTable;
    for (int32_t i = kFixedRows; i < rows && table.GetCount() > kFixedChannelCount; ++i) {
        table.RemoveAt(kFixedChannelCount);
    }
    FillGrid();
}

}  // namespace korvan
