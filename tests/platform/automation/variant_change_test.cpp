#include "platform/automation/variant_change.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/automation/automation_abi.h"
#include "platform/automation/variant.h"

namespace korvan::platform {
namespace {

template <class T>
VARIANT Make(uint16_t type, T value) {
    VARIANT v{};
    v.vt = type;
    SetVariantValue(v, value);
    return v;
}

// The converted variant's value, or "failed" with the variant unchanged.
struct Converted {
    bool done;
    VARIANT variant;
};

Converted Change(VARIANT v, uint16_t type) {
    const VARIANT before = v;
    const bool done = ChangeVariantType(v, type);
    if (!done) {
        EXPECT_EQ(std::memcmp(&v, &before, sizeof v), 0);
    }
    return {done, v};
}

TEST(VariantChange, NumbersBecomeIntegersRoundedHalfToEvenWithinRange) {
    EXPECT_EQ(VariantValue<int32_t>(Change(Make<int16_t>(kVtI2, -7), VT_I4).variant), -7);
    EXPECT_EQ(VariantValue<int32_t>(Change(Make<uint8_t>(kVtUi1, 200), VT_I4).variant), 200);
    EXPECT_EQ(VariantValue<int32_t>(Change(Make<double>(kVtR8, 2.5), VT_I4).variant), 2);
    EXPECT_EQ(VariantValue<int32_t>(Change(Make<double>(kVtR8, 3.5), VT_I4).variant), 4);
    EXPECT_EQ(VariantValue<int32_t>(Change(Make<float>(VT_R4, -1.6f), VT_I4).variant), -2);
    EXPECT_EQ(VariantValue<int32_t>(Change(Make<int16_t>(VT_BOOL, -1), VT_I4).variant), -1);
    EXPECT_EQ(VariantValue<int32_t>(Change(VARIANT{}, VT_I4).variant), 0);  // empty is 0
    EXPECT_FALSE(Change(Make<double>(kVtR8, 3e9), VT_I4).done);
    EXPECT_FALSE(Change(Make<uint32_t>(kVtUi4, 0x80000000u), VT_I4).done);
    EXPECT_FALSE(Change(Make<int32_t>(VT_VARIANT, 1), VT_I4).done);
}

TEST(VariantChange, NumbersBecomeFloatsWithinRange) {
    const Converted c = Change(Make<double>(kVtR8, 0.1), VT_R4);
    EXPECT_EQ(c.variant.vt, VT_R4);
    EXPECT_EQ(VariantValue<float>(c.variant), 0.1f);
    EXPECT_EQ(VariantValue<float>(Change(Make<int16_t>(kVtI2, 300), VT_R4).variant), 300.0f);
    EXPECT_FALSE(Change(Make<double>(kVtR8, 1e300), VT_R4).done);
}

TEST(VariantChange, TextsHoldingOneNumberConvertBothWays) {
    VARIANT text = MakeTextVariant(u" 42 ");
    const Converted number = Change(text, VT_I4);
    EXPECT_TRUE(number.done);  // the text was freed by the conversion
    EXPECT_EQ(VariantValue<int32_t>(number.variant), 42);
    text = MakeTextVariant(u"-1.5e1");
    EXPECT_EQ(VariantValue<float>(Change(text, VT_R4).variant), -15.0f);
    for (const char16_t* bad : {u"", u"12abc", u"1,5", u"五", u"nan"}) {
        text = MakeTextVariant(bad);
        EXPECT_FALSE(Change(text, VT_I4).done) << static_cast<int>(bad[0]);
        VariantClear(text);
    }
    Converted back = Change(Make<double>(kVtR8, 2.25), VT_BSTR);
    EXPECT_EQ(BstrText(VariantValue<char16_t*>(back.variant)), u"2.25");
    VariantClear(back.variant);
    back = Change(Make<int16_t>(kVtI2, -3), VT_BSTR);
    EXPECT_EQ(BstrText(VariantValue<char16_t*>(back.variant)), u"-3");
    VariantClear(back.variant);
}

}  // namespace
}  // namespace korvan::platform
