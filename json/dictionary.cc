#include "json/dictionary.h"

#include <limits>
#include <new>
#include <type_traits>
#include <utility>

#include "text/run_error.h"

namespace skyvane {
namespace {

using internal::KeyIndex;

const JsonValue kAbsent;

}  // namespace

static_assert(std::is_standard_layout_v<Dictionary>,
              "a held Dictionary pointer also points at its holder count");

void RaiseKeyAlreadyPresent() {
  Raise(ErrorNumber::kKeyAlreadyPresent, "Key already present");
}

Dictionary* Dictionary::New() {
  try {
    return NewInline(0);
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory creating a Dictionary");
  }
}

Dictionary::~Dictionary() {
  internal::NestedRelease release;
  if (release.TooDeep()) {
    for (Entry* entry = Data(); entry != Data() + size(); ++entry) release.Take(entry->second);
  }
  // While the release is open, so that it counts the nesting.
  Clear();
}

int32_t Dictionary::Find(std::u16string_view key) const {
  if (const KeyIndex* index = Index()) return index->Find(key, index->Hash(key), KeyAt());
  const uint64_t sketch = DictionaryKey::SketchOf(key);
  const Entry* entries = Data();
  const std::size_t count = size();
  for (std::size_t i = 0; i < count; ++i) {
    if (entries[i].first.Is(key, sketch)) return static_cast<int32_t>(i);
  }
  return KeyIndex::kNoEntry;
}

void Dictionary::Add(std::u16string_view key, JsonValue value) {
  KeyIndex* index = Index();
  uint32_t hash = 0;
  if (index != nullptr) {
    hash = index->Hash(key);
    if (index->Find(key, hash, KeyAt()) != KeyIndex::kNoEntry) RaiseKeyAlreadyPresent();
  } else if (Find(key) != KeyIndex::kNoEntry) {
    RaiseKeyAlreadyPresent();
  }
  const std::size_t count = size();
  if (count >= kMaxSize) Raise(ErrorNumber::kOverflow, "Dictionary is full");
  Entry entry(key, std::move(value));
  try {
    // Everything that may fail happens before the entry goes in, so a
    // failure leaves the dictionary as it was. A new index starts with the
    // process seed; a grown one keeps the seed (and so the hashes) of the
    // index it replaces.
    std::unique_ptr<KeyIndex> grown;
    if (count + 1 > kLinearScanLimit && (index == nullptr || !index->HasRoomFor(count + 1))) {
      grown =
          index != nullptr ? index->Grown(count + 1) : KeyIndex::Over(count, count + 1, KeyAt());
    }
    RoomForOneMore();
    if (grown) {
      if (index == nullptr) hash = grown->Hash(key);
      index = grown.get();
      ExtraOrNull()->index = std::move(grown);
    }
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Dictionary entry");
  }
  Emplace(std::move(entry));
  if (index != nullptr) index->Add(hash, static_cast<int32_t>(count), KeyAt());
}

void Dictionary::TakeEntriesOf(Dictionary& from) {
  if (&from == this) {
    Raise(ErrorNumber::kInvalidArgument, "A Dictionary cannot take its own entries");
  }
  if (!empty()) Raise(ErrorNumber::kInvalidArgument, "Only an empty Dictionary can take entries");
  const std::size_t count = from.size();
  if (count == 0) return;
  try {
    std::unique_ptr<KeyIndex> index;
    if (count > kLinearScanLimit) {
      const KeyIndex* kept = from.Index();
      index = kept != nullptr ? kept->Grown(count) : KeyIndex::Over(count, count, from.KeyAt());
    }
    RoomFor(count);
    ExtraOrNull()->index = std::move(index);
    for (Entry* entry = from.Data(); entry != from.Data() + count; ++entry) {
      Emplace(std::move(*entry));
    }
  } catch (const std::bad_alloc&) {
    if (!from.IsOutOfLine()) {
      Raise(ErrorNumber::kOutOfMemory, "Out of memory moving Dictionary entries");
    }
    TakeOutOfLineOf(from);
  }
  from.Clear();
  if (KeyIndex* kept = from.Index()) {
    // The index stays for the next entries unless the next ones are likely
    // to be few, or emptying it would cost far more than those entries.
    constexpr std::size_t kKeepFactor = 4;
    if (count <= kLinearScanLimit || kept->SlotCount() > kKeepFactor * KeyIndex::SlotsFor(count)) {
      from.ExtraOrNull()->index.reset();
    } else {
      kept->Empty();
    }
  }
}

Ref<Dictionary> Dictionary::FromDistinctEntries(Entry* entries, std::size_t count,
                                                std::unique_ptr<KeyIndex> index) {
  try {
    DestroyUnlessKept made(NewInline(index ? 0 : count));
    Dictionary* dictionary = made.Get();
    if (index) {
      dictionary->RoomFor(count);
      dictionary->ExtraOrNull()->index = std::move(index);
    }
    dictionary->Relocate(entries, count);
    return Ref<Dictionary>::Adopt(made.Keep());
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory creating a Dictionary");
  }
}

const JsonValue& Dictionary::Item(std::u16string_view key) const {
  const int32_t i = Find(key);
  return i == KeyIndex::kNoEntry ? kAbsent : Data()[static_cast<std::size_t>(i)].second;
}

void Dictionary::SetItem(std::u16string_view key, JsonValue value) {
  const int32_t i = Find(key);
  if (i == KeyIndex::kNoEntry) {
    Add(key, std::move(value));
  } else {
    Data()[static_cast<std::size_t>(i)].second = std::move(value);
  }
}

bool Dictionary::Exists(std::u16string_view key) const {
  return Find(key) != KeyIndex::kNoEntry;
}

Dictionary::IndexShape Dictionary::IndexShapeForTesting() const {
  IndexShape shape;
  if (const KeyIndex* index = Index()) {
    shape.slot_count = index->SlotCount();
    shape.longest_probe = index->LongestProbe();
  }
  return shape;
}

std::vector<std::u16string> Dictionary::Keys() const {
  std::vector<std::u16string> keys;
  keys.reserve(size());
  for (const Entry& entry : *this) keys.emplace_back(entry.first.View());
  return keys;
}

}  // namespace skyvane
