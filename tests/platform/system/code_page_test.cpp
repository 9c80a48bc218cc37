// Texts in code page 936: the same bytes, and the same '?' where a character or a byte
// cannot be converted, whichever system converts them and whatever its own default.
#include "platform/system/code_page.h"

#include <gtest/gtest.h>

namespace korvan::platform {
namespace {

TEST(CodePage, ChineseTextTakesItsGbkBytesBothWays) {
    const std::string bytes = "\xB2\xCE\xBF\xBC\xD6\xB5";  // 参考值
    EXPECT_EQ(WideToCodePage(u"参考值"), bytes);
    EXPECT_EQ(CodePageToWide(bytes), u"参考值");
    EXPECT_EQ(CodePageToWide("VLT\xB2\xCE"), u"VLT参");
    EXPECT_EQ(WideToCodePage(u"5€"), "5\x80");  // the euro sign is the one single byte above ASCII
    EXPECT_EQ(CodePageToWide("5\x80"), u"5€");
}

TEST(CodePage, WhatCannotBeConvertedBecomesOneQuestionMarkEach) {
    EXPECT_EQ(WideToCodePage(u"a\u0E01b"), "a?b");             // a character the code page lacks
    EXPECT_EQ(WideToCodePage(u"a\U0001F600b\xB2"), "a?b?");    // a surrogate pair; none of U+00B2
    EXPECT_EQ(WideToCodePage(std::u16string{u'x', 0xD800, u'y'}), "x?y");  // a lone surrogate
    EXPECT_EQ(CodePageToWide("\x81\x20z"), u"? z");  // a lead byte without its trail byte
    EXPECT_EQ(CodePageToWide("ab\xB2"), u"ab?");     // cut short
    EXPECT_EQ(CodePageToWide(std::string("ab\0cd", 5)), u"ab");
}

}  // namespace
}  // namespace korvan::platform
