#include "json/dictionary.h"

#include <limits>
#include <new>

#include "text/run_error.h"

namespace skyvane {
namespace {

// Up to this many entries a linear scan beats hashing; the index is built
// when the dictionary grows beyond it.
constexpr size_t kLinearScanLimit = 8;
constexpr size_t kMaxEntries = std::numeric_limits<int32_t>::max();
// The index keeps at least this many slots per entry so probes stay short.
constexpr size_t kSlotsPerEntry = 2;
constexpr size_t kMinSlots = 32;
constexpr int32_t kNoEntry = -1;

constexpr uint32_t kFnvOffset = 2166136261u;
constexpr uint32_t kFnvPrime = 16777619u;

uint32_t HashKey(std::u16string_view key) {
  uint32_t h = kFnvOffset;
  for (char16_t c : key) h = (h ^ c) * kFnvPrime;
  return h;
}

const JsonValue kAbsent;

}  // namespace

// Open addressing with linear probing over positions in entries_. Entries
// are never removed, so no tombstones are needed.
struct Dictionary::Index {
  struct Slot {
    uint32_t hash = 0;
    int32_t entry = kNoEntry;
  };
  std::vector<Slot> slots;  // size is a power of two

  size_t Mask() const { return slots.size() - 1; }

  void Insert(uint32_t hash, int32_t entry) {
    size_t i = hash & Mask();
    while (slots[i].entry != kNoEntry) i = (i + 1) & Mask();
    slots[i] = Slot{hash, entry};
  }
};

Dictionary::Dictionary() = default;

Dictionary::~Dictionary() {
  internal::NestedRelease release;
  for (Entry& entry : entries_) release.Take(entry.second);
}

int32_t Dictionary::Find(std::u16string_view key) const {
  if (!index_) {
    for (size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].first == key) return static_cast<int32_t>(i);
    }
    return kNoEntry;
  }
  const uint32_t hash = HashKey(key);
  const size_t mask = index_->Mask();
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Index::Slot& slot = index_->slots[i];
    if (slot.entry == kNoEntry) return kNoEntry;
    if (slot.hash == hash && entries_[static_cast<size_t>(slot.entry)].first == key) {
      return slot.entry;
    }
  }
}

void Dictionary::Add(std::u16string key, JsonValue value) {
  if (Find(key) != kNoEntry) Raise(ErrorNumber::kKeyAlreadyPresent, "Key already present");
  if (entries_.size() >= kMaxEntries) Raise(ErrorNumber::kOverflow, "Dictionary is full");
  const size_t count = entries_.size() + 1;
  try {
    // Everything that may fail happens before the entry goes in, so a
    // failure leaves the dictionary as it was.
    if (count > kLinearScanLimit) {
      const size_t wanted = count * kSlotsPerEntry;
      if (!index_ || index_->slots.size() < wanted) {
        size_t slots = kMinSlots;
        while (slots < wanted) slots *= 2;
        auto index = std::make_unique<Index>();
        index->slots.resize(slots);
        for (size_t i = 0; i < entries_.size(); ++i) {
          index->Insert(HashKey(entries_[i].first), static_cast<int32_t>(i));
        }
        index_ = std::move(index);
      }
    }
    entries_.emplace_back(std::move(key), std::move(value));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Dictionary entry");
  }
  if (index_) index_->Insert(HashKey(entries_.back().first), static_cast<int32_t>(count - 1));
}

const JsonValue& Dictionary::Item(std::u16string_view key) const {
  const int32_t i = Find(key);
  return i == kNoEntry ? kAbsent : entries_[static_cast<size_t>(i)].second;
}

void Dictionary::SetItem(std::u16string_view key, JsonValue value) {
  const int32_t i = Find(key);
  if (i == kNoEntry) {
    Add(std::u16string(key), std::move(value));
  } else {
    entries_[static_cast<size_t>(i)].second = std::move(value);
  }
}

bool Dictionary::Exists(std::u16string_view key) const {
  return Find(key) != kNoEntry;
}

int32_t Dictionary::Count() const {
  return static_cast<int32_t>(entries_.size());
}

std::vector<std::u16string> Dictionary::Keys() const {
  std::vector<std::u16string> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.push_back(entry.first);
  return keys;
}

}  // namespace skyvane
