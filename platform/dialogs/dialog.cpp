#include "platform/dialogs/dialog.h"

#include <utility>

#include "platform/dialogs/dialog_backend.h"
#include "platform/dialogs/dialog_data_exchange.h"
#include "platform/dialogs/dialog_resource_module.h"

namespace korvan::platform {

int32_t Dialog::DoModal() {
    const DialogTemplate* found = FindDialogTemplate(ResourceModule(), templateId_);
    if (found == nullptr || IsOpen()) return kDialogFailed;
    return ActiveDialogBackend().RunModal(*this, *found);
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (UpdateData(true)) EndDialog(kIdOk);
}

void Dialog::OnCancel() { EndDialog(kIdCancel); }

void Dialog::OnCommand(int32_t id, std::function<void()> handler) {
    routes_.push_back({id, ControlEvent::kClicked, std::move(handler)});
}

void Dialog::OnDropDownClosed(int32_t id, std::function<void()> handler) {
    routes_.push_back({id, ControlEvent::kDropDownClosed, std::move(handler)});
}

bool Dialog::UpdateData(bool saveAndValidate) {
    if (!IsOpen()) return false;
    DataExchange exchange(*window_, *template_, saveAndValidate);
    DoDataExchange(exchange);
    return true;
}

void Dialog::EndDialog(int32_t result) {
    if (IsOpen()) window_->End(result);
}

int32_t Dialog::MessageBox(std::u16string_view text, uint32_t style) {
    const std::u16string caption = IsOpen() ? window_->Title() : std::u16string();
    return ActiveDialogBackend().ShowMessageBox(window_, text, caption, style);
}

void Dialog::SetWindowText(std::u16string_view title) {
    if (IsOpen()) window_->SetTitle(title);
}

void Dialog::ShowControl(int32_t id, bool shown) {
    if (IsOpen()) window_->ShowControl(id, shown);
}

void Dialog::EnableControl(int32_t id, bool enabled) {
    if (IsOpen()) window_->EnableControl(id, enabled);
}

IDispatch* Dialog::ControlObject(int32_t id) { return IsOpen() ? window_->ControlObject(id) : nullptr; }

}  // namespace korvan::platform
