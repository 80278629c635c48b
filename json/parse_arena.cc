#include "json/parse_arena.h"

#include <atomic>
#include <cstdlib>

namespace skyvane::internal {
namespace {

constexpr int64_t kHold = int64_t{1} << 62;

}  // namespace

// At the start of every chunk, which is aligned to kChunkSize so that any
// block's chunk is found by rounding its address down.
struct ParseArena::ChunkHeader {
  // Blocks not yet freed; while an arena cuts from the chunk, kHold more
  // (its blocks are counted only when it retires the chunk, so that cutting
  // a block costs no atomic operation; frees meanwhile only lower the hold).
  std::atomic<int64_t> live;
};

namespace {

constexpr std::size_t kHeaderSize =
    (sizeof(std::atomic<int64_t>) + ParseArena::kAlignment - 1) & ~(ParseArena::kAlignment - 1);

// The bytes a chunk gives up at its end. malloc keeps one word of its own
// after each block it hands out; a chunk that leaves it free ends exactly
// where the next aligned chunk can start, so that chunks carved one after
// the other from the heap leave no gaps between them (a full kChunkSize
// each would leave almost a whole chunk unused before every next one).
constexpr std::size_t kAllocatorWord = sizeof(std::size_t);

// `bytes` bytes aligned to kChunkSize, where a chunk header can be found
// from any address inside.
void* NewAligned(std::size_t bytes) {
  void* memory = nullptr;
  if (posix_memalign(&memory, ParseArena::kChunkSize, bytes) != 0) throw std::bad_alloc();
  return memory;
}

}  // namespace

ParseArena::ParseArena() noexcept : previous_(current_) {
  current_ = this;
}

ParseArena::~ParseArena() {
  RetireChunk();
  current_ = previous_;
}

void* ParseArena::AllocateSlow(std::size_t bytes, Cut cut) {
  if (bytes > kLargestSharedBlock) return AllocateAlone(bytes);
  void* memory = NewAligned(kChunkSize - kAllocatorWord);
  RetireChunk();
  chunk_ = new (memory) ChunkHeader{{kHold}};
  next_ = static_cast<char*>(memory) + kHeaderSize;
  end_ = static_cast<char*>(memory) + kChunkSize - kAllocatorWord;
  blocks_in_chunk_ = 0;
  return cut == Cut::kFromStart ? Allocate(bytes) : AllocateText(bytes);
}

void ParseArena::RetireChunk() noexcept {
  if (chunk_ == nullptr) return;
  const int64_t change = blocks_in_chunk_ - kHold;
  if (chunk_->live.fetch_add(change, std::memory_order_acq_rel) + change == 0) {
    chunk_->~ChunkHeader();
    std::free(chunk_);
  }
  chunk_ = nullptr;
  next_ = end_ = nullptr;
  blocks_in_chunk_ = 0;
}

void* ParseArena::AllocateAlone(std::size_t bytes) {
  // Exactly as large as needed: only its start must be aligned.
  void* memory = NewAligned(kHeaderSize + bytes);
  new (memory) ChunkHeader{{1}};
  return static_cast<char*>(memory) + kHeaderSize;
}

void ParseArena::Free(void* block) noexcept {
  auto* chunk = reinterpret_cast<ChunkHeader*>(reinterpret_cast<uintptr_t>(block) &
                                               ~static_cast<uintptr_t>(kChunkSize - 1));
  if (chunk->live.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    chunk->~ChunkHeader();
    std::free(chunk);
  }
}

void FreeBlock(const Block& block) noexcept {
  if (block.in_arena) {
    ParseArena::Free(block.address);
  } else {
    ::operator delete(block.address);
  }
}

}  // namespace skyvane::internal
