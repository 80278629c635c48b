#include "json/key_index.h"

#include <algorithm>

namespace skyvane::internal {
std::size_t KeyIndex::SlotsFor(std::size_t entries) noexcept {
  std::size_t slots = kMinSlots;
  while (slots < entries * kSlotsPerEntry) slots *= 2;
  return slots;
}

KeyIndex::KeyIndex(std::size_t entries) : seed_(ProcessKeyHashSeed()), slots_(SlotsFor(entries)) {}

std::unique_ptr<KeyIndex> KeyIndex::Grown(std::size_t entries) const {
  auto grown = std::make_unique<KeyIndex>(entries);
  grown->seed_ = seed_;
  for (const Slot& slot : slots_) {
    if (slot.entry != kNoEntry) grown->Insert(slot.hash, slot.entry);
  }
  return grown;
}

std::size_t KeyIndex::Insert(uint32_t hash, int32_t entry) noexcept {
  const std::size_t mask = Mask();
  std::size_t i = hash & mask;
  std::size_t probes = 1;
  for (; slots_[i].entry != kNoEntry; i = (i + 1) & mask) ++probes;
  slots_[i] = Slot{hash, entry};
  return probes;
}

void KeyIndex::Reseed() {
  seed_ = FreshKeyHashSeed();
  reseeded_ = true;
  Empty();
}

void KeyIndex::Empty() noexcept {
  std::fill(slots_.begin(), slots_.end(), Slot{});
}

std::size_t KeyIndex::LongestProbe() const noexcept {
  std::size_t longest = 0;
  const std::size_t mask = Mask();
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Slot& slot = slots_[i];
    if (slot.entry == kNoEntry) continue;
    longest = std::max(longest, ((i - slot.hash) & mask) + 1);
  }
  return longest;
}

}  // namespace skyvane::internal
