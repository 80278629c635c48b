#include "json/dictionary.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#include "json/key_hash.h"
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

// An insertion that probes more slots than this, at a load of at most
// 1/kSlotsPerEntry, means the keys cluster under the index's seed (with
// random keys it practically never happens): the index then draws a fresh
// seed and rehashes, at most once per size, so crafted keys cost one rehash
// instead of a quadratic run of probes.
constexpr size_t kMaxProbes = 64;

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
  KeyHashSeed seed = ProcessKeyHashSeed();
  bool reseeded = false;    // since the slots last grew
  std::vector<Slot> slots;  // size is a power of two, at least twice the entries

  size_t Mask() const { return slots.size() - 1; }

  uint32_t Hash(std::u16string_view key) const { return static_cast<uint32_t>(HashKey(key, seed)); }

  int32_t Find(const internal::CompactVector<Entry>& entries, std::u16string_view key,
               uint32_t hash) const {
    const size_t mask = Mask();
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots[i];
      if (slot.entry == kNoEntry) return kNoEntry;
      if (slot.hash == hash && entries[static_cast<size_t>(slot.entry)].first == key) {
        return slot.entry;
      }
    }
  }

  // Returns the number of slots probed, the one taken included.
  size_t Insert(uint32_t hash, int32_t entry) {
    const size_t mask = Mask();
    size_t i = hash & mask;
    size_t probes = 1;
    for (; slots[i].entry != kNoEntry; i = (i + 1) & mask) ++probes;
    slots[i] = Slot{hash, entry};
    return probes;
  }

  // Fills the slots (already sized, all empty) with every entry, hashed
  // under the current seed.
  void InsertAll(const internal::CompactVector<Entry>& entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
      Insert(Hash(entries[i].first), static_cast<int32_t>(i));
    }
  }

  // Fills the slots (already sized, all empty) from another index's slots,
  // taking over its seed so that the kept hashes stay valid.
  void InsertAllOf(const Index& other) {
    seed = other.seed;
    for (const Slot& slot : other.slots) {
      if (slot.entry != kNoEntry) Insert(slot.hash, slot.entry);
    }
  }

  // Draws a fresh seed and rehashes every entry in place; allocates nothing.
  void Reseed(const internal::CompactVector<Entry>& entries) {
    seed = FreshKeyHashSeed();
    reseeded = true;
    std::fill(slots.begin(), slots.end(), Slot{});
    InsertAll(entries);
  }
};

Dictionary::Dictionary() : internal::ContainerHeader(true) {}

Dictionary::~Dictionary() {
  internal::NestedRelease release;
  if (release.TooDeep()) {
    for (Entry& entry : entries_) release.Take(entry.second);
  }
  entries_.Clear();
}

int32_t Dictionary::Find(std::u16string_view key) const {
  if (index_) return index_->Find(entries_, key, index_->Hash(key));
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].first == key) return static_cast<int32_t>(i);
  }
  return kNoEntry;
}

void Dictionary::Add(std::u16string_view key, JsonValue value) {
  const size_t count = entries_.size() + 1;
  const bool indexed = count > kLinearScanLimit;
  // A dictionary that handed its entries over keeps its index for the next
  // ones, so small counts may be indexed too. A new index starts with the
  // process seed; a grown one keeps the seed of the index it replaces.
  const KeyHashSeed seed = index_ ? index_->seed : ProcessKeyHashSeed();
  const uint32_t hash = indexed || index_ ? static_cast<uint32_t>(HashKey(key, seed)) : 0;
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
        grown->InsertAllOf(*index_);
      } else {
        grown->InsertAll(entries_);
      }
      index_ = std::move(grown);
    }
    entries_.PushBack(Entry{DictionaryKey(key), std::move(value)});
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Dictionary entry");
  }
  if (index_ && index_->Insert(hash, static_cast<int32_t>(count - 1)) > kMaxProbes &&
      !index_->reseeded) {
    index_->Reseed(entries_);
  }
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
    internal::CompactVector<Entry> exact;
    exact.Reserve(count);
    std::unique_ptr<Index> index;
    if (count > kLinearScanLimit) {
      // The slots keep the hashes, so no key is hashed again.
      index = std::make_unique<Index>();
      index->slots.resize(SlotsFor(count));
      if (from.index_) {
        index->InsertAllOf(*from.index_);
      } else {
        index->InsertAll(from.entries_);
      }
    }
    for (Entry& entry : from.entries_) exact.PushBack(std::move(entry));
    entries_.Swap(exact);
    index_ = std::move(index);
  } catch (const std::bad_alloc&) {
    entries_.Swap(from.entries_);
    index_.swap(from.index_);
  }
  from.entries_.Clear();
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
    Add(key, std::move(value));
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

Dictionary::IndexShape Dictionary::IndexShapeForTesting() const {
  IndexShape shape;
  if (!index_) return shape;
  shape.slot_count = index_->slots.size();
  const size_t mask = index_->Mask();
  for (size_t i = 0; i < index_->slots.size(); ++i) {
    const Index::Slot& slot = index_->slots[i];
    if (slot.entry == kNoEntry) continue;
    const size_t probes = ((i - slot.hash) & mask) + 1;
    shape.longest_probe = std::max(shape.longest_probe, probes);
  }
  return shape;
}

std::vector<std::u16string> Dictionary::Keys() const {
  std::vector<std::u16string> keys;
  keys.reserve(entries_.size());
  for (const Entry& entry : entries_) keys.emplace_back(entry.first.View());
  return keys;
}

}  // namespace skyvane
