// A user for headless dialog sessions, following a script: for each dialog that
// opens, in the order they open, one scripted act; for each message box, one answer.
// Anything unscripted fails the test.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialogs/headless/dialog_headless.h"

namespace korvan::testing {

struct Question {
    std::u16string text;
    std::u16string caption;
    uint32_t style = 0;
};

class ScriptedUser final : public platform::HeadlessUser {
public:
    using Act = std::function<void(platform::HeadlessWindow&)>;

    // The next dialog to open must come from template `templateId`; `act` is done in it.
    ScriptedUser& Then(int32_t templateId, Act act);
    ScriptedUser& Answer(int32_t answer);

    const std::vector<Question>& Questions() const { return questions_; }
    bool Finished() const { return acts_.empty() && answers_.empty(); }

    void DialogOpened(platform::HeadlessWindow& window) override;
    int32_t MessageBoxShown(std::u16string_view text, std::u16string_view caption, uint32_t style) override;

private:
    std::deque<std::pair<int32_t, Act>> acts_;
    std::deque<int32_t> answers_;
    std::vector<Question> questions_;
};

}  // namespace korvan::testing
