// TrailingList: the storage of Dictionary and Collection (internal to json/).
//
// A container is an 8-byte header (its holder count, its size and one flag)
// followed in the same block by its tail:
//   - inline: the items themselves, exactly as many as it was built with (a
//     reader knows the count when a container closes), or, for a container
//     built empty, eight bytes of room;
//   - out of line: a pointer to a block of its own holding a BlockHeader
//     (capacity, where the block came from, the container's Extra) and then
//     the items, with room to grow.
// An inline container that gains an item moves its items out of line and
// keeps only the pointer in its tail. The header never moves, so handles
// to the container stay valid while it grows.
//
// So a parsed array of n values is one block of 8 + 16n bytes, and an
// object of n members one of 8 + 32n. Blocks come from the thread's
// ParseArena during a parse and from the heap otherwise (AllocateBlock).
//
// Items must be nothrow-movable. Sizes stay below 2^31. Not thread-safe,
// except for the holder count (see Ref).
#ifndef SKYVANE_JSON_TRAILING_LIST_H_
#define SKYVANE_JSON_TRAILING_LIST_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "json/parse_arena.h"
#include "json/ref.h"

namespace skyvane::internal {

template <typename Derived, typename T, typename Extra>
class TrailingList {
  static_assert(std::is_nothrow_move_constructible_v<T>);
  static_assert(std::is_nothrow_move_constructible_v<Extra>);

 protected:
  // The header's size: where the tail starts. The derived class adds no
  // members, so that its objects end there too.
  static constexpr std::size_t kHeaderBytes = 8;
  static constexpr std::size_t kMaxSize = INT32_MAX;

  explicit TrailingList(bool in_arena) noexcept : holders_(in_arena), size_(0), out_of_line_(0) {}
  ~TrailingList() {
    Clear();
    if (out_of_line_) FreeOutOfLine(OutOfLine());
  }
  TrailingList(const TrailingList&) = delete;
  TrailingList& operator=(const TrailingList&) = delete;

  // A new container with inline room for exactly `count` items (Emplace
  // fills it), its one holder the caller. Throws std::bad_alloc.
  static Derived* NewInline(std::size_t count) {
    const Block block =
        AllocateBlock(kHeaderBytes + std::max(sizeof(BlockHeader*), count * sizeof(T)));
    return new (block.address) Derived(block.in_arena);
  }
  // Destroys a container whose last holder went, and frees its block.
  static void Destroy(Derived* list) noexcept {
    const bool in_arena = list->holders_.InArena();
    list->~Derived();
    FreeBlock(Block{list, in_arena});
  }
  SharedCount& Holders() const noexcept { return holders_; }

  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  T* Data() noexcept { return Items(); }
  const T* Data() const noexcept { return Items(); }

  // Appends in room known to be there: a container made by NewInline before
  // its `count` items are in, or one with capacity to spare.
  void Emplace(T&& item) noexcept {
    new (Items() + size_) T(std::move(item));
    ++size_;
  }
  // Takes over the `count` items at `from` by copying their bytes, in room
  // known to be there (as Emplace). T must be a type whose moves copy its
  // bytes and leave the source needing no destruction: the storage at
  // `from` then holds no live items and is dropped without destroying them.
  void Relocate(T* from, std::size_t count) noexcept {
    // An empty gathering stack may have no storage at all.
    if (count == 0) return;
    std::memcpy(static_cast<void*>(Items() + size_), static_cast<const void*>(from),
                count * sizeof(T));
    size_ += static_cast<uint32_t>(count);
  }
  // Makes room for one more item, doubling the room when full. Throws
  // std::bad_alloc, leaving the list unchanged.
  void RoomForOneMore() {
    if (!out_of_line_ || size_ == OutOfLine()->capacity) {
      const std::size_t size = size_;
      MoveOutOfLine(std::max({size + 1, kFirstRoom, 2 * size}));
    }
  }
  // Room for `count` items in all, out of line. Throws std::bad_alloc,
  // leaving the list unchanged.
  void RoomFor(std::size_t count) {
    if (out_of_line_ && count <= OutOfLine()->capacity) return;
    MoveOutOfLine(std::max<std::size_t>(count, size_));
  }
  // Destroys the items; the room stays.
  void Clear() noexcept {
    T* items = Items();
    for (std::size_t i = 0; i < size_; ++i) items[i].~T();
    size_ = 0;
  }
  // The Extra of the out-of-line block, or nullptr while the items are
  // inline.
  Extra* ExtraOrNull() noexcept { return out_of_line_ ? &OutOfLine()->extra : nullptr; }
  const Extra* ExtraOrNull() const noexcept { return out_of_line_ ? &OutOfLine()->extra : nullptr; }
  // Takes the items, room and Extra of `other`, which must be out of line,
  // into this list, which must be empty; `other` gets this list's room (or
  // none, when it was inline) and is left empty.
  void TakeOutOfLineOf(TrailingList& other) noexcept {
    if (out_of_line_) {
      std::swap(*OutOfLineSlot(), *other.OutOfLineSlot());
    } else {
      new (Tail()) BlockHeader*(other.OutOfLine());
      out_of_line_ = 1;
      other.out_of_line_ = 0;
    }
    size_ = other.size_;
    other.size_ = 0;
  }
  bool IsOutOfLine() const noexcept { return out_of_line_ != 0; }

  // Destroys `list` when an exception leaves the scope before Keep().
  class DestroyUnlessKept {
   public:
    explicit DestroyUnlessKept(Derived* list) noexcept : list_(list) {}
    ~DestroyUnlessKept() {
      if (list_ != nullptr) Destroy(list_);
    }
    DestroyUnlessKept(const DestroyUnlessKept&) = delete;
    DestroyUnlessKept& operator=(const DestroyUnlessKept&) = delete;
    Derived* Get() const noexcept { return list_; }
    Derived* Keep() noexcept { return std::exchange(list_, nullptr); }

   private:
    Derived* list_;
  };

 private:
  // JSON objects and arrays mostly have a handful of members; growing 1, 2,
  // 4 would move them twice.
  static constexpr std::size_t kFirstRoom = 4;

  struct BlockHeader {
    uint32_t capacity;
    bool in_arena;
    [[no_unique_address]] Extra extra;
  };
  static constexpr std::size_t kItemsOffset =
      (sizeof(BlockHeader) + alignof(T) - 1) / alignof(T) * alignof(T);
  static_assert(alignof(BlockHeader) <= alignof(std::max_align_t) && alignof(T) <= 8);

  std::byte* Tail() const noexcept {
    return reinterpret_cast<std::byte*>(const_cast<TrailingList*>(this)) + kHeaderBytes;
  }
  BlockHeader** OutOfLineSlot() const noexcept {
    return std::launder(reinterpret_cast<BlockHeader**>(Tail()));
  }
  BlockHeader* OutOfLine() const noexcept { return *OutOfLineSlot(); }
  static T* ItemsOf(BlockHeader* block) noexcept {
    return std::launder(reinterpret_cast<T*>(reinterpret_cast<std::byte*>(block) + kItemsOffset));
  }
  T* Items() const noexcept {
    return out_of_line_ ? ItemsOf(OutOfLine()) : std::launder(reinterpret_cast<T*>(Tail()));
  }

  void MoveOutOfLine(std::size_t capacity) {
    const Block memory = AllocateBlock(kItemsOffset + capacity * sizeof(T));
    BlockHeader* old = out_of_line_ ? OutOfLine() : nullptr;
    auto* block =
        new (memory.address) BlockHeader{static_cast<uint32_t>(capacity), memory.in_arena,
                                         old != nullptr ? std::move(old->extra) : Extra{}};
    T* from = Items();
    T* to = ItemsOf(block);
    for (std::size_t i = 0; i < size_; ++i) {
      new (to + i) T(std::move(from[i]));
      from[i].~T();
    }
    if (old != nullptr) FreeOutOfLine(old);
    new (Tail()) BlockHeader*(block);
    out_of_line_ = 1;
  }

  static void FreeOutOfLine(BlockHeader* block) noexcept {
    const bool in_arena = block->in_arena;
    block->~BlockHeader();
    FreeBlock(Block{block, in_arena});
  }

  mutable SharedCount holders_;
  uint32_t size_ : 31;
  uint32_t out_of_line_ : 1;
};

}  // namespace skyvane::internal

#endif  // SKYVANE_JSON_TRAILING_LIST_H_
