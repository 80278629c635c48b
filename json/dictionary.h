// Dictionary: an ordered map from text keys to JsonValues, holding a JSON
// object (and the script evaluator's variables).
//
// Keys are compared exactly, code unit by code unit ("a" and "A" differ; no
// trimming, no folding). Entries keep the order in which they were added.
// Reading an absent key yields Empty and adds nothing.
//
// Lookup by key is average O(1). Small dictionaries are scanned: the
// first eight bytes of each key (DictionaryKey::Sketch) are compared before
// any text. Add builds a hashed index (key_index.h) when the dictionary
// grows beyond kLinearScanLimit entries; its keyed hash keeps keys crafted
// to collide from making a run of Adds quadratic. A reader builds objects of
// up to kReaderScanLimit members without an index (they are scanned: at
// most that many comparisons) and larger ones with the index it built while
// checking their keys; the first Add to an unindexed dictionary beyond
// kLinearScanLimit entries builds one.
//
// Created with MakeRef<Dictionary>() and shared through Ref; not
// thread-safe.
#ifndef SKYVANE_JSON_DICTIONARY_H_
#define SKYVANE_JSON_DICTIONARY_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/dictionary_key.h"
#include "json/json_value.h"
#include "json/key_index.h"
#include "json/ref.h"
#include "json/trailing_list.h"

namespace skyvane {

struct DictionaryEntry {
  // Raises what DictionaryKey's constructor raises.
  DictionaryEntry(std::u16string_view key, JsonValue&& value)
      : first(key), second(std::move(value)) {}

  DictionaryKey first;
  JsonValue second;
};

namespace internal {

// What a Dictionary keeps beside its entries once they are out of line.
struct DictionaryExtra {
  std::unique_ptr<KeyIndex> index;
};

}  // namespace internal

class Dictionary
    : public internal::TrailingList<Dictionary, DictionaryEntry, internal::DictionaryExtra> {
 public:
  using Entry = DictionaryEntry;
  // Add keeps an index beyond this many entries.
  static constexpr std::size_t kLinearScanLimit = 8;
  // A reader's objects of up to this many members come without an index.
  static constexpr std::size_t kReaderScanLimit = 64;

  // Adds a new entry at the end. Raises kKeyAlreadyPresent (457) when the key
  // is present; the dictionary is then unchanged. Raises kOverflow when Count
  // would pass 2^31 − 1, kOutOfMemory when memory runs out (unchanged too).
  void Add(std::u16string_view key, JsonValue value);
  // The value of `key`, or Empty when absent. The reference stays valid until
  // the dictionary next changes.
  const JsonValue& Item(std::u16string_view key) const;
  // Replaces the value of a present key; adds the entry at the end when the
  // key is absent.
  void SetItem(std::u16string_view key, JsonValue value);
  bool Exists(std::u16string_view key) const;
  int32_t Count() const { return static_cast<int32_t>(size()); }
  // A snapshot of the keys in entry order (index 0 is the first key).
  std::vector<std::u16string> Keys() const;

  // Moves every entry of `from`, in order, into this dictionary, which must
  // be empty: its storage is then allocated at its exact size once, where a
  // run of Adds grows it step by step, and an index `from` has is copied
  // with its hashes, so no key is hashed again. `from` is left empty; it
  // keeps its index (emptied) when its next entries are likely to need one.
  // When memory for the exact copy cannot be had, this dictionary takes
  // `from`'s storage as it stands if it can, and otherwise raises
  // kOutOfMemory, both unchanged. Raises kInvalidArgument when this
  // dictionary is not empty (both are then unchanged) or when `from` is
  // this dictionary.
  void TakeEntriesOf(Dictionary& from);

  // A dictionary of the `count` entries at `entries`, in order. The entries
  // are taken over by their bytes: the storage at `entries` is left holding
  // no live entries, to be dropped without destroying them (on
  // kOutOfMemory they are untouched). Their keys must be distinct: a reader checks them as it
  // gathers them. `index`, when given, must index exactly those keys; it is
  // needed beyond kReaderScanLimit entries. Raises kOutOfMemory.
  static Ref<Dictionary> FromDistinctEntries(Entry* entries, std::size_t count,
                                             std::unique_ptr<internal::KeyIndex> index);

  // The hashed index as it stands, for tests: its slot count (0 without an
  // index) and the most slots a lookup of a present key probes.
  struct IndexShape {
    size_t slot_count = 0;
    size_t longest_probe = 0;
  };
  IndexShape IndexShapeForTesting() const;

  // Enumeration in entry order.
  const Entry* begin() const { return Data(); }
  const Entry* end() const { return Data() + size(); }

 private:
  friend class internal::TrailingList<Dictionary, Entry, internal::DictionaryExtra>;
  friend class Ref<Dictionary>;
  friend Ref<Dictionary> MakeRef<Dictionary>();
  friend class JsonValue;

  explicit Dictionary(bool in_arena) noexcept : TrailingList(in_arena) {}
  // Releases nested containers without recursion (see NestedRelease).
  ~Dictionary();
  static Dictionary* New();

  // Position of `key` among the entries, or KeyIndex::kNoEntry.
  int32_t Find(std::u16string_view key) const;
  internal::KeyIndex* Index() const noexcept {
    const internal::DictionaryExtra* extra = ExtraOrNull();
    return extra != nullptr ? extra->index.get() : nullptr;
  }
  // The key of entry `i`, as the index asks for it.
  auto KeyAt() const noexcept {
    return [this](std::size_t i) { return std::u16string_view(Data()[i].first); };
  }
};

static_assert(sizeof(Dictionary) == 8, "the entries start right after the header");

// Raises the failure of an Add whose key is present, as Dictionary::Add does.
[[noreturn]] void RaiseKeyAlreadyPresent();

}  // namespace skyvane

#endif  // SKYVANE_JSON_DICTIONARY_H_
