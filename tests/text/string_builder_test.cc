#include "text/string_builder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <climits>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "tests/text/raised_number.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

constexpr int32_t kDefaultChunk = 8192;
constexpr int32_t kMaxChars = INT32_MAX / 2;  // 1073741823
constexpr int32_t kFirstOverflowingIndex = 1 << 30;

std::u16string Repeat(char16_t c, size_t n) {
  return std::u16string(n, c);
}

// A view that claims `size` units but only owns a few: the builder must
// refuse it from its length alone, before reading a single unit.
std::u16string_view HugeView(size_t size) {
  // Heap storage, so that the optimiser does not reason about the bounds of
  // a static array behind a move that the builder never makes.
  static const std::u16string kFew(4, u'x');
  return {kFew.data(), size};
}

struct Snapshot {
  std::u16string text;
  int32_t capacity;
  int32_t chunk;
};

Snapshot Take(const cStringBuilder& b) {
  return {b.toString(), b.Capacity(), b.ChunkSize()};
}

void ExpectSame(const Snapshot& before, const cStringBuilder& b) {
  EXPECT_EQ(before.text, b.toString());
  EXPECT_EQ(static_cast<int32_t>(before.text.size()), b.Length());
  EXPECT_EQ(before.capacity, b.Capacity());
  EXPECT_EQ(before.chunk, b.ChunkSize());
}

TEST(StringBuilderGrowth, NewBuilderIsEmpty) {
  cStringBuilder b;
  EXPECT_EQ(b.Length(), 0);
  EXPECT_EQ(b.Capacity(), 0);
  EXPECT_EQ(b.ChunkSize(), kDefaultChunk);
  EXPECT_EQ(b.toString(), u"");
  EXPECT_EQ(b.Find(u"a"), 0);
  EXPECT_EQ(b.Find(u""), 0);
}

TEST(StringBuilderGrowth, CapacityGrowsByWholeChunks) {
  struct Case {
    int32_t chunk;
    std::vector<size_t> pieces;
    int32_t capacity;
  };
  const Case cases[] = {
      {kDefaultChunk, {3}, 8192},
      {kDefaultChunk, {8192}, 8192},
      {kDefaultChunk, {8193}, 16384},  // one growth of two chunks
      {kDefaultChunk, {20000}, 24576},
      {kDefaultChunk, {8192, 1}, 16384},
      {10, {25}, 30},
      {10, {10, 10, 1}, 30},
      {1, {7, 3}, 10},
      {3, {1, 1, 1, 1}, 6},
      {kDefaultChunk, {0}, 0},  // appending nothing allocates nothing
  };
  for (const Case& c : cases) {
    cStringBuilder b;
    b.ChunkSize(c.chunk);
    std::u16string expected;
    char16_t letter = u'a';
    for (size_t n : c.pieces) {
      const std::u16string piece = Repeat(letter++, n);
      b.Append(piece);
      expected += piece;
    }
    EXPECT_EQ(b.Capacity(), c.capacity) << "chunk " << c.chunk;
    EXPECT_EQ(b.toString(), expected);
  }
}

TEST(StringBuilderGrowth, SingleUnitAppendsCrossChunkBoundaries) {
  cStringBuilder b;
  b.ChunkSize(3);
  std::u16string expected;
  for (int i = 0; i < 10; ++i) {
    const char16_t c = static_cast<char16_t>(u'a' + i);
    b.Append(c);
    expected += c;
    EXPECT_EQ(b.Capacity(), (i / 3 + 1) * 3);
  }
  EXPECT_EQ(b.toString(), expected);
}

TEST(StringBuilderGrowth, AppendNLAddsCarriageReturnLineFeed) {
  cStringBuilder b;
  b.AppendNL(u"x");
  EXPECT_EQ(b.toString(), u"x\r\n");
  EXPECT_EQ(b.Length(), 3);
  b.AppendNL(u"");
  EXPECT_EQ(b.toString(), u"x\r\n\r\n");
  cStringBuilder fresh;
  fresh.AppendNL(std::u16string_view());
  EXPECT_EQ(fresh.toString(), u"\r\n");
  fresh.Append(std::u16string_view());
  fresh.Insert(0, std::u16string_view());
  fresh.TheString(std::u16string_view());
  EXPECT_EQ(fresh.Capacity(), 0);
}

TEST(StringBuilderGrowth, TextsMayHoldNul) {
  cStringBuilder b;
  b.Append(std::u16string_view(u"a\0b", 3));
  EXPECT_EQ(b.Length(), 3);
  EXPECT_EQ(b.toString(), std::u16string(u"a\0b", 3));
  EXPECT_EQ(b.Find(std::u16string_view(u"\0", 1)), 2);
}

TEST(StringBuilderGrowth, TheStringKeepsCapacityAndEmptyTextClears) {
  cStringBuilder b;
  b.Append(Repeat(u'q', 20000));
  ASSERT_EQ(b.Capacity(), 24576);
  b.TheString(u"z");
  EXPECT_EQ(b.toString(), u"z");
  EXPECT_EQ(b.Capacity(), 24576);
  b.HeapMinimize();
  EXPECT_EQ(b.Capacity(), 8192);
  EXPECT_EQ(b.toString(), u"z");

  b.ChunkSize(5);
  b.TheString(u"");
  EXPECT_EQ(b.Capacity(), 0);
  EXPECT_EQ(b.Length(), 0);
  EXPECT_EQ(b.ChunkSize(), 5);
  b.TheString(u"0123456789ab");
  EXPECT_EQ(b.Capacity(), 15);
  b.Clear();
  EXPECT_EQ(b.Capacity(), 0);
  EXPECT_EQ(b.toString(), u"");
  EXPECT_EQ(b.ChunkSize(), 5);
}

TEST(StringBuilderGrowth, HeapMinimizeKeepsAtMostOneChunkSpare) {
  struct Case {
    int32_t chunk_at_growth;
    int32_t length;
    int32_t kept;
    int32_t chunk_at_minimize;
    int32_t capacity;
  };
  const Case cases[] = {
      {10, 15, 10, 10, 20},   // spare of exactly one chunk stays
      {10, 95, 3, 10, 10},    // 100 -> 10
      {10, 95, 3, 7, 9},      // drops 13 chunks of 7: spare 6
      {10, 95, 95, 10, 100},  // spare 5: nothing to give back
      {10, 95, 0, 10, 10},    // an empty builder keeps one chunk
      {10, 95, 0, 200, 100},  // a chunk larger than the spare changes nothing
  };
  for (const Case& c : cases) {
    cStringBuilder b;
    b.ChunkSize(c.chunk_at_growth);
    b.Append(Repeat(u'm', static_cast<size_t>(c.length)));
    b.Remove(c.kept, c.length - c.kept);
    b.ChunkSize(c.chunk_at_minimize);
    b.HeapMinimize();
    EXPECT_EQ(b.Capacity(), c.capacity) << c.length << " kept " << c.kept;
    EXPECT_EQ(b.toString(), Repeat(u'm', static_cast<size_t>(c.kept)));
    // The builder still works after giving storage back.
    b.Append(u"tail");
    EXPECT_EQ(b.toString(), Repeat(u'm', static_cast<size_t>(c.kept)) + u"tail");
  }
  cStringBuilder empty;
  empty.HeapMinimize();
  EXPECT_EQ(empty.Capacity(), 0);
}

TEST(StringBuilderEdit, InsertPlacesTextBeforeIndex) {
  cStringBuilder b;
  b.Append(u"cd");
  b.Insert(0, u"ab");
  EXPECT_EQ(b.toString(), u"abcd");
  b.Insert(4, u"ef");  // at Length: the same as Append
  EXPECT_EQ(b.toString(), u"abcdef");
  b.Insert(3, u"-");
  EXPECT_EQ(b.toString(), u"abc-def");
  b.InsertByVal(1, u"+");
  EXPECT_EQ(b.toString(), u"a+bc-def");
  b.Insert(2, u"");
  EXPECT_EQ(b.toString(), u"a+bc-def");
}

TEST(StringBuilderEdit, InsertIntoEmptyBuilderAllocates) {
  cStringBuilder b;
  b.Insert(0, u"abc");
  EXPECT_EQ(b.toString(), u"abc");
  EXPECT_EQ(b.Capacity(), kDefaultChunk);
}

TEST(StringBuilderEdit, InsertBeyondSpareRoomGrowsByEnoughChunks) {
  cStringBuilder b;
  b.ChunkSize(4);
  b.Append(u"abcdef");
  ASSERT_EQ(b.Capacity(), 8);
  b.Insert(2, u"0123456789X");
  EXPECT_EQ(b.toString(), u"ab0123456789Xcdef");
  EXPECT_EQ(b.Capacity(), 20);
}

TEST(StringBuilderEdit, RemoveCutsRunsAndKeepsCapacity) {
  struct Case {
    int32_t index;
    int32_t length;
    std::u16string result;
  };
  const Case cases[] = {
      {1, 2, u"ad"}, {4, 0, u"abcd"}, {0, 4, u""}, {0, 0, u"abcd"}, {3, 1, u"abc"}, {0, 1, u"bcd"},
  };
  for (const Case& c : cases) {
    cStringBuilder b;
    b.Append(u"abcd");
    b.Remove(c.index, c.length);
    EXPECT_EQ(b.toString(), c.result) << c.index << "," << c.length;
    EXPECT_EQ(b.Capacity(), kDefaultChunk);
  }
}

TEST(StringBuilderEdit, RemovedTailIsNeverSeen) {
  cStringBuilder b;
  b.Append(u"abcdef");
  b.Remove(3, 3);
  EXPECT_EQ(b.toString(), u"abc");
  EXPECT_EQ(b.Find(u"d"), 0);
  EXPECT_EQ(b.Find(u"cd"), 0);
  EXPECT_EQ(b.Find(u"C", 1, cStringBuilder::kTextCompare), 3);
}

TEST(StringBuilderEdit, OwnTextMayBePassedBack) {
  cStringBuilder b;
  b.ChunkSize(4);
  b.Append(u"abcd");
  b.Append(b.View());  // needs a growth that may move the storage
  EXPECT_EQ(b.toString(), u"abcdabcd");
  b.Insert(1, b.View().substr(0, 3));
  EXPECT_EQ(b.toString(), u"aabcbcdabcd");
  b.AppendNL(b.View().substr(0, 2));
  EXPECT_EQ(b.toString(), u"aabcbcdabcdaa\r\n");
  b.TheString(b.View().substr(2, 3));
  EXPECT_EQ(b.toString(), u"bcb");
  b.Append(b.View().substr(1));
  EXPECT_EQ(b.toString(), u"bcbcb");
  b.AppendByVal(std::u16string(b.View()));
  EXPECT_EQ(b.toString(), u"bcbcbbcbcb");
}

TEST(StringBuilderEdit, MoveLeavesSourceEmpty) {
  cStringBuilder a;
  a.ChunkSize(7);
  a.Append(u"moved");
  cStringBuilder b(std::move(a));
  EXPECT_EQ(b.toString(), u"moved");
  EXPECT_EQ(b.Capacity(), 7);
  EXPECT_EQ(a.Length(), 0);  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(a.Capacity(), 0);
  a.Append(u"again");
  EXPECT_EQ(a.toString(), u"again");
  b = std::move(a);
  EXPECT_EQ(b.toString(), u"again");
  EXPECT_EQ(a.Length(), 0);  // NOLINT(bugprone-use-after-move)
}

TEST(StringBuilderFind, BinaryAndTextComparison) {
  struct Case {
    std::u16string text;
    std::u16string needle;
    int32_t start;
    int32_t compare;
    int32_t position;
  };
  constexpr int32_t kBin = cStringBuilder::kBinaryCompare;
  constexpr int32_t kTxt = cStringBuilder::kTextCompare;
  const Case cases[] = {
      {u"ab", u"b", 0, kBin, 2},  // a match on the last character counts
      {u"ab", u"x", 0, kBin, 0},
      {u"ab", u"B", 1, kBin, 0},
      {u"ab", u"B", 1, kTxt, 2},
      {u"ab", u"b ", 0, kBin, 0},  // the spare room is not part of the text
      {u"ab", u"b ", 0, kTxt, 0},
      {u"ab", u"ab", 0, kBin, 1},
      {u"ab", u"abc", 0, kBin, 0},
      {u"aba", u"a", 2, kBin, 3},
      {u"aba", u"a", -5, kBin, 1},  // starts below 1 mean 1
      {u"aba", u"a", 3, kBin, 3},
      {u"aba", u"a", 4, kBin, 0},  // start beyond the text
      {u"aba", u"", 2, kBin, 2},   // empty needle: the start within the text
      {u"aba", u"", 0, kBin, 1},
      {u"aba", u"", 3, kTxt, 3},
      {u"aba", u"", 4, kBin, 0},
      {u"xAbCaBc", u"abc", 3, kTxt, 5},
      {u"xAbCaBc", u"abc", 0, kBin, 0},
      {u"stra\u00DFe", u"STRA\u00DFE", 0, kTxt, 1},
      {u"x\u00E4b", u"\u00C4B", 0, kTxt, 2},
      {u"\u039F\u0394\u039F\u03A3", u"\u03C3", 0, kTxt, 4},  // capital sigma found by small
      {u"x\u212A", u"k", 0, kTxt, 2},                        // KELVIN SIGN folds to k
      {u"x\u212A", u"k", 0, kBin, 0},
  };
  for (const Case& c : cases) {
    cStringBuilder b;
    b.Append(c.text);
    EXPECT_EQ(b.Find(c.needle, c.start, c.compare), c.position)
        << "start " << c.start << " compare " << c.compare << " needle size " << c.needle.size();
  }
}

// Every start, every pattern length and both ends of the text, on a
// two-letter text full of near misses, must agree with std::u16string::find.
TEST(StringBuilderFind, BinarySearchAgreesWithStandardFindEverywhere) {
  std::mt19937 random(3);
  for (size_t length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 40u, 71u}) {
    std::u16string text(length, u'a');
    for (char16_t& c : text) c = random() % 3 == 0 ? u'b' : u'a';
    cStringBuilder b;
    b.Append(text);
    for (size_t m = 1; m <= 20; ++m) {
      for (int variant = 0; variant < 4; ++variant) {
        std::u16string pattern(m, u'a');
        if (variant == 0 && m <= length) {
          pattern = text.substr(random() % (length - m + 1), m);
        } else {
          for (char16_t& c : pattern) c = random() % 3 == 0 ? u'b' : u'a';
        }
        for (size_t from = 0; from <= length + 1; ++from) {
          const size_t expected = text.find(pattern, from);
          const int32_t want = expected == std::u16string::npos ? 0 : int32_t(expected) + 1;
          ASSERT_EQ(b.Find(pattern, int32_t(from) + 1), want)
              << "length " << length << " pattern " << m << " from " << from;
        }
      }
    }
  }
}

TEST(StringBuilderFind, UnknownComparisonIsRefused) {
  cStringBuilder b;
  b.Append(u"abc");
  EXPECT_EQ(RaisedNumber([&] { b.Find(u"a", 1, 2); }), 5);
  EXPECT_EQ(RaisedNumber([&] { b.Find(u"a", 1, -1); }), 5);
  EXPECT_EQ(RaisedNumber([&] { b.Find(u"", 9, 3); }), 5);
}

TEST(StringBuilderErrors, IndexesOutsideTheTextRaiseNine) {
  struct Case {
    const char* what;
    std::function<void(cStringBuilder&)> action;
    int number;
  };
  const std::vector<Case> cases = {
      {"insert past length", [](cStringBuilder& b) { b.Insert(5, u"x"); }, 9},
      {"insert negative", [](cStringBuilder& b) { b.Insert(-1, u"x"); }, 9},
      {"insert most negative", [](cStringBuilder& b) { b.Insert(INT32_MIN, u"x"); }, 9},
      {"insert empty past length", [](cStringBuilder& b) { b.Insert(5, u""); }, 9},
      {"insert index overflows", [](cStringBuilder& b) { b.Insert(kFirstOverflowingIndex, u"x"); },
       6},
      {"insert largest index", [](cStringBuilder& b) { b.Insert(INT32_MAX, u"x"); }, 6},
      {"remove run past end", [](cStringBuilder& b) { b.Remove(3, 2); }, 9},
      {"remove start past end", [](cStringBuilder& b) { b.Remove(5, 0); }, 9},
      {"remove negative index", [](cStringBuilder& b) { b.Remove(-1, 1); }, 9},
      {"remove negative length", [](cStringBuilder& b) { b.Remove(1, -1); }, 9},
      {"remove most negative", [](cStringBuilder& b) { b.Remove(2, INT32_MIN); }, 9},
      {"remove index overflows", [](cStringBuilder& b) { b.Remove(kFirstOverflowingIndex, 0); }, 6},
      {"remove end overflows", [](cStringBuilder& b) { b.Remove(1, INT32_MAX); }, 6},
      {"remove end bytes overflow", [](cStringBuilder& b) { b.Remove(0, kFirstOverflowingIndex); },
       6},
  };
  for (const Case& c : cases) {
    cStringBuilder b;
    b.Append(u"abcd");
    const Snapshot before = Take(b);
    EXPECT_EQ(RaisedNumber([&] { c.action(b); }), c.number) << c.what;
    ExpectSame(before, b);
  }
}

TEST(StringBuilderErrors, ChunkSizeLimits) {
  cStringBuilder b;
  EXPECT_EQ(RaisedNumber([&] { b.ChunkSize(1073741824); }), 6);
  EXPECT_EQ(b.ChunkSize(), kDefaultChunk);
  EXPECT_EQ(RaisedNumber([&] { b.ChunkSize(INT32_MAX); }), 6);
  EXPECT_EQ(RaisedNumber([&] { b.ChunkSize(0); }), 5);
  EXPECT_EQ(RaisedNumber([&] { b.ChunkSize(-3); }), 5);
  EXPECT_EQ(RaisedNumber([&] { b.ChunkSize(INT32_MIN); }), 5);
  EXPECT_EQ(b.ChunkSize(), kDefaultChunk);
  b.ChunkSize(kMaxChars);
  EXPECT_EQ(b.ChunkSize(), kMaxChars);
  b.ChunkSize(1);
  EXPECT_EQ(b.ChunkSize(), 1);
}

TEST(StringBuilderErrors, ByteCountsBeyondThirtyTwoBitsRaiseSix) {
  struct Case {
    const char* what;
    std::function<void(cStringBuilder&)> action;
  };
  const std::vector<Case> cases = {
      {"append too long", [](cStringBuilder& b) { b.Append(HugeView(kMaxChars + 1u)); }},
      {"the string too long", [](cStringBuilder& b) { b.TheString(HugeView(kMaxChars + 1u)); }},
      {"insert too long", [](cStringBuilder& b) { b.Insert(1, HugeView(kMaxChars + 1u)); }},
      {"append nl too long", [](cStringBuilder& b) { b.AppendNL(HugeView(kMaxChars + 1u)); }},
      // Fits alone, but not after the three characters already held.
      {"append sum", [](cStringBuilder& b) { b.Append(HugeView(kMaxChars - 2u)); }},
      {"insert sum", [](cStringBuilder& b) { b.Insert(0, HugeView(kMaxChars - 2u)); }},
      // The text fits but the line break after it does not: nothing is added.
      {"append nl line break", [](cStringBuilder& b) { b.AppendNL(HugeView(kMaxChars - 4u)); }},
      // The growth step itself leaves the range.
      {"growth step",
       [](cStringBuilder& b) {
         b.ChunkSize(kMaxChars);
         b.Append(Repeat(u'g', 9000));
       }},
  };
  for (const Case& c : cases) {
    cStringBuilder b;
    b.Append(u"abc");
    const Snapshot before = Take(b);
    EXPECT_EQ(RaisedNumber([&] { c.action(b); }), 6) << c.what;
    EXPECT_EQ(b.toString(), before.text) << c.what;
    EXPECT_EQ(b.Capacity(), before.capacity) << c.what;
  }
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnderSanitizer = true;
#else
constexpr bool kUnderSanitizer = false;
#endif
#else
constexpr bool kUnderSanitizer = false;
#endif

// Runs in a child process with its address space capped, so that a buffer
// of almost 2 GiB cannot be had; returns 0 when the builder raised 7 and kept its
// text each time.
int ExhaustMemory() {
  cStringBuilder b;
  b.Append(u"abc");
  constexpr rlim_t kLimit = rlim_t{1} << 30;
  const rlimit limit{kLimit, kLimit};
  if (setrlimit(RLIMIT_AS, &limit) != 0) return 2;
  constexpr size_t kHugeChars = 900'000'000;
  const std::u16string_view huge = HugeView(kHugeChars);
  const std::function<void()> actions[] = {
      [&] { b.Append(huge); },
      [&] { b.TheString(huge); },
      [&] { b.Insert(1, huge); },
      [&] { b.AppendNL(huge.substr(4)); },
  };
  for (const auto& action : actions) {
    if (RaisedNumber(action) != 7) return 3;
    if (b.toString() != u"abc" || b.Capacity() != kDefaultChunk) return 4;
  }
  b.Append(u"d");  // still usable
  return b.toString() == u"abcd" ? 0 : 5;
}

TEST(StringBuilderErrors, FailedAllocationRaisesSevenAndChangesNothing) {
  if (kUnderSanitizer) GTEST_SKIP() << "the sanitizer's allocator cannot run with a capped space";
  EXPECT_EXIT(std::exit(ExhaustMemory()), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace skyvane
