// The command texts the soak sends, and the values in them as a person would type
// them: a raw value scaled by its factor with as many decimals as the factor has.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "tests/soak/soak_plan.h"

namespace korvansoak {

// "-12.34" for raw -1234 at factor 0.01.
std::u16string ScaledValueText(int64_t raw, double factor);
// READ(P,F,T,X) of the channel's parameter into variable X.
std::u16string ReadCommand(const PlanChannel& channel, std::u16string_view variable);
// WRITE(P,F,T,S,V) of `raw` to the channel's parameter.
std::u16string WriteCommand(const PlanChannel& channel, int64_t raw, int32_t retain);
// ZELK_WRITE(N=V).
std::u16string ChannelWriteCommand(int32_t hostChannel, std::u16string_view value);
// A display text of exactly kTextBytes bytes in code page 936, Chinese and Latin mixed,
// without white space at its ends (the command trims it).
std::u16string DisplayText(std::mt19937& random);

}  // namespace korvansoak
