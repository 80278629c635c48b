#include "json/collection.h"

#include <new>
#include <type_traits>
#include <utility>

#include "text/run_error.h"

namespace skyvane {
namespace {

[[noreturn]] void RaiseOutOfMemory() {
  Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
}

}  // namespace

static_assert(std::is_standard_layout_v<Collection>,
              "a held Collection pointer also points at its holder count");

Collection* Collection::New() {
  try {
    return NewInline(0);
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory creating a Collection");
  }
}

Collection::~Collection() {
  internal::NestedRelease release;
  if (release.TooDeep()) {
    for (JsonValue* item = Data(); item != Data() + size(); ++item) release.Take(*item);
  }
  // While the release is open, so that it counts the nesting.
  Clear();
}

void Collection::Add(JsonValue value) {
  if (size() >= kMaxSize) Raise(ErrorNumber::kOverflow, "Collection is full");
  try {
    RoomForOneMore();
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory();
  }
  Emplace(std::move(value));
}

void Collection::Reserve(int32_t count) {
  if (count <= 0) return;
  try {
    RoomFor(static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory();
  }
}

void Collection::AddAll(std::vector<JsonValue>& items) {
  if (items.size() > kMaxSize - size()) Raise(ErrorNumber::kOverflow, "Collection is full");
  if (items.empty()) return;
  try {
    RoomFor(size() + items.size());
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory();
  }
  // The room is there and moving a JsonValue cannot throw: nothing below
  // fails.
  for (JsonValue& item : items) Emplace(std::move(item));
  items.clear();
}

Ref<Collection> Collection::FromItems(JsonValue* items, std::size_t count) {
  Collection* list;
  try {
    list = NewInline(count);
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory creating a Collection");
  }
  list->Relocate(items, count);
  return Ref<Collection>::Adopt(list);
}

const JsonValue& Collection::Item(int32_t position) const {
  if (position < 1 || static_cast<std::size_t>(position) > size()) {
    Raise(ErrorNumber::kSubscriptOutOfRange, "Subscript out of range: no item at this position");
  }
  return Data()[static_cast<std::size_t>(position) - 1];
}

}  // namespace skyvane
