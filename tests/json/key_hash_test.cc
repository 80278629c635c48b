#include "json/key_hash.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "tests/json/colliding_keys.h"

namespace skyvane {
namespace {

TEST(KeyHashTest, SameKeyAndSeedGiveTheSameHash) {
  const KeyHashSeed seed{1, 2};
  for (const std::u16string& key : colliding_keys::RandomKeys(100)) {
    EXPECT_EQ(HashKey(key, seed), HashKey(std::u16string(key), seed));
  }
  EXPECT_EQ(HashKey(u"a", ProcessKeyHashSeed()), HashKey(u"a", ProcessKeyHashSeed()));
}

// The seed is what an attacker cannot aim at: with another seed the same
// keys hash to unrelated values.
TEST(KeyHashTest, HashDependsOnTheSeed) {
  const KeyHashSeed a{1, 2};
  const std::vector<KeyHashSeed> others = {{1, 3}, {2, 2}, {0, 0}, FreshKeyHashSeed()};
  for (const KeyHashSeed& b : others) {
    int equal = 0;
    for (const std::u16string& key : colliding_keys::RandomKeys(1000)) {
      equal += HashKey(key, a) == HashKey(key, b);
    }
    EXPECT_EQ(equal, 0) << b.k0 << "," << b.k1;
  }
}

TEST(KeyHashTest, SeedsAreDrawnAtRandom) {
  EXPECT_EQ(ProcessKeyHashSeed(), ProcessKeyHashSeed());
  EXPECT_NE(ProcessKeyHashSeed(), KeyHashSeed{});
  const KeyHashSeed first = FreshKeyHashSeed();
  const KeyHashSeed second = FreshKeyHashSeed();
  EXPECT_NE(first, second);
  EXPECT_NE(first, ProcessKeyHashSeed());
}

TEST(KeyHashTest, EveryCodeUnitAndTheLengthCount) {
  const KeyHashSeed seed = ProcessKeyHashSeed();
  std::vector<std::u16string> keys = {u"",
                                      std::u16string(1, u'\0'),
                                      std::u16string(2, u'\0'),
                                      u"a",
                                      u"A",
                                      u"ab",
                                      u"ba",
                                      u"\xD83D",
                                      u"\xFFFF"};
  // Keys one unit apart at every position of a longer key, either side of
  // a word boundary.
  const std::u16string base = u"abcdefghijk";
  for (size_t i = 0; i < base.size(); ++i) {
    std::u16string changed = base;
    changed[i] = u'_';
    keys.push_back(changed);
  }
  keys.push_back(base);
  std::unordered_set<uint64_t> hashes;
  for (const std::u16string& key : keys) hashes.insert(HashKey(key, seed));
  EXPECT_EQ(hashes.size(), keys.size());
}

// Keys that all share one hash under an unkeyed word hash share nothing
// under the keyed one: their low bits (which pick a slot) are spread.
TEST(KeyHashTest, KeysCraftedAgainstAnUnkeyedHashSpread) {
  const std::vector<std::u16string> keys = colliding_keys::KeysCollidingUnderFnv(2000);
  for (const std::u16string& key : keys) {
    ASSERT_EQ(colliding_keys::FnvState(key), colliding_keys::FnvState(keys.front()));
  }
  constexpr uint64_t kSlots = 1024;
  std::unordered_set<uint64_t> slots;
  for (const std::u16string& key : keys) slots.insert(HashKey(key, ProcessKeyHashSeed()) % kSlots);
  // 2000 random picks among 1024 slots leave about 1024 * (1 - e^-2) = 885
  // of them used.
  EXPECT_GT(slots.size(), 800u);
}

}  // namespace
}  // namespace skyvane
