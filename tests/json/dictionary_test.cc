#include "json/dictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "json/collection.h"
#include "json/key_hash.h"
#include "tests/json/colliding_keys.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

JsonValue Num(int64_t n) {
  return JsonValue(Decimal::FromInt64(n));
}

std::u16string KeyOf(int i) {
  std::u16string key = u"key";
  for (char c : std::to_string(i)) key.push_back(static_cast<char16_t>(c));
  return key;
}

TEST(DictionaryTest, KeysDifferingInCaseAreTwoEntriesInOrder) {
  auto d = MakeRef<Dictionary>();
  d->Add(u"A", Num(1));
  d->Add(u"a", Num(2));
  ASSERT_EQ(d->Count(), 2);
  EXPECT_EQ(d->Keys(), (std::vector<std::u16string>{u"A", u"a"}));
  EXPECT_EQ(d->Item(u"A").AsDecimal(), Decimal::FromInt64(1));
  EXPECT_EQ(d->Item(u"a").AsDecimal(), Decimal::FromInt64(2));
  EXPECT_FALSE(d->Exists(u"a "));
  EXPECT_FALSE(d->Exists(u" a"));
}

TEST(DictionaryTest, KeysComeBackInEntryOrder) {
  auto d = MakeRef<Dictionary>();
  d->Add(u"z", Num(1));
  d->Add(u"a", Num(2));
  d->Add(u"m", Num(3));
  EXPECT_EQ(d->Keys(), (std::vector<std::u16string>{u"z", u"a", u"m"}));
  std::vector<std::u16string> enumerated;
  for (const Dictionary::Entry& entry : *d) enumerated.push_back(entry.first);
  EXPECT_EQ(enumerated, d->Keys());
}

TEST(DictionaryTest, AbsentKeyReadsEmptyAndAddsNothing) {
  auto d = MakeRef<Dictionary>();
  d->Add(u"a", Num(1));
  EXPECT_TRUE(d->Item(u"b").IsEmpty());
  EXPECT_FALSE(d->Exists(u"b"));
  EXPECT_EQ(d->Count(), 1);
  EXPECT_EQ(d->Keys(), (std::vector<std::u16string>{u"a"}));
  // Adding it afterwards still works: the read left nothing behind.
  d->Add(u"b", Num(2));
  EXPECT_EQ(d->Count(), 2);
}

TEST(DictionaryTest, DuplicateAddRaisesAndChangesNothing) {
  for (int size : {1, 8, 9, 50}) {  // with and without the hashed index
    auto d = MakeRef<Dictionary>();
    for (int i = 0; i < size - 1; ++i) d->Add(KeyOf(i), Num(i));
    d->Add(u"x", JsonValue(u"first"));
    const std::vector<std::u16string> keys = d->Keys();
    try {
      d->Add(u"x", JsonValue(u"second"));
      ADD_FAILURE() << "second Add of x did not raise, size " << size;
    } catch (const RunError& e) {
      EXPECT_EQ(e.Code(), 457);
      EXPECT_NE(e.Description().find("already present"), std::string::npos) << e.Description();
    }
    EXPECT_EQ(d->Item(u"x").AsString(), u"first");
    EXPECT_EQ(d->Count(), size);
    EXPECT_EQ(d->Keys(), keys);
  }
}

TEST(DictionaryTest, KeysAreExactCodeUnits) {
  auto d = MakeRef<Dictionary>();
  const std::u16string with_nul(u"a\0b", 3);
  const std::u16string with_other_nul(u"a\0c", 3);
  d->Add(u"a", Num(1));
  d->Add(with_nul, Num(2));
  d->Add(with_other_nul, Num(3));
  d->Add(u"", Num(4));
  d->Add(u"\u00e9", Num(5));   // precomposed
  d->Add(u"e\u0301", Num(6));  // decomposed: not the same key
  d->Add(u"\xD83D", Num(7));   // a lone surrogate is a key like any other
  EXPECT_EQ(d->Count(), 7);
  EXPECT_EQ(d->Item(with_nul).AsDecimal(), Decimal::FromInt64(2));
  EXPECT_EQ(d->Item(with_other_nul).AsDecimal(), Decimal::FromInt64(3));
  EXPECT_EQ(d->Item(u"").AsDecimal(), Decimal::FromInt64(4));
  EXPECT_EQ(d->Item(u"e\u0301").AsDecimal(), Decimal::FromInt64(6));
  EXPECT_FALSE(d->Exists(std::u16string(u"a\0", 2)));
  EXPECT_EQ(d->Keys()[1], with_nul);
}

TEST(DictionaryTest, SetItemReplacesInPlaceOrAppends) {
  auto d = MakeRef<Dictionary>();
  d->Add(u"a", Num(1));
  d->Add(u"b", Num(2));
  d->SetItem(u"a", JsonValue(u"new"));
  EXPECT_EQ(d->Item(u"a").AsString(), u"new");
  EXPECT_EQ(d->Keys(), (std::vector<std::u16string>{u"a", u"b"}));
  d->SetItem(u"c", JsonValue(true));
  EXPECT_EQ(d->Keys(), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  EXPECT_TRUE(d->Item(u"c").AsBoolean());
}

TEST(DictionaryTest, KeysIsASnapshot) {
  auto d = MakeRef<Dictionary>();
  d->Add(u"a", Num(1));
  const std::vector<std::u16string> before = d->Keys();
  d->Add(u"b", Num(2));
  EXPECT_EQ(before, (std::vector<std::u16string>{u"a"}));
}

// Crosses the point where the hashed index takes over from the linear scan
// and keeps checking every key, present and absent, as it grows.
TEST(DictionaryIndexTest, EveryKeyIsFoundAtEverySize) {
  auto d = MakeRef<Dictionary>();
  constexpr int kKeys = 300;
  for (int n = 0; n < kKeys; ++n) {
    d->Add(KeyOf(n), Num(n));
    ASSERT_EQ(d->Count(), n + 1);
    for (int i = 0; i <= n; ++i) {
      ASSERT_TRUE(d->Exists(KeyOf(i))) << "size " << n + 1 << " key " << i;
      ASSERT_EQ(d->Item(KeyOf(i)).AsDecimal(), Decimal::FromInt64(i));
    }
    ASSERT_FALSE(d->Exists(KeyOf(n + 1)));
    ASSERT_FALSE(d->Exists(KeyOf(-1)));
    ASSERT_THROW(d->Add(KeyOf(n / 2), Num(0)), RunError);
  }
  std::vector<std::u16string> expected;
  for (int i = 0; i < kKeys; ++i) expected.push_back(KeyOf(i));
  EXPECT_EQ(d->Keys(), expected);
}

TEST(DictionaryIndexTest, ManyShortAndSimilarKeys) {
  auto d = MakeRef<Dictionary>();
  // Every two-code-unit key over a small alphabet, including case pairs and
  // NUL, so keys differ in a single unit.
  const std::u16string alphabet(u"aAbB\0zZ09_", 10);
  std::vector<std::u16string> keys;
  for (char16_t first : alphabet) {
    for (char16_t second : alphabet) keys.push_back(std::u16string{first, second});
  }
  for (size_t i = 0; i < keys.size(); ++i) d->Add(keys[i], Num(static_cast<int64_t>(i)));
  for (size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(d->Item(keys[i]).AsDecimal(), Decimal::FromInt64(static_cast<int64_t>(i)));
  }
  EXPECT_EQ(d->Keys(), keys);
  for (char16_t only : alphabet) EXPECT_FALSE(d->Exists(std::u16string(1, only)));
}

TEST(DictionaryIndexTest, LargeDictionary) {
  auto d = MakeRef<Dictionary>();
  constexpr int kKeys = 100000;
  for (int i = 0; i < kKeys; ++i) d->Add(KeyOf(i), Num(i));
  for (int i = 0; i < kKeys; i += 7) {
    ASSERT_EQ(d->Item(KeyOf(i)).AsDecimal(), Decimal::FromInt64(i));
  }
  EXPECT_TRUE(d->Item(KeyOf(kKeys)).IsEmpty());
  d->SetItem(KeyOf(5), JsonValue(u"five"));
  EXPECT_EQ(d->Item(KeyOf(5)).AsString(), u"five");
  EXPECT_EQ(d->Count(), kKeys);
}

// No lookup of a present key probes more slots than this, at the load the
// index keeps: an index that would pass it draws a fresh seed.
constexpr size_t kLongestProbeAllowed = 64;

// Checks the index directly after Adds (slot counts a power of two with at
// least two slots per entry and at most four, short probes), so that a
// growth gone wrong fails here instead of hanging a later probe; then looks
// up every key and as many absent ones.
TEST(DictionaryIndexTest, GrowthKeepsHalfTheSlotsFreeAndEveryKeyFound) {
  constexpr int kKeys = 50000;
  constexpr int kCheckEachAddUpTo = 1100;  // past several doublings
  constexpr int kCheckEvery = 997;
  constexpr size_t kLinearScanLimit = 8;
  constexpr size_t kMinSlots = 32;
  auto d = MakeRef<Dictionary>();
  for (int i = 0; i < kKeys; ++i) {
    d->Add(KeyOf(i), Num(i));
    if (i >= kCheckEachAddUpTo && i % kCheckEvery != 0 && i != kKeys - 1) continue;
    const size_t count = static_cast<size_t>(i) + 1;
    const Dictionary::IndexShape shape = d->IndexShapeForTesting();
    if (count <= kLinearScanLimit) {
      ASSERT_EQ(shape.slot_count, 0u) << count;
      continue;
    }
    ASSERT_EQ(shape.slot_count & (shape.slot_count - 1), 0u) << count;
    ASSERT_GE(shape.slot_count, 2 * count) << count;
    ASSERT_LE(shape.slot_count, std::max(kMinSlots, 4 * count)) << count;
    ASSERT_LE(shape.longest_probe, kLongestProbeAllowed) << count;
  }
  ASSERT_EQ(d->Count(), kKeys);
  for (int i = 0; i < kKeys; ++i) {
    ASSERT_EQ(d->Item(KeyOf(i)).AsDecimal(), Decimal::FromInt64(i)) << i;
  }
  for (int i = kKeys; i < 2 * kKeys; ++i) ASSERT_FALSE(d->Exists(KeyOf(i))) << i;
  EXPECT_FALSE(d->Exists(KeyOf(-1)));
}

// Adds `keys` (distinct) and checks that each is found, that probes stay
// short, and that a duplicate is still refused.
void ExpectReadableIndex(Dictionary& d, const std::vector<std::u16string>& keys) {
  for (size_t i = 0; i < keys.size(); ++i) d.Add(keys[i], Num(static_cast<int64_t>(i)));
  EXPECT_LE(d.IndexShapeForTesting().longest_probe, kLongestProbeAllowed);
  for (size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(d.Item(keys[i]).AsDecimal(), Decimal::FromInt64(static_cast<int64_t>(i))) << i;
  }
  EXPECT_THROW(d.Add(keys.front(), Num(0)), RunError);
  EXPECT_THROW(d.Add(keys.back(), Num(0)), RunError);
  EXPECT_EQ(d.Count(), static_cast<int32_t>(keys.size()));
}

TEST(DictionaryIndexTest, KeysCraftedAgainstAnUnkeyedHashKeepProbesShort) {
  auto d = MakeRef<Dictionary>();
  ExpectReadableIndex(*d, colliding_keys::KeysCollidingUnderFnv(2000));
}

// An attacker who knows the process seed can aim keys at one slot; the
// index notices the cluster, draws a seed of its own and spreads them. The
// seed goes along when the entries are handed over.
TEST(DictionaryIndexTest, KeysCraftedAgainstTheProcessSeedKeepProbesShort) {
  constexpr int kSharedLowBits = 12;  // one home slot in every index up to 4096 slots
  const std::vector<std::u16string> keys =
      colliding_keys::KeysCollidingUnderSeed(600, kSharedLowBits, ProcessKeyHashSeed());
  auto gather = MakeRef<Dictionary>();
  ExpectReadableIndex(*gather, keys);
  auto taken = MakeRef<Dictionary>();
  taken->TakeEntriesOf(*gather);
  EXPECT_LE(taken->IndexShapeForTesting().longest_probe, kLongestProbeAllowed);
  for (size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(taken->Item(keys[i]).AsDecimal(), Decimal::FromInt64(static_cast<int64_t>(i))) << i;
  }
  // The emptied dictionary that kept its index reads the same keys again.
  ExpectReadableIndex(*gather, keys);
}

// The shape a forecast reader walks: root "data", then a position, then a key.
// A reader gathers object after object in one dictionary and hands each
// over; sizes cross the point where the index starts, both ways, so that
// an index kept from a large object must serve (or be dropped for) the next.
TEST(DictionaryTest, TakeEntriesOfHandsOverEveryEntryAndLeavesTheSourceReusable) {
  auto gather = MakeRef<Dictionary>();
  for (int count : {3, 40, 2, 9, 8, 200, 12, 0, 30, 1}) {
    for (int i = 0; i < count; ++i) gather->Add(KeyOf(i), Num(i));
    auto taken = MakeRef<Dictionary>();
    taken->TakeEntriesOf(*gather);
    EXPECT_EQ(gather->Count(), 0) << count;
    EXPECT_FALSE(gather->Exists(KeyOf(0))) << count;
    ASSERT_EQ(taken->Count(), count);
    int i = 0;
    for (const Dictionary::Entry& entry : *taken) {
      EXPECT_EQ(entry.first, KeyOf(i)) << count;
      EXPECT_EQ(entry.second.AsDecimal(), Decimal::FromInt64(i)) << count;
      ++i;
    }
    for (int k = 0; k < count; ++k) {
      EXPECT_EQ(taken->Item(KeyOf(k)).AsDecimal(), Decimal::FromInt64(k)) << count;
    }
    EXPECT_FALSE(taken->Exists(KeyOf(count))) << count;
    // Both go on working as dictionaries: duplicates still refused.
    if (count > 0) {
      EXPECT_THROW(taken->Add(KeyOf(count - 1), Num(0)), RunError);
      taken->Add(KeyOf(count), Num(count));
      EXPECT_EQ(taken->Item(KeyOf(count)).AsDecimal(), Decimal::FromInt64(count));
    }
    gather->Add(u"probe", Num(1));
    try {
      gather->Add(u"probe", Num(2));
      ADD_FAILURE() << "duplicate accepted after a hand-over of " << count;
    } catch (const RunError& e) {
      EXPECT_EQ(e.Code(), static_cast<int>(ErrorNumber::kKeyAlreadyPresent));
    }
    auto drop = MakeRef<Dictionary>();
    drop->TakeEntriesOf(*gather);
  }
}

TEST(DictionaryTest, TakeEntriesOfRefusesATargetWithEntries) {
  auto from = MakeRef<Dictionary>();
  from->Add(u"a", Num(1));
  auto target = MakeRef<Dictionary>();
  target->Add(u"b", Num(2));
  try {
    target->TakeEntriesOf(*from);
    ADD_FAILURE() << "a dictionary with entries took more";
  } catch (const RunError& e) {
    EXPECT_EQ(e.Code(), static_cast<int>(ErrorNumber::kInvalidArgument));
  }
  EXPECT_EQ(target->Keys(), std::vector<std::u16string>{u"b"});
  EXPECT_EQ(from->Keys(), std::vector<std::u16string>{u"a"});
  EXPECT_THROW(from->TakeEntriesOf(*from), RunError);
  EXPECT_EQ(from->Count(), 1);
}

TEST(DictionaryTest, LookupsChainThroughNestedContainers) {
  auto root = MakeRef<Dictionary>();
  auto days = MakeRef<Collection>();
  for (int day = 1; day <= 7; ++day) {
    auto record = MakeRef<Dictionary>();
    record->Add(u"wea", JsonValue(u"sunny"));
    record->Add(u"tem1", JsonValue(KeyOf(day)));
    days->Add(JsonValue(std::move(record)));
  }
  root->Add(u"data", JsonValue(days));
  const JsonValue document(root);

  const JsonValue& third = document.AsDictionary()->Item(u"data").AsCollection()->Item(3);
  EXPECT_EQ(third.AsDictionary()->Item(u"tem1").AsString(), u"key3");
  EXPECT_TRUE(third.AsDictionary()->Item(u"tem2").IsEmpty());
  // A missing key yields Empty, and asking Empty for a container is the
  // consumer's failure (object required), not a crash.
  EXPECT_THROW(document.AsDictionary()->Item(u"list").AsCollection(), RunError);
  EXPECT_THROW(document.AsDictionary()->Item(u"data").AsCollection()->Item(8), RunError);
}

}  // namespace
}  // namespace skyvane
