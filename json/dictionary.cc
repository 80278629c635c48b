#include "json/dictionary.h"

#include <algorithm>
#include <cstring>
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
// Room made by the first Add: JSON objects mostly have a handful of members,
// and growing 1, 2, 4 would reallocate twice for them.
constexpr size_t kFirstCapacity = 4;

constexpr uint64_t kFnvOffset = 14695981039346656037u;
constexpr uint64_t kFnvPrime = 1099511628211u;
constexpr uint64_t kMixMultiplier1 = 0xff51afd7ed558ccdu;
constexpr uint64_t kMixMultiplier2 = 0xc4ceb9fe1a85ec53u;
constexpr int kMixShift = 33;

// FNV-1a over the key four code units (one 64-bit word) at a time, the
// last few one by one, then a final avalanche: the multiply-xor steps alone
// leave the low bits (which pick the slot) depending only on the low bits of
// the input, which clusters keys such as runs of digits. Each step is a
// bijection of the running value, so keys of one length that differ anywhere
// differ before the avalanche.
uint32_t HashKey(std::u16string_view key) {
  constexpr size_t kUnitsPerWord = sizeof(uint64_t) / sizeof(char16_t);
  uint64_t h = kFnvOffset;
  const char16_t* p = key.data();
  size_t n = key.size();
  for (; n >= kUnitsPerWord; p += kUnitsPerWord, n -= kUnitsPerWord) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    h = (h ^ word) * kFnvPrime;
  }
  for (; n > 0; ++p, --n) h = (h ^ *p) * kFnvPrime;
  h ^= h >> kMixShift;
  h *= kMixMultiplier1;
  h ^= h >> kMixShift;
  h *= kMixMultiplier2;
  h ^= h >> kMixShift;
  return static_cast<uint32_t>(h);
}

const JsonValue kAbsent;

// Slots of an index for `count` entries: the least power of two holding
// kSlotsPerEntry slots per entry, and at least kMinSlots.
size_t SlotsFor(size_t count) {
  size_t slots = kMinSlots;
  while (slots < count * kSlotsPerEntry) slots *= 2;
  return slots;
}

}  // namespace

// Open addressing with linear probing over positions in entries_. Entries
// are never removed, so no tombstones are needed. Each slot keeps the key's
// hash, so growing never reads the keys again.
struct Dictionary::Index {
  struct Slot {
    uint32_t hash = 0;
    int32_t entry = kNoEntry;
  };
  std::vector<Slot> slots;  // size is a power of two, at least twice the entries

  size_t Mask() const { return slots.size() - 1; }

  int32_t Find(const std::vector<Entry>& entries, std::u16string_view key, uint32_t hash) const {
    const size_t mask = Mask();
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots[i];
      if (slot.entry == kNoEntry) return kNoEntry;
      if (slot.hash == hash && entries[static_cast<size_t>(slot.entry)].first == key) {
        return slot.entry;
      }
    }
  }

  void Insert(uint32_t hash, int32_t entry) {
    const size_t mask = Mask();
    size_t i = hash & mask;
    while (slots[i].entry != kNoEntry) i = (i + 1) & mask;
    slots[i] = Slot{hash, entry};
  }
};

Dictionary::Dictionary() = default;

Dictionary::~Dictionary() {
  internal::NestedRelease release;
  if (release.TooDeep()) {
    for (Entry& entry : entries_) release.Take(entry.second);
  }
  entries_.clear();
}

int32_t Dictionary::Find(std::u16string_view key) const {
  if (index_) return index_->Find(entries_, key, HashKey(key));
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].first == key) return static_cast<int32_t>(i);
  }
  return kNoEntry;
}

void Dictionary::Add(std::u16string key, JsonValue value) {
  const size_t count = entries_.size() + 1;
  const bool indexed = count > kLinearScanLimit;
  // A dictionary that handed its entries over keeps its index for the next
  // ones, so small counts may be indexed too.
  const uint32_t hash = indexed || index_ ? HashKey(key) : 0;
  const bool present =
      index_ ? index_->Find(entries_, key, hash) != kNoEntry : Find(key) != kNoEntry;
  if (present) Raise(ErrorNumber::kKeyAlreadyPresent, "Key already present");
  if (entries_.size() >= kMaxEntries) Raise(ErrorNumber::kOverflow, "Dictionary is full");
  try {
    // Everything that may fail happens before the entry goes in, so a
    // failure leaves the dictionary as it was.
    if (indexed && (!index_ || index_->slots.size() < count * kSlotsPerEntry)) {
      auto grown = std::make_unique<Index>();
      grown->slots.resize(SlotsFor(count));
      if (index_) {
        for (const Index::Slot& slot : index_->slots) {
          if (slot.entry != kNoEntry) grown->Insert(slot.hash, slot.entry);
        }
      } else {
        for (size_t i = 0; i < entries_.size(); ++i) {
          grown->Insert(HashKey(entries_[i].first), static_cast<int32_t>(i));
        }
      }
      index_ = std::move(grown);
    }
    if (entries_.capacity() == 0) entries_.reserve(kFirstCapacity);
    entries_.emplace_back(std::move(key), std::move(value));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Dictionary entry");
  }
  if (index_) index_->Insert(hash, static_cast<int32_t>(count - 1));
}

void Dictionary::TakeEntriesOf(Dictionary& from) {
  if (&from == this)
    Raise(ErrorNumber::kInvalidArgument, "A Dictionary cannot take its own entries");
  if (!entries_.empty()) {
    Raise(ErrorNumber::kInvalidArgument, "Only an empty Dictionary can take entries");
  }
  const size_t count = from.entries_.size();
  if (count == 0) return;
  try {
    std::vector<Entry> exact;
    exact.reserve(count);
    std::unique_ptr<Index> index;
    if (count > kLinearScanLimit) {
      // The slots keep the hashes, so no key is hashed again.
      index = std::make_unique<Index>();
      index->slots.resize(SlotsFor(count));
      if (from.index_) {
        for (const Index::Slot& slot : from.index_->slots) {
          if (slot.entry != kNoEntry) index->Insert(slot.hash, slot.entry);
        }
      } else {
        for (size_t i = 0; i < count; ++i) {
          index->Insert(HashKey(from.entries_[i].first), static_cast<int32_t>(i));
        }
      }
    }
    for (Entry& entry : from.entries_) exact.emplace_back(std::move(entry));
    entries_.swap(exact);
    index_ = std::move(index);
  } catch (const std::bad_alloc&) {
    entries_.swap(from.entries_);
    index_.swap(from.index_);
  }
  from.entries_.clear();
  if (from.index_) {
    // The index stays for the next entries unless the next ones are likely
    // to be few, or emptying it would cost far more than those entries.
    constexpr size_t kKeepFactor = 4;
    if (count <= kLinearScanLimit || from.index_->slots.size() > kKeepFactor * SlotsFor(count)) {
      from.index_.reset();
    } else {
      std::fill(from.index_->slots.begin(), from.index_->slots.end(), Index::Slot{});
    }
  }
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
