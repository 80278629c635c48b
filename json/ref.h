// Ref: a counted handle to a shared Dictionary or Collection.
//
// A container counts its holders itself, in its first four bytes, so a
// handle is one pointer and sharing a container costs no allocation of its
// own. Copying a Ref adds a holder, destroying or resetting one drops it,
// and the last holder to go destroys the container. Moves and swaps touch no
// count.
//
// MakeRef<T>() is the one way to create a container; there are no
// containers on the stack or in a std::unique_ptr.
//
// The count is atomic: copies of one Ref may be made, used and dropped on
// different threads. The container a Ref points to is not thread-safe.
#ifndef SKYVANE_JSON_REF_H_
#define SKYVANE_JSON_REF_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace skyvane {

class JsonValue;
class Dictionary;
class Collection;

namespace internal {

// The count of holders of a shared block (a container or a long text), and
// whether the block came from a ParseArena, in one 32-bit word at the start
// of the block. Counts up to 2^31 − 1 holders.
class SharedCount {
 public:
  // One holder: the one creating the block.
  explicit SharedCount(bool in_arena) noexcept : word_(kOneHolder | (in_arena ? kInArena : 0)) {}
  SharedCount(const SharedCount&) = delete;
  SharedCount& operator=(const SharedCount&) = delete;

  void Hold() noexcept { word_.fetch_add(kOneHolder, std::memory_order_relaxed); }
  // Drops one holder; true when it was the last, and the block is to go.
  bool Drop() noexcept {
    // A sole holder has no one to race with: no other thread can add a
    // holder without holding one already. Most blocks of a tree have one.
    if (word_.load(std::memory_order_acquire) < 2 * kOneHolder) return true;
    return word_.fetch_sub(kOneHolder, std::memory_order_acq_rel) < 2 * kOneHolder;
  }
  uint32_t Holders() const noexcept { return word_.load(std::memory_order_relaxed) / kOneHolder; }
  bool InArena() const noexcept { return (word_.load(std::memory_order_relaxed) & kInArena) != 0; }

 private:
  static constexpr uint32_t kInArena = 1;
  static constexpr uint32_t kOneHolder = 2;
  std::atomic<uint32_t> word_;
};

}  // namespace internal

template <typename T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  Ref(const Ref& other) noexcept : held_(other.held_) {
    if (held_ != nullptr) held_->Holders().Hold();
  }
  Ref(Ref&& other) noexcept : held_(std::exchange(other.held_, nullptr)) {}
  Ref& operator=(Ref other) noexcept {
    std::swap(held_, other.held_);
    return *this;
  }
  ~Ref() { reset(); }

  T* get() const noexcept { return held_; }
  T& operator*() const noexcept { return *held_; }
  T* operator->() const noexcept { return held_; }
  explicit operator bool() const noexcept { return held_ != nullptr; }
  // The number of holders of the container, this one included; 0 when
  // this Ref holds nothing.
  long use_count() const noexcept { return held_ != nullptr ? held_->Holders().Holders() : 0; }

  // Drops the container this Ref holds, if any.
  void reset() noexcept {
    if (T* held = std::exchange(held_, nullptr); held != nullptr && held->Holders().Drop()) {
      T::Destroy(held);
    }
  }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.held_ == b.held_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.held_ == nullptr; }

 private:
  template <typename U>
  friend Ref<U> MakeRef();
  friend class JsonValue;
  friend class Dictionary;
  friend class Collection;

  // Takes over one holder that `held` already counts for this Ref.
  static Ref Adopt(T* held) noexcept {
    Ref ref;
    ref.held_ = held;
    return ref;
  }
  // Gives up the holder without dropping it.
  T* Release() noexcept { return std::exchange(held_, nullptr); }

  T* held_ = nullptr;
};

// A new, empty container of type T (Dictionary or Collection) with this
// Ref its one holder. Raises kOutOfMemory when memory runs out.
template <typename T>
Ref<T> MakeRef() {
  return Ref<T>::Adopt(T::New());
}

}  // namespace skyvane

#endif  // SKYVANE_JSON_REF_H_
