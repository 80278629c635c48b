// JsonValue: the tagged value the JSON reader produces and the script
// evaluator inspects.
//
// A JsonValue holds exactly one of the kinds of VarType. Text and scalars
// behave as values (changing or releasing one copy never changes another);
// containers are held by shared reference (copying a JsonValue shares the
// container). The kind codes are part of the model: callers test them by
// number.
//
// A JsonValue is 16 bytes: a tag byte and the payload. A Decimal is packed
// beside the tag; a text of up to kShortTextUnits code units is held
// inline, a longer one in one immutable, counted buffer, so copies share it
// and never copy the text; a container is a pointer holding one of the
// container's counted holders (as a Ref does).
//
// Copies of one value may be used on different threads (the counts are
// atomic); one value, and the containers, are not thread-safe.
#ifndef SKYVANE_JSON_JSON_VALUE_H_
#define SKYVANE_JSON_JSON_VALUE_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "json/decimal.h"
#include "json/ref.h"

namespace skyvane {

class Dictionary;
class Collection;

enum class VarType : int {
  kEmpty = 0,
  kNull = 1,
  kString = 8,
  kObject = 9,  // a Dictionary or a Collection
  kBoolean = 11,
  kDecimal = 14,
};

// The text of a String value, viewed in place: valid while the value it
// came from is neither changed nor released. Converts to std::u16string
// where a copy is wanted.
class JsonText : public std::u16string_view {
 public:
  constexpr JsonText(std::u16string_view text) noexcept : std::u16string_view(text) {}
  operator std::u16string() const { return std::u16string(data(), size()); }
};

namespace internal {

// A long text of a JsonValue: its count of holders, then its code units,
// in one block.
struct TextBuffer {
  SharedCount holders;
  char16_t* Units() noexcept {
    return reinterpret_cast<char16_t*>(reinterpret_cast<std::byte*>(this) + sizeof(TextBuffer));
  }
};

}  // namespace internal

class JsonValue {
 public:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) { return true; }
  };
  // Texts up to this many code units are held inside the value.
  static constexpr std::size_t kShortTextUnits = 7;

  // Empty.
  JsonValue() noexcept { SetTag(kTagEmpty); }
  static JsonValue Null() { return JsonValue(NullTag{}); }
  JsonValue(NullTag) noexcept { SetTag(kTagNull); }
  // Raises kOutOfMemory when a long text's buffer cannot be had, kOverflow
  // for a text of more than 2^32 − 1 code units.
  JsonValue(std::u16string_view text) { SetText(text); }
  JsonValue(const std::u16string& text) { SetText(text); }
  JsonValue(const char16_t* text) { SetText(text); }
  JsonValue(bool b) noexcept;
  JsonValue(const Decimal& d) noexcept {
    SetTag(kTagDecimal);
    decimal_.scale = d.scale_;
    decimal_.negative = d.negative_;
    decimal_.high = d.hi_;
    decimal_.low = d.lo_;
  }
  // Takes over the holder of `d` / `c`; a null Ref gives Empty.
  JsonValue(Ref<Dictionary> d) noexcept;
  JsonValue(Ref<Collection> c) noexcept;

  JsonValue(const JsonValue& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    if (OwnsShared()) Counted()->Hold();
  }
  // A move copies the bytes (the payload is a pointer at most, and the
  // holder it carries goes along) and leaves `other` Empty.
  JsonValue(JsonValue&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.SetTag(kTagEmpty);
  }
  JsonValue& operator=(const JsonValue& other) noexcept {
    // The old content goes last: it may hold the container `other` is in.
    if (this != &other) {
      JsonValue old(std::move(*this));
      new (this) JsonValue(other);
    }
    return *this;
  }
  JsonValue& operator=(JsonValue&& other) noexcept {
    if (this != &other) {
      JsonValue old(std::move(*this));
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.SetTag(kTagEmpty);
    }
    return *this;
  }
  ~JsonValue() {
    if (OwnsShared() && Counted()->Drop()) DestroyShared();
  }

  VarType Kind() const noexcept;
  int KindCode() const { return static_cast<int>(Kind()); }
  bool IsEmpty() const noexcept { return Tag() == kTagEmpty; }
  bool IsNull() const noexcept { return Tag() == kTagNull; }
  bool IsString() const noexcept { return Tag() == kTagShortText || Tag() == kTagLongText; }
  bool IsBoolean() const noexcept { return Tag() == kTagBoolean; }
  bool IsDecimal() const noexcept { return Tag() == kTagDecimal; }
  bool IsDictionary() const noexcept { return Tag() == kTagDictionary; }
  bool IsCollection() const noexcept { return Tag() == kTagCollection; }

  // Accessors of one kind. Each raises RunError kTypeMismatch (13) when the
  // value is of another kind; the container accessors raise kObjectRequired
  // (424) instead.
  JsonText AsString() const {
    if (Tag() == kTagShortText) return std::u16string_view(short_.units, short_.length);
    if (Tag() == kTagLongText) return std::u16string_view(LongText()->Units(), shared_.length);
    RaiseNotString();
  }
  bool AsBoolean() const;
  Decimal AsDecimal() const;
  // A new holder of the container.
  Ref<Dictionary> AsDictionary() const;
  Ref<Collection> AsCollection() const;

  // The container, or nullptr when the value holds none of that kind.
  Dictionary* DictionaryOrNull() const noexcept {
    return IsDictionary() ? static_cast<Dictionary*>(shared_.block) : nullptr;
  }
  Collection* CollectionOrNull() const noexcept {
    return IsCollection() ? static_cast<Collection*>(shared_.block) : nullptr;
  }

  // The name of the kind: "Empty", "Null", "String", "Boolean", "Decimal",
  // and for containers their class name, "Dictionary" or "Collection".
  std::u16string TypeName() const;

  // The text form of a scalar: Empty -> "", Null -> "null", a String
  // unchanged, a Boolean -> "true" / "false", a Decimal -> Decimal::ToText()
  // ("." as separator). A container raises kTypeMismatch (13).
  std::u16string ToText() const;

 private:
  enum TagByte : uint8_t {
    kTagEmpty,
    kTagNull,
    kTagBoolean,
    kTagDecimal,
    kTagShortText,
    // From here on the payload is a counted block shared with other holders.
    kTagLongText,
    kTagDictionary,
    kTagCollection,
  };
  struct ShortText {
    uint8_t tag;
    uint8_t length;
    char16_t units[kShortTextUnits];
  };
  struct PackedDecimal {
    uint8_t tag;
    uint8_t scale;
    uint8_t negative;
    uint32_t high;
    uint64_t low;
  };
  // A long text (its length beside the tag), a Dictionary or a Collection.
  // Each of these blocks starts with its SharedCount.
  struct Shared {
    uint8_t tag;
    uint32_t length;
    void* block;
  };
  struct Flag {
    uint8_t tag;
    bool value;
  };

  uint8_t Tag() const noexcept { return bytes_[0]; }
  bool OwnsShared() const noexcept { return Tag() >= kTagLongText; }
  internal::SharedCount* Counted() const noexcept {
    return static_cast<internal::SharedCount*>(shared_.block);
  }
  internal::TextBuffer* LongText() const noexcept {
    return static_cast<internal::TextBuffer*>(shared_.block);
  }
  void SetTag(uint8_t tag) noexcept {
    std::memset(bytes_, 0, sizeof bytes_);
    bytes_[0] = tag;
  }
  void SetText(std::u16string_view text);
  [[noreturn]] static void RaiseNotString();
  // Destroys the shared block whose last holder this value was.
  void DestroyShared() noexcept;

  union {
    unsigned char bytes_[16];
    ShortText short_;
    PackedDecimal decimal_;
    Shared shared_;
    Flag flag_;
  };
};

static_assert(sizeof(JsonValue) == 16);

namespace internal {

// Lets the container destructors release a tree of any depth without one
// nested call per level (100,000 nested arrays would overflow the stack).
// Each container destructor makes a NestedRelease before it destroys its
// values. Up to kMaxNesting nested releases on a thread destroy their values
// in place, so ordinary trees cost nothing extra; deeper ones hand their
// containers (Take) to the outermost release, which destroys them one by one
// when it ends, each again with the full depth available.
class NestedRelease {
 public:
  static constexpr int kMaxNesting = 64;

  NestedRelease() noexcept;
  ~NestedRelease();
  NestedRelease(const NestedRelease&) = delete;
  NestedRelease& operator=(const NestedRelease&) = delete;

  // True when the values must be handed over with Take instead of being
  // destroyed in place.
  bool TooDeep() const noexcept;
  // Moves `value` onto the outermost release's stack when it holds a
  // container (it is left Empty); any other value is left alone.
  void Take(JsonValue& value) noexcept;

 private:
  std::vector<JsonValue> pending_;  // used by the outermost release only
};

}  // namespace internal

}  // namespace skyvane

#endif  // SKYVANE_JSON_JSON_VALUE_H_
