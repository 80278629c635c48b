// JsonValue: the tagged value the JSON reader produces and the script
// evaluator inspects.
//
// A JsonValue holds exactly one of the kinds of VarType. Text and scalars are
// held by value (copying a JsonValue copies its text); containers are held by
// shared reference (copying a JsonValue shares the container). The kind codes
// are part of the model: callers test them by number.
#ifndef SKYVANE_JSON_JSON_VALUE_H_
#define SKYVANE_JSON_JSON_VALUE_H_

#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "json/decimal.h"

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

class JsonValue {
 public:
  struct NullTag {
    friend bool operator==(NullTag, NullTag) { return true; }
  };

  // Empty.
  JsonValue() = default;
  static JsonValue Null() { return JsonValue(NullTag{}); }
  JsonValue(NullTag) : v_(NullTag{}) {}
  JsonValue(std::u16string text) : v_(std::move(text)) {}
  JsonValue(const char16_t* text) : v_(std::u16string(text)) {}
  JsonValue(bool b) : v_(b) {}
  JsonValue(const Decimal& d) : v_(d) {}
  // A null pointer gives Empty.
  JsonValue(std::shared_ptr<Dictionary> d);
  JsonValue(std::shared_ptr<Collection> c);

  VarType Kind() const;
  int KindCode() const { return static_cast<int>(Kind()); }
  bool IsEmpty() const { return v_.index() == 0; }
  bool IsNull() const { return std::holds_alternative<NullTag>(v_); }
  bool IsString() const { return std::holds_alternative<std::u16string>(v_); }
  bool IsBoolean() const { return std::holds_alternative<bool>(v_); }
  bool IsDecimal() const { return std::holds_alternative<Decimal>(v_); }
  bool IsDictionary() const { return std::holds_alternative<std::shared_ptr<Dictionary>>(v_); }
  bool IsCollection() const { return std::holds_alternative<std::shared_ptr<Collection>>(v_); }

  // Accessors of one kind. Each raises RunError kTypeMismatch (13) when the
  // value is of another kind; the container accessors raise kObjectRequired
  // (424) instead.
  const std::u16string& AsString() const;
  bool AsBoolean() const;
  const Decimal& AsDecimal() const;
  const std::shared_ptr<Dictionary>& AsDictionary() const;
  const std::shared_ptr<Collection>& AsCollection() const;

  // The container, or nullptr when the value holds none of that kind.
  Dictionary* DictionaryOrNull() const;
  Collection* CollectionOrNull() const;

  // The name of the kind: "Empty", "Null", "String", "Boolean", "Decimal",
  // and for containers their class name, "Dictionary" or "Collection".
  std::u16string TypeName() const;

  // The text form of a scalar: Empty -> "", Null -> "null", a String
  // unchanged, a Boolean -> "true" / "false", a Decimal -> Decimal::ToText()
  // ("." as separator). A container raises kTypeMismatch (13).
  std::u16string ToText() const;

  // The held alternative; its index order is fixed (Empty first).
  using Storage = std::variant<std::monostate, NullTag, std::u16string, bool, Decimal,
                               std::shared_ptr<Dictionary>, std::shared_ptr<Collection>>;

 private:
  Storage v_;
};

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
