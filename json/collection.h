// Collection: a 1-based list of JsonValues, holding a JSON array.
//
// Items are only ever appended. Positional reads are O(1). Created with
// MakeRef<Collection>() and shared through Ref; not thread-safe.
#ifndef SKYVANE_JSON_COLLECTION_H_
#define SKYVANE_JSON_COLLECTION_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "json/json_value.h"
#include "json/ref.h"
#include "json/trailing_list.h"

namespace skyvane {

namespace internal {

// A Collection keeps nothing beside its items.
struct NoExtra {};

}  // namespace internal

class Collection : public internal::TrailingList<Collection, JsonValue, internal::NoExtra> {
 public:
  // Appends at the end. Raises kOverflow when Count would pass 2^31 − 1 and
  // kOutOfMemory when memory runs out; the list is then unchanged.
  void Add(JsonValue value);
  // Makes room for `count` items in all, so that Adds up to that count do
  // not reallocate. Nothing changes for a count at or below the current
  // room. Raises kOutOfMemory when the memory cannot be had; the items stay
  // as they were.
  void Reserve(int32_t count);
  // Appends every item of `items`, moved, in order, making room once.
  // `items` is left empty. Raises kOverflow when Count would pass 2^31 − 1
  // and kOutOfMemory when memory runs out; both lists are then unchanged.
  void AddAll(std::vector<JsonValue>& items);
  // The item at `position`, 1 .. Count(). Raises kSubscriptOutOfRange (9)
  // for any other position.
  const JsonValue& Item(int32_t position) const;
  int32_t Count() const { return static_cast<int32_t>(size()); }

  // A list of the `count` items at `items`, in order, in one block of its
  // exact size. The items are taken over by their bytes: the storage at
  // `items` is left holding no live values, to be dropped without
  // destroying them. Raises kOutOfMemory (the items are then untouched).
  static Ref<Collection> FromItems(JsonValue* items, std::size_t count);

  // Enumeration from the first item to the last.
  const JsonValue* begin() const { return Data(); }
  const JsonValue* end() const { return Data() + size(); }

 private:
  friend class internal::TrailingList<Collection, JsonValue, internal::NoExtra>;
  friend class Ref<Collection>;
  friend Ref<Collection> MakeRef<Collection>();
  friend class JsonValue;

  explicit Collection(bool in_arena) noexcept : TrailingList(in_arena) {}
  // Releases nested containers without recursion (see NestedRelease).
  ~Collection();
  static Collection* New();
};

static_assert(sizeof(Collection) == 8, "the items start right after the header");

}  // namespace skyvane

#endif  // SKYVANE_JSON_COLLECTION_H_
