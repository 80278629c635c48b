// CompactVector: the element storage of Collection and Dictionary (internal
// to json/).
//
// A growable array like std::vector, in 16 bytes (pointer, size, room), whose
// storage comes from the thread's ParseArena during a parse (so a reader's
// arrays sit beside their containers in a few large chunks) and from the
// heap otherwise. Elements must be nothrow-movable. Sizes stay below 2^31.
// Not thread-safe.
#ifndef SKYVANE_JSON_COMPACT_VECTOR_H_
#define SKYVANE_JSON_COMPACT_VECTOR_H_

#include <cstddef>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "json/parse_arena.h"

namespace skyvane::internal {

template <typename T>
class CompactVector {
  static_assert(std::is_nothrow_move_constructible_v<T>);

 public:
  CompactVector() noexcept : capacity_(0), in_arena_(false) {}
  ~CompactVector() {
    Clear();
    FreeStorage();
  }
  CompactVector(const CompactVector&) = delete;
  CompactVector& operator=(const CompactVector&) = delete;

  std::size_t size() const noexcept { return size_; }
  std::size_t capacity() const noexcept { return capacity_; }
  bool empty() const noexcept { return size_ == 0; }
  T* begin() noexcept { return data_; }
  T* end() noexcept { return data_ + size_; }
  const T* begin() const noexcept { return data_; }
  const T* end() const noexcept { return data_ + size_; }
  T& operator[](std::size_t i) noexcept { return data_[i]; }
  const T& operator[](std::size_t i) const noexcept { return data_[i]; }

  // Makes room for `count` elements in all. Throws std::bad_alloc, leaving
  // the vector unchanged.
  void Reserve(std::size_t count) {
    if (count <= capacity_) return;
    const Block block = AllocateBlock(count * sizeof(T));
    T* moved = static_cast<T*>(block.address);
    for (std::size_t i = 0; i < size_; ++i) {
      new (moved + i) T(std::move(data_[i]));
      data_[i].~T();
    }
    FreeStorage();
    data_ = moved;
    capacity_ = static_cast<uint32_t>(count);
    in_arena_ = block.in_arena;
  }

  // Appends, doubling the room when full. Throws std::bad_alloc, leaving
  // the vector unchanged.
  void PushBack(T&& value) {
    if (size_ == capacity_) Reserve(capacity_ < kFirstRoom ? kFirstRoom : 2 * size_);
    new (data_ + size_) T(std::move(value));
    ++size_;
  }

  // Destroys the elements; the room stays.
  void Clear() noexcept {
    for (std::size_t i = 0; i < size_; ++i) data_[i].~T();
    size_ = 0;
  }

  void Swap(CompactVector& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    const uint32_t capacity = capacity_;
    const uint32_t in_arena = in_arena_;
    capacity_ = other.capacity_;
    in_arena_ = other.in_arena_;
    other.capacity_ = capacity;
    other.in_arena_ = in_arena;
  }

 private:
  // JSON objects and arrays mostly have a handful of members; growing 1, 2,
  // 4 would move them twice.
  static constexpr std::size_t kFirstRoom = 4;

  void FreeStorage() noexcept {
    if (data_ != nullptr) FreeBlock(Block{data_, in_arena_ != 0});
    data_ = nullptr;
    capacity_ = 0;
  }

  T* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ : 31;
  uint32_t in_arena_ : 1;
};

}  // namespace skyvane::internal

#endif  // SKYVANE_JSON_COMPACT_VECTOR_H_
