#include "channels/channel_record.h"

#include <gtest/gtest.h>

#include "channels/channel_schemas.h"
#include "channels/channel_table.h"
#include "channels/channel_types.h"

namespace korvan {
namespace {

TEST(AttributeSchema, FindsNamesExactlyAndAnswersCountPlusTenOtherwise) {
    AttributeSchema empty;
    EXPECT_EQ(empty.FindAttribute(u"通道名称"), 10);
    const AttributeSchema& records = ChannelRecord::ClassSchema();
    EXPECT_EQ(records.FindAttribute(u"通道参数号"), 2);
    EXPECT_EQ(records.FindAttribute(u"通道名"), 17);
    EXPECT_EQ(ChannelDraft::ClassSchema().FindAttribute(u"通道名"), 5);

    AttributeSchema schema;
    schema.SetAttributeCount(2);
    EXPECT_EQ(schema.DefineAttribute(2, kIntegerAttribute, u"x", 0), 0);
    EXPECT_EQ(schema.DefineAttribute(-1, kIntegerAttribute, u"x", 0), 0);  // unsigned: far out
    EXPECT_EQ(schema.DefineAttribute(1, kIntegerAttribute, u"x", 0), 1);
    EXPECT_EQ(schema.FindAttribute(u"x"), 1);
}

TEST(NamedRecord, UnknownNamesTouchNoSlot) {
    ChannelRecord record;
    record.SetInteger(attr::kRetain, 1);
    EXPECT_EQ(record.SetInteger(u"通道名", 7), 0);
    EXPECT_EQ(record.SetText(u"nothing", u"x"), 0);
    EXPECT_EQ(record.GetInteger(u"nothing"), 0);
    EXPECT_EQ(record.GetText(u"通道名"), u"");
    for (int32_t i = 0; i < record.SlotCount(); ++i) {
        EXPECT_EQ(record.IntegerAt(i), i == 6 ? 1 : 0);
        EXPECT_TRUE(record.TextAt(i).empty());
    }
}

TEST(AppendDraftAsRecord, CopiesEveryAttributeAndRenamesTheName) {
    ChannelDraft draft;
    draft.SetInteger(attr::kAccessType, kReadWrite);
    draft.SetInteger(attr::kParameterDataType, kText);
    draft.SetInteger(attr::kParameterNumber, 621);
    draft.SetInteger(attr::kValueType, kTextValue);
    draft.SetInteger(attr::kConversion, 7);
    draft.SetText(attr::kDraftName, u"机型");
    draft.SetInteger(attr::kRetain, 1);
    ChannelBatch batch;
    EXPECT_EQ(AppendDraftAsRecord(draft, batch), 1);
    ASSERT_EQ(batch.GetCount(), 1);
    const ChannelRecord& record = batch.GetAt(0);
    EXPECT_EQ(record.GetText(attr::kRecordName), u"机型");
    const int32_t expected[] = {kReadWrite, kText, 621, kTextValue, 7, 0, 1};
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(record.IntegerAt(i), expected[i]) << i;
}

TEST(ChannelTypes, ValueTypeFollowsDataTypeAndConversionRowsScale) {
    for (int32_t type = kSigned16; type <= kText; ++type) {
        EXPECT_EQ(ValueTypeFor(type), type == kText ? kTextValue : kNumericValue);
    }
    EXPECT_EQ(kConversionTable[0].multiplier, kConversionTable[4].multiplier);
    EXPECT_EQ(kConversionTable[1].multiplier, 100.0);
    EXPECT_EQ(kParameterDataTypeTexts[2], u"8 位无符号整型");
}

}  // namespace
}  // namespace korvan
