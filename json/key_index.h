// KeyIndex: the hashed index over the keys of a large Dictionary, or of an
// object a reader is gathering (internal to json/).
//
// Open addressing with linear probing over entry positions; entries are
// never removed, so there are no tombstones. Each slot keeps its key's
// hash, so growing never reads the keys again. Keys are hashed with the
// keyed SipHash of key_hash.h under the process seed; an insertion that
// probes more than kMaxProbes slots means the keys cluster under that seed
// (random keys practically never do), and the index then draws a fresh seed
// and rehashes, at most once per size, so keys crafted to collide cost one
// rehash instead of a quadratic run of probes.
//
// The index does not hold the keys: the functions that need them take
// `key_at`, a callable giving the key of an entry position as a
// std::u16string_view. Not thread-safe.
#ifndef SKYVANE_JSON_KEY_INDEX_H_
#define SKYVANE_JSON_KEY_INDEX_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "json/key_hash.h"

namespace skyvane::internal {

class KeyIndex {
 public:
  static constexpr int32_t kNoEntry = -1;
  // The index keeps at least this many slots per entry so probes stay short.
  static constexpr std::size_t kSlotsPerEntry = 2;
  static constexpr std::size_t kMinSlots = 32;
  static constexpr std::size_t kMaxProbes = 64;

  // An empty index with room for `entries` entries, under the process seed.
  // Throws std::bad_alloc.
  explicit KeyIndex(std::size_t entries);

  // Slots of an index for `entries` entries: the least power of two holding
  // kSlotsPerEntry slots per entry, and at least kMinSlots.
  static std::size_t SlotsFor(std::size_t entries) noexcept;

  // An index over the first `count` entries that `key_at` gives, with room
  // for `room` entries (at least `count`). Throws std::bad_alloc.
  template <typename KeyAt>
  static std::unique_ptr<KeyIndex> Over(std::size_t count, std::size_t room, KeyAt&& key_at) {
    auto index = std::make_unique<KeyIndex>(room);
    for (std::size_t i = 0; i < count; ++i) {
      index->Insert(index->Hash(key_at(i)), static_cast<int32_t>(i));
    }
    return index;
  }

  // A copy with room for `entries` entries, keeping this index's seed and
  // hashes. Throws std::bad_alloc.
  std::unique_ptr<KeyIndex> Grown(std::size_t entries) const;

  // True when the index can take entries up to `entries` in all.
  bool HasRoomFor(std::size_t entries) const noexcept {
    return slots_.size() >= entries * kSlotsPerEntry;
  }

  uint32_t Hash(std::u16string_view key) const noexcept {
    return static_cast<uint32_t>(HashKey(key, seed_));
  }

  // The entry position of `key` (whose Hash is `hash`), or kNoEntry.
  template <typename KeyAt>
  int32_t Find(std::u16string_view key, uint32_t hash, KeyAt&& key_at) const noexcept {
    const std::size_t mask = Mask();
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.entry == kNoEntry) return kNoEntry;
      if (slot.hash == hash && key_at(static_cast<std::size_t>(slot.entry)) == key) {
        return slot.entry;
      }
    }
  }

  // Records entry position `entry` (the next one, with room for it) under
  // `hash`. When the insertion probed too far, draws a fresh seed (once per
  // size) and rehashes the entries 0 .. entry that `key_at` gives.
  template <typename KeyAt>
  void Add(uint32_t hash, int32_t entry, KeyAt&& key_at) {
    if (Insert(hash, entry) <= kMaxProbes || reseeded_) return;
    Reseed();
    for (int32_t i = 0; i <= entry; ++i) {
      Insert(Hash(key_at(static_cast<std::size_t>(i))), i);
    }
  }

  // Forgets every entry; the room, the seed and the hashes' meaning stay.
  void Empty() noexcept;

  std::size_t SlotCount() const noexcept { return slots_.size(); }
  // The most slots a lookup of a present key probes.
  std::size_t LongestProbe() const noexcept;

 private:
  struct Slot {
    uint32_t hash = 0;
    int32_t entry = kNoEntry;
  };

  std::size_t Mask() const noexcept { return slots_.size() - 1; }
  // Returns the number of slots probed, the one taken included.
  std::size_t Insert(uint32_t hash, int32_t entry) noexcept;
  // Draws a fresh seed and empties the slots (allocates nothing).
  void Reseed();

  KeyHashSeed seed_;
  bool reseeded_ = false;    // since the slots last grew
  std::vector<Slot> slots_;  // a power of two, at least kSlotsPerEntry per entry
};

}  // namespace skyvane::internal

#endif  // SKYVANE_JSON_KEY_INDEX_H_
