// A device command text as the driver will read it, checked before it is sent: the
// driver answers an unknown or malformed command with "done" and sends nothing.
#pragma once

#include <string>
#include <string_view>

namespace korvanhost {

// Empty when every command of the text is READ(P,F,T,X), WRITE(P,F,T,S,V) or
// ZELK_WRITE(k=v) with its arguments; otherwise what is wrong, in one line.
std::string CheckCommandText(std::string_view text);

}  // namespace korvanhost
