#include "json/gather_stack.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <utility>

namespace skyvane {
namespace {

// Counts the values alive: a move hands its value over, and a moved-from
// instance holds none and needs no destruction, as GatherStack requires.
struct Counted {
  static inline int live = 0;
  explicit Counted(int v) : value(v) { ++live; }
  Counted(Counted&& other) noexcept : value(std::exchange(other.value, 0)) {}
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  ~Counted() {
    if (value != 0) --live;
  }
  int value;
};

// Pushes past several growths; each level's items are then handed over
// (moved out and forgotten) or truncated, the way the reader ends a
// container that it built or abandoned.
TEST(GatherStackTest, KeepsItemsAcrossGrowthAndReleasesEachLevelOnce) {
  Counted::live = 0;
  {
    internal::GatherStack<Counted> stack;
    constexpr int kItems = 1000;  // several times the first capacity
    for (int i = 1; i <= kItems; ++i) stack.Push(i);
    ASSERT_EQ(stack.size(), static_cast<std::size_t>(kItems));
    EXPECT_EQ(Counted::live, kItems);
    for (int i = 1; i <= kItems; ++i) ASSERT_EQ(stack.At(0)[i - 1].value, i);

    // The top 300 handed over: moved out, then forgotten.
    constexpr std::size_t kHandedOver = 700;
    {
      Counted* top = stack.At(kHandedOver);
      for (std::size_t i = kHandedOver; i < stack.size(); ++i) {
        Counted taken(std::move(top[i - kHandedOver]));
        EXPECT_EQ(taken.value, static_cast<int>(i) + 1);
      }
    }
    stack.Forget(kHandedOver);
    EXPECT_EQ(stack.size(), kHandedOver);
    EXPECT_EQ(Counted::live, static_cast<int>(kHandedOver));

    // The next 200 abandoned: destroyed.
    stack.Truncate(500);
    EXPECT_EQ(stack.size(), 500u);
    EXPECT_EQ(Counted::live, 500);
    // Truncating or forgetting above the top changes nothing.
    stack.Truncate(600);
    stack.Forget(600);
    EXPECT_EQ(stack.size(), 500u);

    // The stack fills again from where it stands.
    stack.Push(-1);
    EXPECT_EQ(stack.At(500)->value, -1);
    EXPECT_EQ(stack.At(499)->value, 500);
  }
  // The stack's end destroys what is left on it.
  EXPECT_EQ(Counted::live, 0);
}

}  // namespace
}  // namespace skyvane
