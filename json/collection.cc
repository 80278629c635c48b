#include "json/collection.h"

#include <limits>
#include <new>

#include "text/run_error.h"

namespace skyvane {
namespace {

constexpr size_t kMaxItems = std::numeric_limits<int32_t>::max();

}  // namespace

Collection::~Collection() {
  internal::NestedRelease release;
  if (release.TooDeep()) {
    for (JsonValue& item : items_) release.Take(item);
  }
  items_.Clear();
}

void Collection::Add(JsonValue value) {
  if (items_.size() >= kMaxItems) Raise(ErrorNumber::kOverflow, "Collection is full");
  try {
    items_.PushBack(std::move(value));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
  }
}

void Collection::Reserve(int32_t count) {
  if (count <= 0) return;
  try {
    items_.Reserve(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
  }
}

void Collection::AddAll(std::vector<JsonValue>& items) {
  if (items.size() > kMaxItems - items_.size()) Raise(ErrorNumber::kOverflow, "Collection is full");
  try {
    items_.Reserve(items_.size() + items.size());
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
  }
  // The room is there and moving a JsonValue cannot throw: nothing below
  // fails.
  for (JsonValue& item : items) items_.PushBack(std::move(item));
  items.clear();
}

const JsonValue& Collection::Item(int32_t position) const {
  if (position < 1 || static_cast<size_t>(position) > items_.size()) {
    Raise(ErrorNumber::kSubscriptOutOfRange, "Subscript out of range: no item at this position");
  }
  return items_[static_cast<size_t>(position) - 1];
}

}  // namespace skyvane
