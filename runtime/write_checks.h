// What a write may send. A drive runs a motor: a value that is not the one the user
// wrote (a typo read as 0, a number cut short, a value clamped or wrapped to fit) is
// never sent. Reads keep their lenient reading, since reading cannot harm the drive.
#pragma once

#include <string_view>

#include "hostbridge/command_arguments.h"

namespace korvan {

class ChannelRecord;

// WRITE(P,F,T,S,V), parsed: each of P, F, T and S a number the user gave (a numeric
// host variable, or a literal that is a number as a whole), finite; P's integer part
// a parameter number, F a conversion index the drive knows, S 0 or 1, T's integer part
// a numeric data type whose range holds V ÷ factor truncated, or the text case (an
// integer part of 5) whose V is a text host variable.
bool IsUsableWrite(const CommandArguments& arguments);
// The host channel number of ZELK_WRITE(N=V): a number as a whole.
bool IsUsableChannelNumber(std::u16string_view text);
// V for a numeric channel: a number as a whole that, divided by the channel's factor
// and truncated, fits the channel's data type. A text channel takes any text.
bool IsUsableChannelValue(const ChannelRecord& channel, std::u16string_view text);

}  // namespace korvan
