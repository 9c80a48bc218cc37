#include "channels/add_channel_dialog.h"

#include <algorithm>
#include <span>
#include <string_view>

#include "channels/channel_types.h"
#include "driver/device_state.h"
#include "platform/dialogs/dialog_backend.h"
#include "platform/dialogs/dialog_data_exchange.h"
#include "platform/system/wide_text.h"
#include "resources/dialog_ids.h"

namespace korvan {
namespace {

namespace id = resources::control;

constexpr std::array<std::u16string_view, 4> kLabelTexts = {u"参数号:", u"参数注释:", u"转换系数:", u"参数类型:"};
constexpr std::array<int32_t, 5> kLabelIds = {id::kNumberLabel, id::kCommentLabel, id::kConversionLabel,
                                              id::kTypeLabel, id::kSpareLabel};
constexpr std::u16string_view kNumberOutOfRange = u"参数号必须在0到4095之间。";
constexpr std::u16string_view kFirstCodeWord = u"PLUMQUARTET";   // toggles read mode bit 0
constexpr std::u16string_view kSecondCodeWord = u"HARBORWINDLE";  // toggles read mode bit 1

std::array<std::u16string_view, kConversionTable.size()> ConversionTexts() {
    std::array<std::u16string_view, kConversionTable.size()> texts{};
    for (std::size_t i = 0; i < texts.size(); ++i) texts[i] = kConversionTable[i].text;
    return texts;
}

void FillList(platform::DropDownList& list, std::span<const std::u16string_view> texts) {
    list.ResetContent();
    for (std::size_t i = 0; i < texts.size(); ++i) list.InsertString(static_cast<int32_t>(i), texts[i]);
    if (list.GetCount() > 0) list.SetCurSel(0);
}

}  // namespace

AddChannelDialog::AddChannelDialog(DeviceState& configuration)
    : Dialog(resources::kAddChannelDialog),
      configuration_(&configuration),
      typeList_(*this, id::kTypeList),
      conversionList_(*this, id::kConversionList) {
    OnDropDownClosed(id::kTypeList, [this] { RefreshAddControls(); });
}

bool AddChannelDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    FillList(conversionList_, ConversionTexts());
    FillList(typeList_, kParameterDataTypeTexts);
    std::copy(kLabelTexts.begin(), kLabelTexts.end(), labels_.begin());
    UpdateData(false);
    RefreshAddControls();
    return true;
}

void AddChannelDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(id::kAccessType, entry.accessType);
    for (std::size_t i = 0; i < labels_.size(); ++i) exchange.Text(kLabelIds[i], labels_[i]);
    exchange.ListIndex(id::kConversionList, entry.conversionSelection);
    exchange.ListIndex(id::kTypeList, entry.typeSelection);
    exchange.Text(id::kNumberField, entry.numberText);
    exchange.Text(id::kNameField, entry.nameText);
    exchange.Text(id::kSpareField, spareText_);
    exchange.Check(id::kRetain, entry.retain);
}

void AddChannelDialog::RefreshAddControls() {
    UpdateData(true);
    ShowControl(id::kSpareField, false);
    ShowControl(id::kSpareLabel, false);
    EnableControl(id::kRetain, entry.typeSelection != kText);
    UpdateData(false);
}

void AddChannelDialog::OnOK() {
    if (!UpdateData(true)) return;
    if (NumberOutOfRange(entry)) {
        MessageBox(kNumberOutOfRange, platform::kMbOk);
        return;
    }
    Dialog::OnOK();
}

void AddChannelDialog::OnCancel() {
    UpdateData(true);
    // Upper case for the comparison only: the fields keep what the user typed.
    const std::u16string number = platform::ToUpper(entry.numberText);
    const std::u16string name = platform::ToUpper(entry.nameText);
    const auto typed = [&](std::u16string_view word) { return number == word || name == word; };
    if (typed(kFirstCodeWord)) {
        configuration_->readModeBits ^= 1;
    } else if (typed(kSecondCodeWord)) {
        configuration_->readModeBits ^= 2;
    } else {
        Dialog::OnCancel();
        return;
    }
    RefreshAddControls();
}

}  // namespace korvan
