// Device command texts as the driver will read them, checked before anything is
// sent. The driver answers an unknown or malformed command with "done" and sends
// nothing, and refuses a write that could send a value nobody meant; here the same
// mistakes, and those only the host can see (a name that is no --var, a second
// control word, a channel the archive does not have), get a one-line reason first.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/hostkit/config_blob.h"
#include "tools/korvan-host/options.h"

namespace korvanhost {

struct CommandContext {
    std::vector<Variable> variables;                          // the --var host variables
    std::optional<std::vector<hostkit::BlobChannel>> channels;  // the device's table, when readable
};

// Empty when every command of every text is READ(P,F,T,X), WRITE(P,F,T,S,V) or
// ZELK_WRITE(k=v) whose arguments the driver would send as written; otherwise what
// is wrong, in one line, naming the text.
std::string CheckCommandTexts(const std::vector<std::string>& texts, const CommandContext& context);

}  // namespace korvanhost
