// GatherStack: where the reader gathers the items of the containers it is
// reading (internal to json/).
//
// A stack of T on the heap (never in the parse's arena: it outlives no
// parse and is no part of the tree). The items of a container are pushed
// above those of the containers around it; when the container ends they are
// moved into it and the moved-from items are dropped with Forget, which
// skips their destructors, or destroyed with Truncate when the container
// cannot be built. T must be nothrow-movable, and a moved-from T must need
// no destruction.
#ifndef SKYVANE_JSON_GATHER_STACK_H_
#define SKYVANE_JSON_GATHER_STACK_H_

#include <algorithm>
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace skyvane::internal {

template <typename T>
class GatherStack {
  static_assert(std::is_nothrow_move_constructible_v<T>);

 public:
  GatherStack() noexcept = default;
  ~GatherStack() {
    Truncate(0);
    ::operator delete(items_);
  }
  GatherStack(const GatherStack&) = delete;
  GatherStack& operator=(const GatherStack&) = delete;

  std::size_t size() const noexcept { return size_; }
  T* At(std::size_t i) noexcept { return items_ + i; }

  // Constructs a new top item from `args`. Throws std::bad_alloc, or what
  // T's constructor throws; the stack is then unchanged.
  template <typename... Args>
  void Push(Args&&... args) {
    if (size_ == capacity_) Grow();
    new (items_ + size_) T(std::forward<Args>(args)...);
    ++size_;
  }
  // Destroys the items from position `start` on.
  void Truncate(std::size_t start) noexcept {
    for (std::size_t i = start; i < size_; ++i) items_[i].~T();
    size_ = std::min(size_, start);
  }
  // Drops the items from position `start` on, all moved from, without
  // destroying them.
  void Forget(std::size_t start) noexcept { size_ = std::min(size_, start); }

 private:
  // Most documents nest a few hundred items at most.
  static constexpr std::size_t kFirstCapacity = 256;

  void Grow() {
    const std::size_t capacity = std::max(kFirstCapacity, 2 * capacity_);
    T* grown = static_cast<T*>(::operator new(capacity * sizeof(T)));
    for (std::size_t i = 0; i < size_; ++i) {
      new (grown + i) T(std::move(items_[i]));
      items_[i].~T();
    }
    ::operator delete(items_);
    items_ = grown;
    capacity_ = capacity;
  }

  T* items_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

}  // namespace skyvane::internal

#endif  // SKYVANE_JSON_GATHER_STACK_H_
