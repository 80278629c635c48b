// Dictionary: an ordered map from text keys to JsonValues, holding a JSON
// object (and the script evaluator's variables).
//
// Keys are compared exactly, code unit by code unit ("a" and "A" differ; no
// trimming, no folding). Entries keep the order in which they were added.
// Lookup by key is average O(1): up to 8 entries by a linear scan (cheaper
// for the small objects JSON is full of), beyond that through a hashed index
// built when the ninth entry arrives. The index hashes keys with a keyed
// hash (key_hash.h), and an index whose keys cluster anyway draws a fresh
// seed, so keys crafted to collide cannot make a run of Adds quadratic.
// Reading an absent key yields Empty and adds nothing. Shared through
// std::shared_ptr; not thread-safe.
#ifndef SKYVANE_JSON_DICTIONARY_H_
#define SKYVANE_JSON_DICTIONARY_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "json/compact_vector.h"
#include "json/json_value.h"

namespace skyvane {

// A key as a Dictionary entry holds it: the text in the compact form of a
// String value (inline when short, else one shared buffer).
class DictionaryKey {
 public:
  explicit DictionaryKey(std::u16string_view text) : text_(text) {}

  JsonText View() const noexcept { return text_.AsString(); }
  operator std::u16string_view() const noexcept { return View(); }
  operator std::u16string() const { return View(); }
  friend bool operator==(const DictionaryKey& key, std::u16string_view text) noexcept {
    return key.View() == text;
  }

 private:
  JsonValue text_;  // always a String
};

struct DictionaryEntry {
  DictionaryKey first;
  JsonValue second;
};

class Dictionary : public internal::ContainerHeader {
 public:
  using Entry = DictionaryEntry;

  Dictionary();
  // Releases nested containers without recursion (see NestedRelease).
  ~Dictionary();
  Dictionary(const Dictionary&) = delete;
  Dictionary& operator=(const Dictionary&) = delete;

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
  int32_t Count() const;
  // A snapshot of the keys in entry order (index 0 is the first key).
  std::vector<std::u16string> Keys() const;

  // Moves every entry of `from`, in order, into this dictionary, which must
  // be empty: its storage is then allocated at its exact size once, where a
  // run of Adds grows it step by step. `from` is left empty but keeps its
  // storage, so that a reader can gather the members of object after object
  // in one dictionary (getting Add's checks) and hand each over when it
  // closes. Never throws and loses nothing: when memory for the exact copy
  // cannot be had, this dictionary takes `from`'s storage as it stands.
  // Raises kInvalidArgument when this dictionary is not empty (both are then
  // unchanged) or when `from` is this dictionary.
  void TakeEntriesOf(Dictionary& from);

  // The hashed index as it stands, for tests: its slot count (0 without an
  // index) and the most slots a lookup of a present key probes.
  struct IndexShape {
    size_t slot_count = 0;
    size_t longest_probe = 0;
  };
  IndexShape IndexShapeForTesting() const;

  // Enumeration in entry order.
  const Entry* begin() const { return entries_.begin(); }
  const Entry* end() const { return entries_.end(); }

 private:
  // Index of `key` in entries_, or -1.
  int32_t Find(std::u16string_view key) const;

  internal::CompactVector<Entry> entries_;
  struct Index;  // hashed index, built once the dictionary is large enough
  std::unique_ptr<Index> index_;
};

}  // namespace skyvane

#endif  // SKYVANE_JSON_DICTIONARY_H_
