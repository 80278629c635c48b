#include "json/collection.h"

#include <iterator>
#include <limits>
#include <new>
#include <type_traits>

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
  items_.clear();
}

void Collection::Add(JsonValue value) {
  if (items_.size() >= kMaxItems) Raise(ErrorNumber::kOverflow, "Collection is full");
  try {
    items_.push_back(std::move(value));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
  }
}

void Collection::Reserve(int32_t count) {
  if (count <= 0) return;
  try {
    items_.reserve(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
  }
}

void Collection::AddAll(std::vector<JsonValue>& items) {
  if (items.size() > kMaxItems - items_.size()) Raise(ErrorNumber::kOverflow, "Collection is full");
  if (items_.empty() && items.size() == items.capacity()) {
    items_.swap(items);
    items.clear();
    return;
  }
  try {
    items_.reserve(items_.size() + items.size());
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory adding a Collection item");
  }
  // Moving a JsonValue cannot throw and the room is there: nothing below
  // fails.
  static_assert(std::is_nothrow_move_constructible_v<JsonValue>);
  items_.insert(items_.end(), std::make_move_iterator(items.begin()),
                std::make_move_iterator(items.end()));
  items.clear();
}

const JsonValue& Collection::Item(int32_t position) const {
  if (position < 1 || static_cast<size_t>(position) > items_.size()) {
    Raise(ErrorNumber::kSubscriptOutOfRange, "Subscript out of range: no item at this position");
  }
  return items_[static_cast<size_t>(position) - 1];
}

}  // namespace skyvane
