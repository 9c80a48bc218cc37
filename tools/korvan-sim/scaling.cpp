#include "tools/korvan-sim/scaling.h"

namespace korvansim {
namespace {

std::int64_t PowerOfTen(int exponent) {
    std::int64_t result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= 10;
    }
    return result;
}

}  // namespace

bool IsKnownConversion(int conversion) {
    return conversion == 74 || (conversion >= -5 && conversion <= 2);
}

int DecimalExponent(std::int8_t conversion) {
    return conversion == 74 ? -1 : conversion;
}

std::int64_t RawToMicro(std::int64_t raw, std::int8_t conversion) {
    return raw * PowerOfTen(DecimalExponent(conversion) + 6);
}

std::int64_t MicroToRaw(std::int64_t micro, std::int8_t conversion) {
    return micro / PowerOfTen(DecimalExponent(conversion) + 6);
}

}  // namespace korvansim
