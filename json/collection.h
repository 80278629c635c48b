// Collection: a 1-based list of JsonValues, holding a JSON array.
//
// Items are only ever appended. Positional reads are O(1). Shared through
// std::shared_ptr; not thread-safe.
#ifndef SKYVANE_JSON_COLLECTION_H_
#define SKYVANE_JSON_COLLECTION_H_

#include <cstdint>
#include <vector>

#include "json/compact_vector.h"
#include "json/json_value.h"

namespace skyvane {

class Collection : public internal::ContainerHeader {
 public:
  Collection() : internal::ContainerHeader(false) {}
  // Releases nested containers without recursion (see NestedRelease).
  ~Collection();
  Collection(const Collection&) = delete;
  Collection& operator=(const Collection&) = delete;

  // Appends at the end. Raises kOverflow when Count would pass 2^31 − 1 and
  // kOutOfMemory when memory runs out; the list is then unchanged.
  void Add(JsonValue value);
  // Makes room for `count` items in all, so that Adds up to that count do
  // not reallocate (a reader that knows the size builds exact-size lists).
  // Nothing changes for a count at or below the current room. Raises
  // kOutOfMemory when the memory cannot be had; the items stay as they were.
  void Reserve(int32_t count);
  // Appends every item of `items`, moved, in order, making room once; a
  // reader gathers an array's items in one list and hands them over when it
  // ends, so that the list here is allocated at its exact size. `items` is
  // left empty. Raises kOverflow when Count would pass 2^31 − 1 and
  // kOutOfMemory when memory runs out; both lists are then unchanged.
  void AddAll(std::vector<JsonValue>& items);
  // The item at `position`, 1 .. Count(). Raises kSubscriptOutOfRange (9)
  // for any other position.
  const JsonValue& Item(int32_t position) const;
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }

  // Enumeration from the first item to the last.
  const JsonValue* begin() const { return items_.begin(); }
  const JsonValue* end() const { return items_.end(); }

 private:
  internal::CompactVector<JsonValue> items_;
};

}  // namespace skyvane

#endif  // SKYVANE_JSON_COLLECTION_H_
