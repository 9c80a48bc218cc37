#include "tests/dialog/scripted_user.h"

#include <gtest/gtest.h>

namespace korvan::testing {

ScriptedUser& ScriptedUser::Then(int32_t templateId, Act act) {
    acts_.emplace_back(templateId, std::move(act));
    return *this;
}

ScriptedUser& ScriptedUser::Answer(int32_t answer) {
    answers_.push_back(answer);
    return *this;
}

void ScriptedUser::DialogOpened(platform::HeadlessWindow& window) {
    if (acts_.empty()) {
        ADD_FAILURE() << "dialog " << window.TemplateId() << " opened without a scripted act";
        return;
    }
    auto [templateId, act] = std::move(acts_.front());
    acts_.pop_front();
    EXPECT_EQ(window.TemplateId(), templateId);
    act(window);
}

int32_t ScriptedUser::MessageBoxShown(std::u16string_view text, std::u16string_view caption, uint32_t style) {
    questions_.push_back({std::u16string(text), std::u16string(caption), style});
    if (answers_.empty()) {
        ADD_FAILURE() << "a message box was shown without a scripted answer";
        return platform::kIdCancel;
    }
    const int32_t answer = answers_.front();
    answers_.pop_front();
    return answer;
}

}  // namespace korvan::testing
