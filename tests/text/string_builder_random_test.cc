// Long random sequences of builder calls checked, after every step, against
// a plain std::u16string and an independent replay of the chunk arithmetic.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "tests/text/raised_number.h"
#include "text/run_error.h"
#include "text/string_builder.h"

namespace skyvane {
namespace {

constexpr int kSeeds = 20;
constexpr int kStepsPerSeed = 5000;
constexpr int32_t kMaxRandomChunk = 64;
constexpr size_t kMaxPiece = 24;
constexpr int64_t kMaxChars = INT32_MAX / 2;
// Letters of both cases and a space, so that text comparison and the
// (space-filled) spare room both get exercised.
constexpr char16_t kAlphabet[] = u"aAbBcC ";
constexpr size_t kAlphabetSize = sizeof(kAlphabet) / sizeof(char16_t) - 1;

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
}

// What the builder should hold, kept the simple way.
class Model {
 public:
  const std::u16string& text() const { return text_; }
  int64_t capacity() const { return capacity_; }
  int64_t chunk() const { return chunk_; }

  // Each step one chunk at a time, exactly as the growth rule reads.
  void GrowTo(int64_t need_chars) {
    while (capacity_ < need_chars) capacity_ += chunk_;
  }
  void Append(std::u16string_view s) {
    if (s.empty()) return;
    GrowTo(static_cast<int64_t>(text_.size() + s.size()));
    text_ += s;
  }
  void Insert(size_t index, std::u16string_view s) {
    if (s.empty()) return;
    GrowTo(static_cast<int64_t>(text_.size() + s.size()));
    text_.insert(index, s);
  }
  void Remove(size_t index, size_t length) { text_.erase(index, length); }
  void TheString(std::u16string_view s) {
    if (s.empty()) {
      Clear();
      return;
    }
    GrowTo(static_cast<int64_t>(s.size()));
    text_ = s;
  }
  void Clear() {
    text_.clear();
    capacity_ = 0;
  }
  void HeapMinimize() {
    while (capacity_ - static_cast<int64_t>(text_.size()) > chunk_) capacity_ -= chunk_;
  }
  void SetChunk(int64_t chunk) { chunk_ = chunk; }

  int32_t Find(std::u16string_view needle, int32_t start_index, bool ignore_case) const {
    const int64_t start = start_index > 0 ? start_index : 1;
    const int64_t length = static_cast<int64_t>(text_.size());
    if (start > length) return 0;
    if (needle.empty()) return static_cast<int32_t>(start);
    for (int64_t p = start - 1; p + static_cast<int64_t>(needle.size()) <= length; ++p) {
      bool equal = true;
      for (size_t i = 0; i < needle.size() && equal; ++i) {
        const char16_t a = text_[static_cast<size_t>(p) + i];
        const char16_t b = needle[i];
        equal = ignore_case ? AsciiLower(a) == AsciiLower(b) : a == b;
      }
      if (equal) return static_cast<int32_t>(p + 1);
    }
    return 0;
  }

 private:
  std::u16string text_;
  int64_t capacity_ = 0;
  int64_t chunk_ = cStringBuilder::kDefaultChunkChars;
};

class RandomRun {
 public:
  // Starts from a small chunk so that growth happens often.
  explicit RandomRun(uint32_t seed) : random_(seed) {
    const int32_t chunk = 1 + static_cast<int32_t>(Below(kMaxRandomChunk));
    builder_.ChunkSize(chunk);
    model_.SetChunk(chunk);
  }

  void Step() {
    switch (Below(14)) {
      case 0:
      case 1: {
        const std::u16string s = Piece();
        Expect(0, [&] { builder_.Append(s); });
        model_.Append(s);
        break;
      }
      case 2: {
        const char16_t c = kAlphabet[Below(kAlphabetSize)];
        Expect(0, [&] { builder_.Append(c); });
        model_.Append(std::u16string_view(&c, 1));
        break;
      }
      case 3: {
        const std::u16string s = Piece();
        Expect(0, [&] { builder_.AppendNL(s); });
        model_.Append(s + u"\r\n");
        break;
      }
      case 4: {
        // A piece of the builder's own text, passed straight back.
        const std::u16string expected = OwnSlice();
        const std::u16string_view view = builder_.View().substr(slice_from_, expected.size());
        if (Below(2) == 0) {
          Expect(0, [&] { builder_.Append(view); });
          model_.Append(expected);
        } else {
          const int32_t index = static_cast<int32_t>(Below(model_.text().size() + 1));
          Expect(0, [&] { builder_.Insert(index, view); });
          model_.Insert(static_cast<size_t>(index), expected);
        }
        break;
      }
      case 5:
      case 6:
        Insert();
        break;
      case 7:
      case 8:
        Remove();
        break;
      case 9:
        Find();
        Find();
        break;
      case 10: {
        const std::u16string s = Below(8) == 0 ? std::u16string() : Piece();
        Expect(0, [&] { builder_.TheString(s); });
        model_.TheString(s);
        break;
      }
      case 11:
        Expect(0, [&] { builder_.HeapMinimize(); });
        model_.HeapMinimize();
        break;
      case 12:
        if (Below(10) == 0) {
          Expect(0, [&] { builder_.Clear(); });
          model_.Clear();
        } else {
          Expect(0, [&] { (void)builder_.toString(); });
        }
        break;
      default:
        SetChunk();
        break;
    }
    Check();
  }

  bool failed() const { return testing::Test::HasFailure(); }

 private:
  size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

  std::u16string Piece() {
    std::u16string s(Below(kMaxPiece + 1), u'\0');
    for (char16_t& c : s) c = kAlphabet[Below(kAlphabetSize)];
    return s;
  }

  std::u16string OwnSlice() {
    const size_t length = model_.text().size();
    slice_from_ = Below(length + 1);
    return model_.text().substr(slice_from_, Below(length - slice_from_ + 1));
  }

  // An index mostly inside or just outside the text, sometimes one whose
  // byte count leaves the 32-bit range.
  int32_t Index() {
    switch (Below(12)) {
      case 0:
        return -1 - static_cast<int32_t>(Below(3));
      case 1:
        return Below(2) == 0 ? INT32_MIN : INT32_MAX;
      case 2:
        return 1 << 30;
      default:
        return static_cast<int32_t>(Below(model_.text().size() + 3));
    }
  }

  void Insert() {
    const int32_t index = Index();
    const std::u16string s = Piece();
    const int64_t length = static_cast<int64_t>(model_.text().size());
    int expected = 0;
    if (index < 0) {
      expected = 9;
    } else if (index >= (1 << 30)) {
      expected = 6;
    } else if (index > length) {
      expected = 9;
    }
    Expect(expected, [&] {
      if (Below(2) == 0) {
        builder_.Insert(index, s);
      } else {
        builder_.InsertByVal(index, s);
      }
    });
    if (expected == 0) model_.Insert(static_cast<size_t>(index), s);
  }

  void Remove() {
    const int32_t index = Index();
    int32_t run = 0;
    switch (Below(8)) {
      case 0:
        run = -1;
        break;
      case 1:
        run = INT32_MAX;
        break;
      default:
        run = static_cast<int32_t>(Below(model_.text().size() / 2 + 3));
    }
    const int64_t length = static_cast<int64_t>(model_.text().size());
    const int64_t end = int64_t{index} + run;
    int expected = 0;
    if (index < 0 || run < 0) {
      expected = 9;
    } else if (index > kMaxChars) {
      expected = 6;
    } else if (index > length) {
      expected = 9;
    } else if (end > INT32_MAX || end > kMaxChars) {
      expected = 6;
    } else if (end > length) {
      expected = 9;
    }
    Expect(expected, [&] { builder_.Remove(index, run); });
    if (expected == 0) model_.Remove(static_cast<size_t>(index), static_cast<size_t>(run));
  }

  void Find() {
    std::u16string needle;
    if (Below(3) == 0 && !model_.text().empty()) {
      needle = OwnSlice().substr(0, 5);
      // Flip the case of some letters; the text comparison must not care.
      for (char16_t& c : needle) {
        if (Below(2) == 0 && c >= u'a' && c <= u'z') c = c - u'a' + u'A';
      }
    } else {
      needle = Piece().substr(0, Below(4));
    }
    const int32_t start = static_cast<int32_t>(Below(model_.text().size() + 4)) - 2;
    const int32_t compare = static_cast<int32_t>(Below(9)) < 8 ? static_cast<int32_t>(Below(2)) : 2;
    int32_t found = -1;
    Expect(compare == 2 ? 5 : 0, [&] { found = builder_.Find(needle, start, compare); });
    if (compare != 2) {
      EXPECT_EQ(found, model_.Find(needle, start, compare == 1))
          << "start " << start << " compare " << compare;
    }
  }

  void SetChunk() {
    int32_t chunk = 0;
    int expected = 0;
    switch (Below(10)) {
      case 0:
        chunk = -static_cast<int32_t>(Below(3));
        expected = 5;
        break;
      case 1:
        chunk = Below(2) == 0 ? (1 << 30) : INT32_MAX;
        expected = 6;
        break;
      default:
        chunk = 1 + static_cast<int32_t>(Below(kMaxRandomChunk));
    }
    Expect(expected, [&] { builder_.ChunkSize(chunk); });
    if (expected == 0) model_.SetChunk(chunk);
  }

  void Expect(int number, const std::function<void()>& action) {
    ++step_;
    EXPECT_EQ(RaisedNumber(action), number) << "step " << step_;
  }

  void Check() {
    ASSERT_EQ(builder_.toString(), model_.text()) << "step " << step_;
    ASSERT_EQ(builder_.View(), model_.text()) << "step " << step_;
    ASSERT_EQ(builder_.Length(), static_cast<int32_t>(model_.text().size())) << "step " << step_;
    ASSERT_EQ(builder_.Capacity(), model_.capacity()) << "step " << step_;
    ASSERT_EQ(builder_.ChunkSize(), model_.chunk()) << "step " << step_;
  }

  std::mt19937 random_;
  cStringBuilder builder_;
  Model model_;
  size_t slice_from_ = 0;
  int step_ = 0;
};

TEST(StringBuilderRandom, MatchesPlainStringModel) {
  for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RandomRun run(seed);
    for (int step = 0; step < kStepsPerSeed && !run.failed(); ++step) run.Step();
    if (run.failed()) return;
  }
}

}  // namespace
}  // namespace skyvane
