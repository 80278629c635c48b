#include "json/json_value.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
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
      {JsonValue(MakeRef<Dictionary>()), 9, u"Dictionary"},
      {JsonValue(MakeRef<Collection>()), 9, u"Collection"},
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
  EXPECT_TRUE(JsonValue(Ref<Dictionary>()).IsEmpty());
  EXPECT_TRUE(JsonValue(Ref<Collection>()).IsEmpty());
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
  EXPECT_EQ(ErrorCode([] { JsonValue(MakeRef<Dictionary>()).ToText(); }), 13);
  EXPECT_EQ(ErrorCode([] { JsonValue(MakeRef<Collection>()).ToText(); }), 13);
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
  EXPECT_EQ(ErrorCode([] { JsonValue(MakeRef<Dictionary>()).AsCollection(); }), 424);
  EXPECT_EQ(ErrorCode([] { JsonValue(MakeRef<Collection>()).AsDictionary(); }), 424);

  EXPECT_EQ(text.DictionaryOrNull(), nullptr);
  EXPECT_EQ(JsonValue(MakeRef<Dictionary>()).CollectionOrNull(), nullptr);
  auto list = MakeRef<Collection>();
  EXPECT_EQ(JsonValue(list).CollectionOrNull(), list.get());
}

TEST(JsonValueTest, TextIsCopiedContainersAreShared) {
  JsonValue original(u"abc");
  JsonValue copy = original;
  original = JsonValue(u"changed");
  EXPECT_EQ(copy.AsString(), u"abc");

  auto list = MakeRef<Collection>();
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
  auto root = MakeRef<Collection>();
  Ref<Collection> deepest;
  Collection* tip = root.get();
  for (int i = 0; i < kDepth; ++i) {
    auto inner = MakeRef<Collection>();
    Collection* next = inner.get();
    if (i == kDepth - 1) deepest = inner;
    tip->Add(JsonValue(std::move(inner)));
    tip = next;
  }
  tip->Add(JsonValue(u"leaf"));
  EXPECT_EQ(deepest.use_count(), 2);
  root.reset();
  // Its holder in the released tree let go of it.
  EXPECT_EQ(deepest.use_count(), 1);
}

TEST(JsonValueReleaseTest, DeeplyNestedMixedContainersAreReleased) {
  constexpr int kDepth = 100000;
  JsonValue root(MakeRef<Dictionary>());
  Ref<Dictionary> last_dictionary;
  JsonValue tip = root;
  for (int i = 0; i < kDepth; ++i) {
    JsonValue inner =
        i % 2 == 0 ? JsonValue(MakeRef<Collection>()) : JsonValue(MakeRef<Dictionary>());
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
  EXPECT_EQ(last_dictionary.use_count(), 2);
  root = JsonValue();
  EXPECT_EQ(last_dictionary.use_count(), 1);
}

TEST(JsonValueReleaseTest, ContainersHeldElsewhereSurviveTheRelease) {
  // Shared containers at a shallow depth and far below the depth where
  // destruction is deferred.
  for (int depth : {1, 1000}) {
    auto kept = MakeRef<Dictionary>();
    kept->Add(u"inner", JsonValue(MakeRef<Collection>()));
    kept->Item(u"inner").AsCollection()->Add(JsonValue(u"still here"));
    {
      auto root = MakeRef<Collection>();
      Collection* tip = root.get();
      for (int i = 0; i < depth; ++i) {
        auto next = MakeRef<Collection>();
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
  std::vector<Ref<Dictionary>> branches;
  auto root = MakeRef<Collection>();
  Collection* tip = root.get();
  for (int i = 0; i < kDepth; ++i) {
    auto branch = MakeRef<Dictionary>();
    branch->Add(u"leaf", JsonValue(MakeRef<Collection>()));
    if (i % 1000 == 0) branches.push_back(branch);
    tip->Add(JsonValue(std::move(branch)));
    auto next = MakeRef<Collection>();
    Collection* raw = next.get();
    tip->Add(JsonValue(std::move(next)));
    tip = raw;
  }
  for (const auto& branch : branches) EXPECT_EQ(branch.use_count(), 2);
  root.reset();
  for (const auto& branch : branches) EXPECT_EQ(branch.use_count(), 1);
}

TEST(JsonValueReleaseTest, SuccessiveReleasesEachFinish) {
  // Each release leaves no state behind that would stop the next one.
  for (int round = 0; round < 3; ++round) {
    constexpr int kDepth = 1000;
    auto outer = MakeRef<Collection>();
    Ref<Collection> deepest;
    Collection* tip = outer.get();
    for (int i = 0; i < kDepth; ++i) {
      auto next = MakeRef<Collection>();
      Collection* raw = next.get();
      if (i == kDepth - 1) deepest = next;
      tip->Add(JsonValue(std::move(next)));
      tip = raw;
    }
    outer.reset();
    EXPECT_EQ(deepest.use_count(), 1);
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

// A handle is one pointer; a container read from a document is one block,
// its items right after its 8-byte header. Growing it moves the items
// elsewhere but leaves the container (and so every handle) where it was.
TEST(JsonValueLayoutTest, ReadContainersHoldTheirItemsRightAfterTheirHeader) {
  EXPECT_EQ(sizeof(Ref<Dictionary>), sizeof(void*));
  const JsonValue root = ReadJson(u"[1, \"text\", {\"a\": 1, \"b\": [true]}]");
  ASSERT_EQ(ErrorLog(), u"");
  const Collection* list = root.CollectionOrNull();
  ASSERT_NE(list, nullptr);
  constexpr std::size_t kHeaderBytes = 8;
  const auto* header_end = reinterpret_cast<const char*>(list) + kHeaderBytes;
  EXPECT_EQ(reinterpret_cast<const char*>(&list->Item(1)), header_end);
  EXPECT_EQ(reinterpret_cast<const char*>(&list->Item(2)), header_end + sizeof(JsonValue));
  const Dictionary* object = list->Item(3).DictionaryOrNull();
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(reinterpret_cast<const char*>(object->begin()),
            reinterpret_cast<const char*>(object) + kHeaderBytes);

  JsonValue kept = list->Item(3).DictionaryOrNull()->Item(u"b");
  Collection* inner = kept.CollectionOrNull();
  inner->Add(JsonValue(u"grown"));
  EXPECT_EQ(kept.CollectionOrNull(), inner);
  EXPECT_NE(reinterpret_cast<const char*>(&inner->Item(1)),
            reinterpret_cast<const char*>(inner) + kHeaderBytes);
  EXPECT_TRUE(inner->Item(1).AsBoolean());
  EXPECT_EQ(inner->Item(2).AsString(), u"grown");
  EXPECT_EQ(object->Item(u"b").CollectionOrNull()->Count(), 2);
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
  auto list = MakeRef<Collection>();
  list->Add(JsonValue(u"a text longer than the inline limit"));
  JsonValue holder(list);
  list.reset();
  holder = holder.CollectionOrNull()->Item(1);
  EXPECT_EQ(holder.AsString(), u"a text longer than the inline limit");
}

}  // namespace
}  // namespace skyvane
