#include "json/collection.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "text/run_error.h"

namespace skyvane {
namespace {

int ItemError(const Collection& c, int32_t position) {
  try {
    c.Item(position);
  } catch (const RunError& e) {
    return e.Code();
  }
  return 0;
}

TEST(CollectionTest, PositionsRunFromOneToCount) {
  auto list = MakeRef<Collection>();
  for (const char* text : {"10", "20", "30"}) {
    list->Add(JsonValue(Decimal::FromText(std::string(text))));
  }
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Item(1).AsDecimal().ToAscii(), "10");
  EXPECT_EQ(list->Item(2).AsDecimal().ToAscii(), "20");
  EXPECT_EQ(list->Item(3).AsDecimal().ToAscii(), "30");
  for (int32_t outside : {0, 4, -1, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(ItemError(*list, outside), 9) << outside;
  }
}

TEST(CollectionTest, EmptyListHasNoPositions) {
  auto list = MakeRef<Collection>();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(ItemError(*list, 1), 9);
  EXPECT_EQ(ItemError(*list, 0), 9);
  EXPECT_EQ(list->begin(), list->end());
}

TEST(CollectionTest, KeepsOrderAndKindsAcrossGrowth) {
  auto list = MakeRef<Collection>();
  constexpr int kItems = 10000;
  for (int i = 0; i < kItems; ++i) {
    if (i % 3 == 0) {
      list->Add(JsonValue(Decimal::FromInt64(i)));
    } else if (i % 3 == 1) {
      list->Add(JsonValue(std::u16string(1, static_cast<char16_t>(i))));
    } else {
      list->Add(JsonValue::Null());
    }
  }
  ASSERT_EQ(list->Count(), kItems);
  int position = 0;
  for (const JsonValue& item : *list) {
    ++position;
    const int i = position - 1;
    EXPECT_EQ(&item, &list->Item(position));
    if (i % 3 == 0) {
      EXPECT_EQ(item.AsDecimal(), Decimal::FromInt64(i));
    } else if (i % 3 == 1) {
      EXPECT_EQ(item.AsString(), std::u16string(1, static_cast<char16_t>(i)));
    } else {
      EXPECT_TRUE(item.IsNull());
    }
  }
  EXPECT_EQ(position, kItems);
}

TEST(CollectionTest, AddAllAppendsInOrderAndEmptiesTheSource) {
  auto list = MakeRef<Collection>();
  list->Add(JsonValue(u"first"));
  std::vector<JsonValue> items;
  items.emplace_back(u"a text too long for the small-string buffer");
  items.emplace_back(true);
  items.emplace_back(MakeRef<Collection>());
  items.emplace_back();
  list->AddAll(items);
  EXPECT_TRUE(items.empty());
  ASSERT_EQ(list->Count(), 5);
  EXPECT_EQ(list->Item(1).AsString(), u"first");
  EXPECT_EQ(list->Item(2).AsString(), u"a text too long for the small-string buffer");
  EXPECT_TRUE(list->Item(3).AsBoolean());
  EXPECT_TRUE(list->Item(4).IsCollection());
  EXPECT_TRUE(list->Item(5).IsEmpty());
  // An empty hand-over changes nothing; the source can be filled again.
  list->AddAll(items);
  EXPECT_EQ(list->Count(), 5);
  items.emplace_back(JsonValue::Null());
  list->AddAll(items);
  ASSERT_EQ(list->Count(), 6);
  EXPECT_TRUE(list->Item(6).IsNull());
}

}  // namespace
}  // namespace skyvane
