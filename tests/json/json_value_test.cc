#include "json/json_value.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "json/collection.h"
#include "json/dictionary.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

template <typename F>
int ErrorCode(F&& f) {
  try {
    f();
  } catch (const RunError& e) {
    return e.Code();
  }
  return 0;
}

Decimal Dec(const char* text) {
  return Decimal::FromText(std::string(text));
}

TEST(JsonValueTest, KindsCarryTheirFixedCodesAndNames) {
  struct Case {
    JsonValue value;
    int code;
    const char16_t* name;
  };
  const Case cases[] = {
      {JsonValue(), 0, u"Empty"},
      {JsonValue::Null(), 1, u"Null"},
      {JsonValue(u"text"), 8, u"String"},
      {JsonValue(std::make_shared<Dictionary>()), 9, u"Dictionary"},
      {JsonValue(std::make_shared<Collection>()), 9, u"Collection"},
      {JsonValue(false), 11, u"Boolean"},
      {JsonValue(Dec("0.1")), 14, u"Decimal"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value.KindCode(), c.code);
    EXPECT_EQ(static_cast<int>(c.value.Kind()), c.code);
    EXPECT_EQ(c.value.TypeName(), c.name);
  }
  // Exactly one predicate holds for each kind.
  for (const Case& c : cases) {
    const int held = c.value.IsEmpty() + c.value.IsNull() + c.value.IsString() +
                     c.value.IsBoolean() + c.value.IsDecimal() + c.value.IsDictionary() +
                     c.value.IsCollection();
    EXPECT_EQ(held, 1) << c.code;
  }
}

TEST(JsonValueTest, NullContainerPointerGivesEmpty) {
  EXPECT_TRUE(JsonValue(std::shared_ptr<Dictionary>()).IsEmpty());
  EXPECT_TRUE(JsonValue(std::shared_ptr<Collection>()).IsEmpty());
}

TEST(JsonValueTest, TextFormOfScalars) {
  EXPECT_EQ(JsonValue().ToText(), u"");
  EXPECT_EQ(JsonValue::Null().ToText(), u"null");
  EXPECT_EQ(JsonValue(true).ToText(), u"true");
  EXPECT_EQ(JsonValue(false).ToText(), u"false");
  EXPECT_EQ(JsonValue(Dec("-1.50")).ToText(), u"-1.5");
  EXPECT_EQ(JsonValue(Dec("1e3")).ToText(), u"1000");
  const std::u16string with_nul(u"a\0b", 3);
  EXPECT_EQ(JsonValue(with_nul).ToText(), with_nul);
  EXPECT_EQ(ErrorCode([] { JsonValue(std::make_shared<Dictionary>()).ToText(); }), 13);
  EXPECT_EQ(ErrorCode([] { JsonValue(std::make_shared<Collection>()).ToText(); }), 13);
}

TEST(JsonValueTest, AccessorsOfAnotherKindRaise) {
  const JsonValue text(u"x");
  const JsonValue number(Dec("2"));
  const JsonValue empty;
  EXPECT_EQ(text.AsString(), u"x");
  EXPECT_EQ(number.AsDecimal().ToAscii(), "2");
  EXPECT_TRUE(JsonValue(true).AsBoolean());

  EXPECT_EQ(ErrorCode([&] { number.AsString(); }), 13);
  EXPECT_EQ(ErrorCode([&] { text.AsDecimal(); }), 13);
  EXPECT_EQ(ErrorCode([&] { text.AsBoolean(); }), 13);
  EXPECT_EQ(ErrorCode([&] { empty.AsString(); }), 13);
  EXPECT_EQ(ErrorCode([&] { JsonValue(true).AsDecimal(); }), 13);
  // A container asked of a scalar, or of the other container class.
  EXPECT_EQ(ErrorCode([&] { text.AsDictionary(); }), 424);
  EXPECT_EQ(ErrorCode([&] { empty.AsCollection(); }), 424);
  EXPECT_EQ(ErrorCode([] { JsonValue(std::make_shared<Dictionary>()).AsCollection(); }), 424);
  EXPECT_EQ(ErrorCode([] { JsonValue(std::make_shared<Collection>()).AsDictionary(); }), 424);

  EXPECT_EQ(text.DictionaryOrNull(), nullptr);
  EXPECT_EQ(JsonValue(std::make_shared<Dictionary>()).CollectionOrNull(), nullptr);
  auto list = std::make_shared<Collection>();
  EXPECT_EQ(JsonValue(list).CollectionOrNull(), list.get());
}

TEST(JsonValueTest, TextIsCopiedContainersAreShared) {
  JsonValue original(u"abc");
  JsonValue copy = original;
  original = JsonValue(u"changed");
  EXPECT_EQ(copy.AsString(), u"abc");

  auto list = std::make_shared<Collection>();
  JsonValue holder(list);
  JsonValue shared = holder;
  shared.AsCollection()->Add(JsonValue(true));
  EXPECT_EQ(holder.AsCollection()->Count(), 1);
  EXPECT_EQ(list.use_count(), 3);
  holder = JsonValue();
  shared = JsonValue();
  EXPECT_EQ(list.use_count(), 1);
}

// Deep trees are released without one nested call per level.
TEST(JsonValueReleaseTest, DeeplyNestedArraysAreReleased) {
  constexpr int kDepth = 100000;
  auto root = std::make_shared<Collection>();
  std::weak_ptr<Collection> deepest;
  Collection* tip = root.get();
  for (int i = 0; i < kDepth; ++i) {
    auto inner = std::make_shared<Collection>();
    Collection* next = inner.get();
    if (i == kDepth - 1) deepest = inner;
    tip->Add(JsonValue(std::move(inner)));
    tip = next;
  }
  tip->Add(JsonValue(u"leaf"));
  EXPECT_FALSE(deepest.expired());
  root.reset();
  EXPECT_TRUE(deepest.expired());
}

TEST(JsonValueReleaseTest, DeeplyNestedMixedContainersAreReleased) {
  constexpr int kDepth = 100000;
  JsonValue root(std::make_shared<Dictionary>());
  std::weak_ptr<Dictionary> last_dictionary;
  JsonValue tip = root;
  for (int i = 0; i < kDepth; ++i) {
    JsonValue inner = i % 2 == 0 ? JsonValue(std::make_shared<Collection>())
                                 : JsonValue(std::make_shared<Dictionary>());
    if (inner.IsDictionary()) last_dictionary = inner.AsDictionary();
    if (Dictionary* d = tip.DictionaryOrNull()) {
      d->Add(u"k", inner);
      d->Add(u"n", JsonValue(Dec("1")));
    } else {
      tip.AsCollection()->Add(JsonValue(Dec("2")));
      tip.AsCollection()->Add(inner);
    }
    tip = inner;
  }
  tip = JsonValue();
  EXPECT_FALSE(last_dictionary.expired());
  root = JsonValue();
  EXPECT_TRUE(last_dictionary.expired());
}

TEST(JsonValueReleaseTest, ContainersHeldElsewhereSurviveTheRelease) {
  // Shared containers at a shallow depth and far below the depth where
  // destruction is deferred.
  for (int depth : {1, 1000}) {
    auto kept = std::make_shared<Dictionary>();
    kept->Add(u"inner", JsonValue(std::make_shared<Collection>()));
    kept->Item(u"inner").AsCollection()->Add(JsonValue(u"still here"));
    {
      auto root = std::make_shared<Collection>();
      Collection* tip = root.get();
      for (int i = 0; i < depth; ++i) {
        auto next = std::make_shared<Collection>();
        Collection* raw = next.get();
        tip->Add(JsonValue(std::move(next)));
        tip = raw;
      }
      tip->Add(JsonValue(kept));
    }
    ASSERT_EQ(kept.use_count(), 1) << depth;
    EXPECT_EQ(kept->Item(u"inner").AsCollection()->Item(1).AsString(), u"still here");
  }
}

TEST(JsonValueReleaseTest, DeepAndWideTreeIsReleased) {
  // Every level of a deep chain also carries a few small branches, so the
  // deferred containers pile up beside each other.
  constexpr int kDepth = 20000;
  std::vector<std::weak_ptr<Dictionary>> branches;
  auto root = std::make_shared<Collection>();
  Collection* tip = root.get();
  for (int i = 0; i < kDepth; ++i) {
    auto branch = std::make_shared<Dictionary>();
    branch->Add(u"leaf", JsonValue(std::make_shared<Collection>()));
    if (i % 1000 == 0) branches.push_back(branch);
    tip->Add(JsonValue(std::move(branch)));
    auto next = std::make_shared<Collection>();
    Collection* raw = next.get();
    tip->Add(JsonValue(std::move(next)));
    tip = raw;
  }
  root.reset();
  for (const auto& branch : branches) EXPECT_TRUE(branch.expired());
}

TEST(JsonValueReleaseTest, SuccessiveReleasesEachFinish) {
  // Each release leaves no state behind that would stop the next one.
  for (int round = 0; round < 3; ++round) {
    auto outer = std::make_shared<Collection>();
    Collection* tip = outer.get();
    for (int i = 0; i < 1000; ++i) {
      auto next = std::make_shared<Collection>();
      Collection* raw = next.get();
      tip->Add(JsonValue(std::move(next)));
      tip = raw;
    }
    std::weak_ptr<Collection> watch = outer;
    outer.reset();
    EXPECT_TRUE(watch.expired());
  }
}

}  // namespace
}  // namespace skyvane

namespace skyvane {
namespace {

// The compact layout: 16 bytes, whatever the kind.
TEST(JsonValueLayoutTest, EveryValueIsSixteenBytes) {
  EXPECT_EQ(sizeof(JsonValue), 16u);
  EXPECT_EQ(sizeof(DictionaryEntry), 32u);
}

// Both container classes keep their header at the start of the object,
// where a held pointer of either class finds it.
TEST(JsonValueLayoutTest, ContainerHeaderStartsTheObject) {
  Dictionary dictionary;
  Collection collection;
  EXPECT_EQ(static_cast<const void*>(static_cast<const internal::ContainerHeader*>(&dictionary)),
            static_cast<const void*>(&dictionary));
  EXPECT_EQ(static_cast<const void*>(static_cast<const internal::ContainerHeader*>(&collection)),
            static_cast<const void*>(&collection));
}

// Texts on both sides of the inline limit come back unchanged, and copies
// and moves of them behave as values.
TEST(JsonValueLayoutTest, TextsAroundTheInlineLimitBehaveAsValues) {
  for (size_t length = 0; length <= 3 * JsonValue::kShortTextUnits; ++length) {
    std::u16string text;
    for (size_t i = 0; i < length; ++i) {
      // NUL, a lone surrogate and the last code unit among ordinary ones.
      const char16_t units[] = {u'a', u'\0', 0xD800, 0xFFFF, u'z'};
      text.push_back(units[i % 5]);
    }
    SCOPED_TRACE(length);
    JsonValue value(text);
    ASSERT_TRUE(value.IsString());
    EXPECT_EQ(value.AsString(), text);
    EXPECT_EQ(value.ToText(), text);
    JsonValue copy = value;
    JsonValue moved = std::move(value);
    EXPECT_TRUE(value.IsEmpty());  // a moved-from value is Empty
    EXPECT_EQ(copy.AsString(), text);
    EXPECT_EQ(moved.AsString(), text);
    moved = JsonValue(u"other");
    EXPECT_EQ(copy.AsString(), text);
    const JsonValue& same = copy;
    copy = same;
    EXPECT_EQ(copy.AsString(), text);
  }
}

TEST(JsonValueLayoutTest, DecimalsKeepEveryPartWhenPacked) {
  const uint64_t kAllLow = ~uint64_t{0};
  const uint64_t kAllHigh = 0xFFFFFFFFu;
  const Decimal cases[] = {
      Decimal(),
      Decimal::FromParts(true, kAllHigh, kAllLow, Decimal::kMaxScale),
      Decimal::FromParts(false, kAllHigh, kAllLow, 0),
      Decimal::FromParts(true, 0, 1, 1),
      Decimal::FromParts(false, 1, 0, 17),
  };
  for (const Decimal& d : cases) {
    const JsonValue value(d);
    const Decimal back = value.AsDecimal();
    EXPECT_EQ(back.IsNegative(), d.IsNegative());
    EXPECT_EQ(back.MagnitudeHigh(), d.MagnitudeHigh());
    EXPECT_EQ(back.MagnitudeLow(), d.MagnitudeLow());
    EXPECT_EQ(back.Scale(), d.Scale());
  }
}

// Assigning a value from inside the container that the value itself holds
// keeps the source alive until it is copied.
TEST(JsonValueLayoutTest, AssigningFromInsideTheHeldContainer) {
  auto list = std::make_shared<Collection>();
  list->Add(JsonValue(u"a text longer than the inline limit"));
  JsonValue holder(list);
  list.reset();
  holder = holder.CollectionOrNull()->Item(1);
  EXPECT_EQ(holder.AsString(), u"a text longer than the inline limit");
}

}  // namespace
}  // namespace skyvane
