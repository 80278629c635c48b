#include "json/json_value.h"

#include <bit>
#include <cstring>
#include <limits>
#include <new>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/parse_arena.h"
#include "text/run_error.h"

namespace skyvane {

static_assert(std::endian::native == std::endian::little,
              "the kind tag is the low byte of a held pointer");
static_assert(alignof(Dictionary) >= 2 && alignof(Collection) >= 2,
              "a held container pointer must be even");

namespace {

internal::TextBuffer* MakeTextBuffer(std::u16string_view text) {
  const internal::Block block =
      internal::AllocateBlock(sizeof(internal::TextBuffer) + text.size() * sizeof(char16_t));
  auto* buffer = new (block.address) internal::TextBuffer{{1}, block.in_arena};
  std::memcpy(buffer->Units(), text.data(), text.size() * sizeof(char16_t));
  return buffer;
}

void Hold(internal::TextBuffer* buffer) noexcept {
  buffer->holders.fetch_add(1, std::memory_order_relaxed);
}

void Drop(internal::TextBuffer* buffer) noexcept {
  if (buffer->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    const internal::Block block{buffer, buffer->in_arena};
    buffer->~TextBuffer();
    internal::FreeBlock(block);
  }
}

// The outermost release running on this thread, and how many are nested.
thread_local internal::NestedRelease* t_outermost_release = nullptr;
thread_local int t_release_nesting = 0;

}  // namespace

const internal::ContainerHeader* JsonValue::Header() const noexcept {
  // Both classes have the header as their first base, at the start of the
  // object, so the view as either class finds it.
  return dictionary_.get();
}

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
  TextBuffer* buffer;
  try {
    buffer = MakeTextBuffer(text);
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory, "Out of memory holding a text");
  }
  SetTag(kTagLongText);
  long_.length = static_cast<uint32_t>(text.size());
  long_.buffer = buffer;
}

JsonValue::JsonValue(bool b) noexcept {
  SetTag(kTagBoolean);
  flag_.value = b;
}

JsonValue::JsonValue(const Decimal& d) noexcept {
  SetTag(kTagDecimal);
  decimal_.scale = d.scale_;
  decimal_.negative = d.negative_;
  decimal_.high = d.hi_;
  decimal_.low = d.lo_;
}

JsonValue::JsonValue(std::shared_ptr<Dictionary> d) noexcept {
  if (d) {
    new (&dictionary_) std::shared_ptr<Dictionary>(std::move(d));
  } else {
    SetTag(kTagEmpty);
  }
}

JsonValue::JsonValue(std::shared_ptr<Collection> c) noexcept {
  if (c) {
    new (&collection_) std::shared_ptr<Collection>(std::move(c));
  } else {
    SetTag(kTagEmpty);
  }
}

void JsonValue::CopyShared(const JsonValue& other) noexcept {
  if (!other.HoldsContainer()) {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    Hold(long_.buffer);
  } else if (other.Header()->IsDictionary()) {
    new (&dictionary_) std::shared_ptr<Dictionary>(other.dictionary_);
  } else {
    new (&collection_) std::shared_ptr<Collection>(other.collection_);
  }
}

void JsonValue::ReleaseShared() noexcept {
  if (!HoldsContainer()) {
    Drop(long_.buffer);
  } else if (Header()->IsDictionary()) {
    dictionary_.~shared_ptr();
  } else {
    collection_.~shared_ptr();
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
    default:
      return VarType::kObject;
  }
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

const std::shared_ptr<Dictionary>& JsonValue::AsDictionary() const {
  if (!IsDictionary()) Raise(ErrorNumber::kObjectRequired, "Object required: not a Dictionary");
  return dictionary_;
}

const std::shared_ptr<Collection>& JsonValue::AsCollection() const {
  if (!IsCollection()) Raise(ErrorNumber::kObjectRequired, "Object required: not a Collection");
  return collection_;
}

Dictionary* JsonValue::DictionaryOrNull() const noexcept {
  return IsDictionary() ? dictionary_.get() : nullptr;
}

Collection* JsonValue::CollectionOrNull() const noexcept {
  return IsCollection() ? collection_.get() : nullptr;
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
