#include "json/json_value.h"

#include <cstring>
#include <limits>
#include <new>
#include <type_traits>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/parse_arena.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

internal::TextBuffer* MakeTextBuffer(std::u16string_view text) {
  const internal::Block block =
      internal::AllocateBlock(sizeof(internal::TextBuffer) + text.size() * sizeof(char16_t));
  auto* buffer = new (block.address) internal::TextBuffer{internal::SharedCount(block.in_arena)};
  std::memcpy(buffer->Units(), text.data(), text.size() * sizeof(char16_t));
  return buffer;
}

// The outermost release running on this thread, and how many are nested.
thread_local internal::NestedRelease* t_outermost_release = nullptr;
thread_local int t_release_nesting = 0;

}  // namespace

static_assert(std::is_standard_layout_v<internal::TextBuffer>,
              "a held text buffer pointer also points at its holder count");

void JsonValue::SetText(std::u16string_view text) {
  if (text.size() <= kShortTextUnits) {
    SetTag(kTagShortText);
    short_.length = static_cast<uint8_t>(text.size());
    if (!text.empty()) std::memcpy(short_.units, text.data(), text.size() * sizeof(char16_t));
    return;
  }
  if (text.size() > std::numeric_limits<uint32_t>::max()) {
    Raise(ErrorNumber::kOverflow, "Text too long for a value");
  }
  internal::TextBuffer* buffer;
  try {
    buffer = MakeTextBuffer(text);
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory holding a text");
  }
  SetTag(kTagLongText);
  shared_.length = static_cast<uint32_t>(text.size());
  shared_.block = buffer;
}

JsonValue::JsonValue(bool b) noexcept {
  SetTag(kTagBoolean);
  flag_.value = b;
}

JsonValue::JsonValue(Ref<Dictionary> d) noexcept {
  if (Dictionary* held = d.Release()) {
    SetTag(kTagDictionary);
    shared_.block = held;
  } else {
    SetTag(kTagEmpty);
  }
}

JsonValue::JsonValue(Ref<Collection> c) noexcept {
  if (Collection* held = c.Release()) {
    SetTag(kTagCollection);
    shared_.block = held;
  } else {
    SetTag(kTagEmpty);
  }
}

void JsonValue::DestroyShared() noexcept {
  switch (Tag()) {
    case kTagLongText: {
      internal::TextBuffer* buffer = LongText();
      const internal::Block block{buffer, buffer->holders.InArena()};
      buffer->~TextBuffer();
      internal::FreeBlock(block);
      break;
    }
    case kTagDictionary:
      Dictionary::Destroy(static_cast<Dictionary*>(shared_.block));
      break;
    case kTagCollection:
      Collection::Destroy(static_cast<Collection*>(shared_.block));
      break;
    default:
      break;
  }
}

VarType JsonValue::Kind() const noexcept {
  switch (Tag()) {
    case kTagEmpty:
      return VarType::kEmpty;
    case kTagNull:
      return VarType::kNull;
    case kTagShortText:
    case kTagLongText:
      return VarType::kString;
    case kTagBoolean:
      return VarType::kBoolean;
    case kTagDecimal:
      return VarType::kDecimal;
    case kTagDictionary:
    case kTagCollection:
      break;
  }
  return VarType::kObject;
}

void JsonValue::RaiseNotString() {
  Raise(ErrorNumber::kTypeMismatch, "Type mismatch: not a String");
}

bool JsonValue::AsBoolean() const {
  if (Tag() != kTagBoolean) Raise(ErrorNumber::kTypeMismatch, "Type mismatch: not a Boolean");
  return flag_.value;
}

Decimal JsonValue::AsDecimal() const {
  if (Tag() != kTagDecimal) Raise(ErrorNumber::kTypeMismatch, "Type mismatch: not a Decimal");
  return Decimal(decimal_.negative != 0, decimal_.high, decimal_.low, decimal_.scale);
}

Ref<Dictionary> JsonValue::AsDictionary() const {
  if (!IsDictionary()) Raise(ErrorNumber::kObjectRequired, "Object required: not a Dictionary");
  Counted()->Hold();
  return Ref<Dictionary>::Adopt(DictionaryOrNull());
}

Ref<Collection> JsonValue::AsCollection() const {
  if (!IsCollection()) Raise(ErrorNumber::kObjectRequired, "Object required: not a Collection");
  Counted()->Hold();
  return Ref<Collection>::Adopt(CollectionOrNull());
}

std::u16string JsonValue::TypeName() const {
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
  return IsDictionary() ? u"Dictionary" : u"Collection";
}

std::u16string JsonValue::ToText() const {
  switch (Kind()) {
    case VarType::kEmpty:
      return std::u16string();
    case VarType::kNull:
      return u"null";
    case VarType::kString:
      return AsString();
    case VarType::kBoolean:
      return flag_.value ? u"true" : u"false";
    case VarType::kDecimal:
      return AsDecimal().ToText();
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
