// The resource-script compiler: what the dialect means and how it reports faults,
// and the compiled templates holding every control the dialog code addresses.
#include <gtest/gtest.h>

#include "platform/dialogs/dialog.h"
#include "resources/dialog_ids.h"
#include "resources/rc/rc_lexer.h"
#include "resources/rc/rc_parser.h"

namespace korvan::rc {
namespace {

TEST(ResourceScript, ReadsDialogsWithTheDialectsDefaultStyles) {
    const auto dialogs = ParseScript(R"(#pragma code_page(65001)
        7 DIALOGEX 0, 0, 100, 0x40   // size in dialog units
        STYLE DS_MODALFRAME | WS_CAPTION
        CAPTION "说 ""明"""
        FONT 9, "Face"
        BEGIN
          /* a label, then a field that is hidden and may not be tabbed to */
          RTEXT "名:", IDC_STATIC, 1, 2, 3, 4
          EDITTEXT 12, 5, 6, 7, 8, NOT WS_VISIBLE | NOT WS_TABSTOP | ES_AUTOHSCROLL
          CONTROL "", 13, "ZelkGrid", WS_TABSTOP | WS_BORDER, 0, 0, 50, 40
        END)");
    ASSERT_EQ(dialogs.size(), 1u);
    const DialogEntry& dialog = dialogs[0];
    EXPECT_EQ(dialog.id, 7);
    EXPECT_EQ(dialog.caption, "说 \"明\"");
    EXPECT_EQ(dialog.fontName, "Face");
    EXPECT_EQ(dialog.height, 64);
    ASSERT_EQ(dialog.controls.size(), 3u);
    EXPECT_EQ(dialog.controls[0].kind, "kLabel");
    EXPECT_EQ(dialog.controls[0].id, -1);
    EXPECT_EQ(dialog.controls[0].styles, (std::vector<std::string>{"kGroupStart", "kAlignRight"}));
    EXPECT_EQ(dialog.controls[1].styles, (std::vector<std::string>{"kHidden"}));
    EXPECT_EQ(dialog.controls[2].kind, "kGrid");
    EXPECT_EQ(dialog.controls[2].width, 50);
}

TEST(ResourceScript, FaultsNameTheirLine) {
    const struct {
        const char* script;
        int line;
    } faults[] = {
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  LISTBOX 5, 0, 0, 1, 1\nEND", 3},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  EDITTEXT 5, 0, 0, 1 1\nEND", 3},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  EDITTEXT 5, 0, 0, 1, 1, CBS_SORT\nEND", 3},
        {"1 DIALOGEX 0, 0, 1, 1\nCAPTION \"open\nBEGIN\nEND", 2},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n  CONTROL \"\", 5, \"Button\", 0, 0, 0, 1, 1\nEND", 3},
        {"1 DIALOGEX 0, 0, 1, 1\nBEGIN\n", 3},
    };
    for (const auto& fault : faults) {
        try {
            ParseScript(fault.script);
            ADD_FAILURE() << "accepted: " << fault.script;
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.Line(), fault.line) << error.what();
        }
    }
}

TEST(ResourceScript, TheTemplatesHoldEveryControlTheDialogsAddress) {
    using platform::ControlKind;
    namespace id = resources::control;
    const struct {
        int32_t dialog;
        int32_t control;
        ControlKind kind;
    } expected[] = {
        {resources::kChannelDialog, id::kGrid, ControlKind::kGrid},
        {resources::kChannelDialog, id::kAdd, ControlKind::kPushButton},
        {resources::kChannelDialog, id::kDelete, ControlKind::kPushButton},
        {resources::kChannelDialog, id::kDeleteAll, ControlKind::kPushButton},
        {resources::kChannelDialog, id::kAccept, ControlKind::kDefaultButton},
        {resources::kChannelDialog, id::kDismiss, ControlKind::kPushButton},
        {resources::kChannelDialog, id::kSpareButtonA, ControlKind::kPushButton},
        {resources::kChannelDialog, id::kSpareButtonB, ControlKind::kPushButton},
        {resources::kAddChannelDialog, id::kNumberField, ControlKind::kEdit},
        {resources::kAddChannelDialog, id::kNameField, ControlKind::kEdit},
        {resources::kAddChannelDialog, id::kSpareField, ControlKind::kEdit},
        {resources::kAddChannelDialog, id::kConversionList, ControlKind::kDropDownList},
        {resources::kAddChannelDialog, id::kTypeList, ControlKind::kDropDownList},
        {resources::kAddChannelDialog, id::kRetain, ControlKind::kCheckBox},
        {resources::kAddChannelDialog, id::kNumberLabel, ControlKind::kLabel},
        {resources::kAddChannelDialog, id::kCommentLabel, ControlKind::kLabel},
        {resources::kAddChannelDialog, id::kConversionLabel, ControlKind::kLabel},
        {resources::kAddChannelDialog, id::kTypeLabel, ControlKind::kLabel},
        {resources::kAddChannelDialog, id::kSpareLabel, ControlKind::kLabel},
        {resources::kAddChannelDialog, platform::kIdOk, ControlKind::kDefaultButton},
        {resources::kAddChannelDialog, platform::kIdCancel, ControlKind::kPushButton},
    };
    for (const auto& e : expected) {
        const platform::DialogTemplate* dialog = platform::FindDialogTemplate(nullptr, e.dialog);
        ASSERT_NE(dialog, nullptr) << e.dialog;
        const platform::ControlTemplate* control = dialog->Control(e.control);
        ASSERT_NE(control, nullptr) << e.dialog << "/" << e.control;
        EXPECT_EQ(control->kind, e.kind) << e.dialog << "/" << e.control;
    }
    const platform::DialogTemplate* add = platform::FindDialogTemplate(nullptr, resources::kAddChannelDialog);
    ASSERT_EQ(add->RadioGroup(id::kAccessType).size(), 3u);
    const char16_t* radioTexts[] = {u"只读数据", u"只写数据", u"读写数据"};
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(add->Control(add->RadioGroup(id::kAccessType)[i])->text, radioTexts[i]);
    EXPECT_EQ(add->Control(id::kRetain)->text, u"断电保存");
}

}  // namespace
}  // namespace korvan::rc
