#include "channels/channel_table.h"

#include <gtest/gtest.h>

#include "channels/channel_schemas.h"
#include "tests/support/channel_builders.h"

namespace korvan {
namespace {

using testing::ChannelSpec;
using testing::MakeBatch;
using testing::MakeRecord;
using testing::MakeTable;
using testing::Names;
using testing::Numbers;

TEST(ChannelKey, ComparesTypeThenNumberThenValueTypeAsUnsigned) {
    const ChannelRecord low = MakeRecord({.type = 0, .number = 5});
    const ChannelRecord negative = MakeRecord({.type = 0, .number = -1});
    const ChannelRecord otherType = MakeRecord({.type = 3, .number = 1});
    EXPECT_TRUE(ChannelRecord::IsGreater(negative, low));  // -1 is 0xFFFFFFFF
    EXPECT_FALSE(ChannelRecord::IsGreater(low, negative));
    EXPECT_TRUE(ChannelRecord::IsGreater(otherType, negative));
    EXPECT_FALSE(ChannelRecord::IsGreater(low, low));
    EXPECT_TRUE(ChannelRecord::IsGreaterOrEqual(low, low));
    // Attributes outside the key do not take part.
    EXPECT_TRUE(ChannelRecord::IsEqual(MakeRecord({.access = 0, .number = 9, .name = u"a"}),
                                       MakeRecord({.access = 2, .number = 9, .name = u"b"})));
}

TEST(ChannelKey, TextKeysCompareCodeUnitsAndPrefixesSortFirst) {
    // A schema with the name as a further key attribute.
    ChannelRecord::ClassSchema().DefineAttribute(5, kTextAttribute, attr::kRecordName, 1);
    const ChannelRecord abc = MakeRecord({.name = u"abc"});
    const ChannelRecord ab = MakeRecord({.name = u"ab"});
    const ChannelRecord high = MakeRecord({.name = u"\xFF01"});  // above every ASCII unit
    const bool prefixFirst = ChannelRecord::IsGreater(abc, ab) && !ChannelRecord::IsGreater(ab, abc);
    const bool unsignedUnits = ChannelRecord::IsGreater(high, abc);
    const bool contentEqual = ChannelRecord::IsEqual(abc, MakeRecord({.name = u"abc"}));
    DefineChannelSchemas();
    EXPECT_TRUE(prefixFirst);
    EXPECT_TRUE(unsignedUnits);
    EXPECT_TRUE(contentEqual);
}

TEST(ChannelTableMerge, EmptyTableTakesTheBatchInOrderEvenForEqualKeys) {
    ChannelTable table;
    AddFixedChannels(table);
    EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"当前频率", u"状态字", u"控制字", u"期望值"}));
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(table.GetAt(i).GetInteger(attr::kAccessType), i < 2 ? kReadOnly : kWriteOnly);
        EXPECT_EQ(table.GetAt(i).GetInteger(attr::kValueType), kNumericValue);
    }
}

TEST(ChannelTableMerge, OneRecordIsInsertedInKeyOrderOrReplacesItsEqual) {
    ChannelTable table = MakeTable({{.number = 10}, {.number = 30}});
    ChannelBatch middle = MakeBatch({{.number = 20}});
    table.Merge(middle);
    EXPECT_EQ(Numbers(table), (std::vector<int32_t>{0, 0, 0, 0, 10, 20, 30}));

    ChannelBatch replacement = MakeBatch({{.access = kReadWrite, .number = 20, .name = u"new"}});
    table.Merge(replacement);
    EXPECT_EQ(table.GetCount(), 7);
    EXPECT_EQ(table.GetAt(5).GetText(attr::kRecordName), u"new");

    ChannelBatch last = MakeBatch({{.type = kUnsigned16, .number = 1}});
    table.Merge(last);
    EXPECT_EQ(table.GetAt(7).GetInteger(attr::kParameterDataType), kUnsigned16);

    ChannelBatch behindAll = MakeBatch({{.number = -3}});  // unsigned: behind the other type-0 channels
    table.Merge(behindAll);
    EXPECT_EQ(Numbers(table), (std::vector<int32_t>{0, 0, 0, 0, 10, 20, 30, -3, 1}));
}

TEST(ChannelTableMerge, ABatchReplacesEveryRecordBetweenItsFirstAndLastKey) {
    ChannelTable table = MakeTable({{.number = 10}, {.number = 20}, {.number = 30}, {.number = 40}});
    ChannelBatch batch = MakeBatch({{.number = 15, .name = u"x"}, {.number = 30, .name = u"y"}});
    table.Merge(batch);
    EXPECT_EQ(Numbers(table), (std::vector<int32_t>{0, 0, 0, 0, 10, 15, 30, 40}));
    EXPECT_EQ(table.GetAt(6).GetText(attr::kRecordName), u"y");

    ChannelBatch empty;
    table.Merge(empty);
    EXPECT_EQ(table.GetCount(), 8);
    EXPECT_EQ(batch.GetCount(), 2);  // the batch is left as it was
}

TEST(ChannelTable, RemoveAtGivesUpStorage) {
    ChannelTable table = MakeTable({{.number = 10}});
    ASSERT_EQ(table.GetCount(), 5);
    table.RemoveAt(4);
    EXPECT_EQ(table.GetCount(), 4);
    EXPECT_EQ(table.Capacity(), 4u);
    table.RemoveAt(0);
    EXPECT_EQ(Names(table), (std::vector<std::u16string>{u"状态字", u"控制字", u"期望值"}));
}

}  // namespace
}  // namespace korvan
