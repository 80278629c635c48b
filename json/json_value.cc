#include "json/json_value.h"

#include "json/collection.h"
#include "json/dictionary.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

template <typename T>
const T& Get(const JsonValue::Storage& v, ErrorNumber error, const char* description) {
  const T* held = std::get_if<T>(&v);
  if (held == nullptr) Raise(error, description);
  return *held;
}

// The outermost release running on this thread, and how many are nested.
thread_local internal::NestedRelease* t_outermost_release = nullptr;
thread_local int t_release_nesting = 0;

}  // namespace

JsonValue::JsonValue(std::shared_ptr<Dictionary> d) {
  if (d) v_ = std::move(d);
}

JsonValue::JsonValue(std::shared_ptr<Collection> c) {
  if (c) v_ = std::move(c);
}

VarType JsonValue::Kind() const {
  switch (v_.index()) {
    case 0:
      return VarType::kEmpty;
    case 1:
      return VarType::kNull;
    case 2:
      return VarType::kString;
    case 3:
      return VarType::kBoolean;
    case 4:
      return VarType::kDecimal;
    default:
      return VarType::kObject;
  }
}

const std::u16string& JsonValue::AsString() const {
  return Get<std::u16string>(v_, ErrorNumber::kTypeMismatch, "Type mismatch: not a String");
}

bool JsonValue::AsBoolean() const {
  return Get<bool>(v_, ErrorNumber::kTypeMismatch, "Type mismatch: not a Boolean");
}

const Decimal& JsonValue::AsDecimal() const {
  return Get<Decimal>(v_, ErrorNumber::kTypeMismatch, "Type mismatch: not a Decimal");
}

const std::shared_ptr<Dictionary>& JsonValue::AsDictionary() const {
  return Get<std::shared_ptr<Dictionary>>(v_, ErrorNumber::kObjectRequired,
                                          "Object required: not a Dictionary");
}

const std::shared_ptr<Collection>& JsonValue::AsCollection() const {
  return Get<std::shared_ptr<Collection>>(v_, ErrorNumber::kObjectRequired,
                                          "Object required: not a Collection");
}

Dictionary* JsonValue::DictionaryOrNull() const {
  const auto* held = std::get_if<std::shared_ptr<Dictionary>>(&v_);
  return held != nullptr ? held->get() : nullptr;
}

Collection* JsonValue::CollectionOrNull() const {
  const auto* held = std::get_if<std::shared_ptr<Collection>>(&v_);
  return held != nullptr ? held->get() : nullptr;
}

std::u16string JsonValue::TypeName() const {
  if (IsDictionary()) return u"Dictionary";
  if (IsCollection()) return u"Collection";
  switch (Kind()) {
    case VarType::kEmpty:
      return u"Empty";
    case VarType::kNull:
      return u"Null";
    case VarType::kString:
      return u"String";
    case VarType::kBoolean:
      return u"Boolean";
    case VarType::kDecimal:
      return u"Decimal";
    case VarType::kObject:
      break;
  }
  return u"Object";
}

std::u16string JsonValue::ToText() const {
  switch (Kind()) {
    case VarType::kEmpty:
      return std::u16string();
    case VarType::kNull:
      return u"null";
    case VarType::kString:
      return std::get<std::u16string>(v_);
    case VarType::kBoolean:
      return std::get<bool>(v_) ? u"true" : u"false";
    case VarType::kDecimal:
      return std::get<Decimal>(v_).ToText();
    case VarType::kObject:
      break;
  }
  Raise(ErrorNumber::kTypeMismatch, "Type mismatch: a container has no text form");
}

namespace internal {

NestedRelease::NestedRelease() noexcept {
  if (t_release_nesting == 0) t_outermost_release = this;
  ++t_release_nesting;
}

NestedRelease::~NestedRelease() {
  if (t_outermost_release == this) {
    // Each value destroyed here starts again at nesting 1, so its own deep
    // parts come back to this stack rather than going further down.
    while (!pending_.empty()) {
      JsonValue value = std::move(pending_.back());
      pending_.pop_back();
    }
    t_outermost_release = nullptr;
  }
  --t_release_nesting;
}

bool NestedRelease::TooDeep() const noexcept {
  return t_release_nesting > kMaxNesting;
}

void NestedRelease::Take(JsonValue& value) noexcept {
  if (!value.IsDictionary() && !value.IsCollection()) return;
  try {
    t_outermost_release->pending_.push_back(std::move(value));
    value = JsonValue();
  } catch (...) {
    // No room to defer it: it is destroyed in place, one level deeper.
  }
}

}  // namespace internal

}  // namespace skyvane
