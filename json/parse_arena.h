// ParseArena: where the values of one parse are allocated (internal to
// json/).
//
// While a ParseArena is alive on a thread, the blocks that the value model
// asks for on that thread (containers with their items, long texts and
// keys) are cut one after the other from chunks of kChunkSize bytes instead
// of coming from malloc one by one: blocks aligned for any type from the
// start of a chunk upwards, texts (aligned for char16_t only, so that they
// leave no gaps) from its end downwards. A chunk counts
// its live blocks and goes back to the system when the last of them is
// freed and no arena cuts from it any more, so a subtree that outlives its
// document keeps only its own chunks. Blocks are freed one by one through
// FreeBlock, from any thread; the space of a freed block is not reused
// before its whole chunk is free.
//
// Outside an arena, AllocateBlock falls back to operator new.
#ifndef SKYVANE_JSON_PARSE_ARENA_H_
#define SKYVANE_JSON_PARSE_ARENA_H_

#include <cstddef>
#include <cstdint>
#include <new>

namespace skyvane::internal {

struct Block {
  void* address = nullptr;
  bool in_arena = false;  // to be given back to FreeBlock as it is
};

class ParseArena {
 public:
  static constexpr std::size_t kChunkSize = std::size_t{1} << 15;
  // Every type of the value model needs at most this.
  static constexpr std::size_t kAlignment = 8;
  static constexpr std::size_t kTextAlignment = alignof(char16_t);
  // Blocks larger than this get a chunk of their own.
  static constexpr std::size_t kLargestSharedBlock = kChunkSize / 8;

  // Makes this arena the thread's current one (the previous one, if any,
  // comes back when this one ends).
  ParseArena() noexcept;
  ~ParseArena();
  ParseArena(const ParseArena&) = delete;
  ParseArena& operator=(const ParseArena&) = delete;

  // The thread's current arena, or nullptr.
  static ParseArena* Current() noexcept { return current_; }

  // A block of `bytes` bytes in a chunk of this arena. Throws std::bad_alloc.
  void* Allocate(std::size_t bytes) {
    const std::size_t rounded = (bytes + kAlignment - 1) & ~(kAlignment - 1);
    if (rounded <= static_cast<std::size_t>(end_ - next_)) {
      void* block = next_;
      next_ += rounded;
      ++blocks_in_chunk_;
      return block;
    }
    return AllocateSlow(rounded, Cut::kFromStart);
  }
  // A block of `bytes` bytes aligned for char16_t in a chunk of this arena.
  // Throws std::bad_alloc.
  void* AllocateText(std::size_t bytes) {
    const std::size_t rounded = (bytes + kTextAlignment - 1) & ~(kTextAlignment - 1);
    if (rounded <= static_cast<std::size_t>(end_ - next_)) {
      end_ -= rounded;
      ++blocks_in_chunk_;
      return end_;
    }
    return AllocateSlow(rounded, Cut::kFromEnd);
  }

  // A block of `bytes` bytes in a chunk of its own, to be freed with Free.
  static void* AllocateAlone(std::size_t bytes);
  // Frees a block that Allocate, AllocateText or AllocateAlone returned, on
  // any thread.
  static void Free(void* block) noexcept;

 private:
  enum class Cut { kFromStart, kFromEnd };
  void* AllocateSlow(std::size_t bytes, Cut cut);
  // Gives up the current chunk: its blocks cut so far are counted in it and
  // the arena's own hold on it is dropped.
  void RetireChunk() noexcept;

  struct ChunkHeader;
  ChunkHeader* chunk_ = nullptr;
  char* next_ = nullptr;
  char* end_ = nullptr;
  int64_t blocks_in_chunk_ = 0;
  ParseArena* previous_ = nullptr;
  static inline thread_local ParseArena* current_ = nullptr;
};

// `bytes` bytes aligned for any of the value model's types, from the
// thread's arena when there is one. Throws std::bad_alloc.
inline Block AllocateBlock(std::size_t bytes) {
  if (ParseArena* arena = ParseArena::Current()) return Block{arena->Allocate(bytes), true};
  return Block{::operator new(bytes), false};
}
// `bytes` bytes aligned for char16_t, from the thread's arena when there is
// one. Throws std::bad_alloc.
inline Block AllocateTextBlock(std::size_t bytes) {
  if (ParseArena* arena = ParseArena::Current()) return Block{arena->AllocateText(bytes), true};
  return Block{::operator new(bytes), false};
}
// Frees a block of AllocateBlock or AllocateTextBlock. Thread-safe.
void FreeBlock(const Block& block) noexcept;

}  // namespace skyvane::internal

#endif  // SKYVANE_JSON_PARSE_ARENA_H_
