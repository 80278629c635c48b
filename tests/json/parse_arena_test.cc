#include "json/parse_arena.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <string>
#include <thread>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_reader.h"

namespace skyvane {
namespace {

// [[["a long text number 0", 0], ...], ...]: many small arrays and texts
// that fill several chunks.
std::u16string Document(int lists, int items) {
  std::u16string text = u"[";
  for (int i = 0; i < lists; ++i) {
    text += i == 0 ? u"[" : u",[";
    for (int j = 0; j < items; ++j) {
      const std::string n = std::to_string(i * items + j);
      const std::u16string number(n.begin(), n.end());
      text += (j == 0 ? u"[\"a long text number " : u",[\"a long text number ") + number + u"\"," +
              number + u"]";
    }
    text += u"]";
  }
  return text + u"]";
}

size_t BytesInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// Parts of a document taken out of it stay readable after the document is
// released: their chunks live as long as they do.
TEST(ParseArenaTest, PartsOutliveTheirDocument) {
  JsonValue list;
  JsonValue text;
  {
    const JsonValue root = ReadJson(Document(200, 50));
    ASSERT_EQ(ErrorLog(), u"");
    list = root.CollectionOrNull()->Item(117);
    text = root.CollectionOrNull()->Item(3).CollectionOrNull()->Item(7).CollectionOrNull()->Item(1);
  }
  ASSERT_TRUE(list.IsCollection());
  ASSERT_EQ(list.CollectionOrNull()->Count(), 50);
  const JsonValue& pair = list.CollectionOrNull()->Item(50);
  EXPECT_EQ(pair.CollectionOrNull()->Item(1).AsString(), u"a long text number 5849");
  EXPECT_EQ(pair.CollectionOrNull()->Item(2).AsDecimal(), Decimal::FromInt64(5849));
  EXPECT_EQ(text.AsString(), u"a long text number 106");
  // The taken part can still grow: its new items come from the heap.
  list.CollectionOrNull()->Add(JsonValue(u"added after the document went"));
  EXPECT_EQ(list.CollectionOrNull()->Item(51).AsString(), u"added after the document went");
}

TEST(ParseArenaTest, ADocumentCanBeReleasedOnAnotherThread) {
  for (int round = 0; round < 3; ++round) {
    JsonValue root = ReadJson(Document(100, 20));
    JsonValue kept = root.CollectionOrNull()->Item(1);
    std::thread release([moved = std::move(root)]() mutable { moved = JsonValue(); });
    release.join();
    EXPECT_EQ(kept.CollectionOrNull()->Item(20).CollectionOrNull()->Item(1).AsString(),
              u"a long text number 19");
  }
}

// Released documents give their chunks back: reading and dropping a
// document again and again does not pile up memory, and a small part kept
// holds only a few chunks.
TEST(ParseArenaTest, ChunksGoBackWhenTheirBlocksAreFreed) {
  const std::u16string text = Document(400, 50);
  ReadJson(text);  // settles the reader's own buffers and the log
  const size_t before = BytesInUse();
  for (int i = 0; i < 10; ++i) ReadJson(text);
  constexpr size_t kSlack = 4 * internal::ParseArena::kChunkSize;
  EXPECT_LE(BytesInUse(), before + kSlack);
  JsonValue kept;
  {
    const JsonValue root = ReadJson(text);
    kept = root.CollectionOrNull()->Item(200).CollectionOrNull()->Item(1);
  }
  EXPECT_LE(BytesInUse(), before + kSlack);
  EXPECT_EQ(kept.CollectionOrNull()->Item(1).AsString(), u"a long text number 9950");
}

TEST(ParseArenaTest, BlocksOutsideAParseComeFromTheHeap) {
  EXPECT_EQ(internal::ParseArena::Current(), nullptr);
  const internal::Block block = internal::AllocateBlock(64);
  EXPECT_FALSE(block.in_arena);
  internal::FreeBlock(block);
  {
    internal::ParseArena arena;
    EXPECT_EQ(internal::ParseArena::Current(), &arena);
    const internal::Block small = internal::AllocateBlock(64);
    const internal::Block large = internal::AllocateBlock(internal::ParseArena::kChunkSize * 3);
    EXPECT_TRUE(small.in_arena);
    EXPECT_TRUE(large.in_arena);
    internal::FreeBlock(large);
    internal::FreeBlock(small);
  }
  EXPECT_EQ(internal::ParseArena::Current(), nullptr);
}

}  // namespace
}  // namespace skyvane
