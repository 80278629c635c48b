#include "script/json_script.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "json/collection.h"
#include "json/json_reader.h"
#include "text/run_error.h"
#include "text/string_builder.h"
#include "text/text_case.h"
#include "text/utf.h"

namespace skyvane {

namespace {

// Parameter texts are usually short; a small growth step keeps the many
// builders of a script cheap, and the builder's own reserve keeps long ones
// linear.
constexpr int32_t kParamChunkChars = 256;
// How much of a key or name an error description quotes.
constexpr size_t kMaxQuotedChars = 40;

constexpr std::u16string_view kNull = u"null";
constexpr std::u16string_view kPlaceholderOpen = u"<%";
constexpr std::u16string_view kArgumentsOpen = u"(";
constexpr std::u16string_view kArgumentSeparator = u",";
constexpr std::u16string_view kPlaceholderClose = u")%>";

// `text` in double quotes for an error description, shortened when long.
std::string Quote(std::u16string_view text) {
  std::string quoted = "\"";
  if (text.size() > kMaxQuotedChars) {
    quoted += Utf16ToUtf8(text.substr(0, kMaxQuotedChars));
    quoted += "...";
  } else {
    quoted += Utf16ToUtf8(text);
  }
  quoted += "\"";
  return quoted;
}

std::string TypeNameOf(const JsonValue& value) {
  return Utf16ToUtf8(value.TypeName());
}

bool IsContainer(const JsonValue& value) {
  return value.IsDictionary() || value.IsCollection();
}

// The text of a literal (unevaluated) value: a scalar's text form, "null" for
// Null. A container has no text form.
std::u16string LiteralText(const JsonValue& value, std::u16string_view what) {
  if (IsContainer(value)) {
    Raise(ErrorNumber::kTypeMismatch, Utf16ToUtf8(what) +
                                          " must be a text, a number or a boolean, not a " +
                                          TypeNameOf(value) + ".");
  }
  return value.ToText();
}

enum class Command { kAlert, kInput, kSwitch, kSet, kGet, kIf, kReturn, kOther };

Command CommandOf(std::u16string_view lower_name) {
  if (lower_name == u"alert") return Command::kAlert;
  if (lower_name == u"input") return Command::kInput;
  if (lower_name == u"switch") return Command::kSwitch;
  if (lower_name == u"set") return Command::kSet;
  if (lower_name == u"get") return Command::kGet;
  if (lower_name == u"if") return Command::kIf;
  if (lower_name == u"return") return Command::kReturn;
  return Command::kOther;
}

}  // namespace

// Counts one evaluation in progress for as long as it lives, so that the
// level falls again however the evaluation ends.
class cJSONScript::NestingGuard {
 public:
  explicit NestingGuard(int32_t& level) : level_(level) { ++level_; }
  ~NestingGuard() { --level_; }
  NestingGuard(const NestingGuard&) = delete;
  NestingGuard& operator=(const NestingGuard&) = delete;

 private:
  int32_t& level_;
};

// Counts code units of text against the instance's memory budget for as
// long as it lives, and gives them back when it goes.
class cJSONScript::Charge {
 public:
  explicit Charge(cJSONScript& script) : script_(script) {}
  Charge(Charge&& other) noexcept : script_(other.script_), bytes_(other.bytes_) {
    other.bytes_ = 0;
  }
  Charge(const Charge&) = delete;
  Charge& operator=(const Charge&) = delete;
  Charge& operator=(Charge&&) = delete;
  ~Charge() { script_.held_bytes_ -= bytes_; }

  // Counts `chars` more; raises kOutOfMemory, counting nothing, when they
  // would pass the budget.
  void Add(size_t chars) {
    if (chars == 0) return;
    const int64_t room = script_.budget_bytes_ - script_.held_bytes_;
    if (room < 0 || chars > static_cast<uint64_t>(room) / kBytesPerChar) {
      Raise(ErrorNumber::kOutOfMemory,
            "The script's texts would take more than the memory budget of " +
                std::to_string(script_.budget_bytes_) + " bytes.");
    }
    const int64_t bytes = static_cast<int64_t>(chars) * kBytesPerChar;
    script_.held_bytes_ += bytes;
    bytes_ += bytes;
  }
  // Counts `chars` fewer (never below nothing).
  void Remove(size_t chars) {
    const int64_t bytes = std::min(bytes_, static_cast<int64_t>(chars) * kBytesPerChar);
    script_.held_bytes_ -= bytes;
    bytes_ -= bytes;
  }
  // Counts what `other` counted; `other` then counts nothing.
  void TakeOver(Charge& other) {
    bytes_ += other.bytes_;
    other.bytes_ = 0;
  }

 private:
  static constexpr int64_t kBytesPerChar = sizeof(char16_t);

  cJSONScript& script_;
  int64_t bytes_ = 0;
};

// A text being built, counted as it grows.
struct cJSONScript::Output {
  explicit Output(cJSONScript& script) : charge(script) {}
  cStringBuilder text;
  Charge charge;
};

// An evaluated text on its way to where it is used, counted while it lives.
struct cJSONScript::HeldText {
  explicit HeldText(cJSONScript& script) : charge(script) {}
  // Replaces the text, counting the difference.
  void Replace(std::u16string other) {
    if (other.size() > text.size()) {
      charge.Add(other.size() - text.size());
    } else {
      charge.Remove(text.size() - other.size());
    }
    text = std::move(other);
  }
  std::u16string text;
  Charge charge;
};

cJSONScript::cJSONScript(ScriptDialogs& dialogs)
    : dialogs_(dialogs), variables_charge_(std::make_unique<Charge>(*this)) {}

cJSONScript::~cJSONScript() = default;

void cJSONScript::SetOutputLimit(int32_t max_chars) {
  if (max_chars < 0) Raise(ErrorNumber::kInvalidArgument, "The output limit cannot be negative.");
  output_limit_ = max_chars;
}

void cJSONScript::SetMemoryBudget(int64_t max_bytes) {
  if (max_bytes < 0) Raise(ErrorNumber::kInvalidArgument, "The memory budget cannot be negative.");
  budget_bytes_ = max_bytes;
}

std::u16string cJSONScript::Eval(std::u16string_view sJSON) {
  try {
    const JsonValue root = ReadJson(sJSON);
    const std::u16string log = ErrorLog();
    if (!log.empty() || root.IsEmpty()) {
      dialogs_.MessageBox(log, kParserErrorTitle, MessageIcon::kWarning);
      return {};
    }
    if (!root.IsCollection()) {
      Raise(ErrorNumber::kObjectRequired,
            "A script must be a JSON array, not a " + TypeNameOf(root) + ".");
    }
    const Collection& items = *root.AsCollection();
    Output out(*this);
    const int32_t count = items.Count();
    for (int32_t i = 1; i <= count; ++i) {
      const JsonValue& item = items.Item(i);
      if (item.IsNull()) {
        Emit(out, kNull);
      } else if (item.IsString()) {
        Emit(out, item.AsString());
      } else if (IsContainer(item)) {
        EvalInto(item, out);
      } else {
        Raise(ErrorNumber::kObjectRequired,
              "Item " + std::to_string(i) + " of the script is a " + TypeNameOf(item) +
                  "; it must be a text, null, an object or an array.");
      }
    }
    return out.text.toString();
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory);
  }
}

std::u16string cJSONScript::ExecCommand(const JsonValue& obj) {
  try {
    Output out(*this);
    EvalInto(obj, out);
    return out.text.toString();
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory);
  }
}

void cJSONScript::CheckFits(int32_t length, size_t added) const {
  if (added > static_cast<size_t>(output_limit_ - length)) {
    Raise(ErrorNumber::kOverflow, "The script's output would pass the limit of " +
                                      std::to_string(output_limit_) + " characters.");
  }
}

void cJSONScript::Emit(Output& out, std::u16string_view text) {
  CheckFits(out.text.Length(), text.size());
  out.charge.Add(text.size());
  out.text.Append(text);
}

void cJSONScript::EvalInto(const JsonValue& obj, Output& out) {
  if (lNestingLevel > kMaxNestingLevel) {
    Emit(out, kNestingExceeded);
    return;
  }
  const NestingGuard guard(lNestingLevel);
  if (const Collection* list = obj.CollectionOrNull()) {
    for (const JsonValue& item : *list) EvalInto(item, out);
  } else if (const Dictionary* commands = obj.DictionaryOrNull()) {
    RunCommandObject(*commands, out);
  } else if (obj.IsString()) {
    Emit(out, obj.AsString());
  } else {
    // Empty, Null, Boolean and Decimal ("." as separator whatever the locale).
    Emit(out, obj.ToText());
  }
}

cJSONScript::HeldText cJSONScript::EvalToText(const JsonValue& obj) {
  HeldText held(*this);
  if (lNestingLevel > kMaxNestingLevel) {
    held.Replace(std::u16string(kNestingExceeded));
    return held;
  }
  if (IsContainer(obj)) {
    Output out(*this);
    out.text.ChunkSize(kParamChunkChars);
    EvalInto(obj, out);
    held.text = out.text.toString();
    held.charge.TakeOver(out.charge);
    return held;
  }
  // Nothing nests below a scalar, so it needs no builder of its own.
  std::u16string text = obj.IsString() ? obj.AsString() : obj.ToText();
  CheckFits(0, text.size());
  held.Replace(std::move(text));
  return held;
}

void cJSONScript::RunCommandObject(const Dictionary& commands, Output& out) {
  // The commands cannot change the object they are read from, so walking its
  // entries in place is walking a snapshot of its keys.
  const int32_t count = commands.Count();
  auto entry = commands.begin();
  for (int32_t i = 0; i < count; ++i, ++entry) RunCommand(entry->first, entry->second, out);
}

void cJSONScript::RunCommand(std::u16string_view key, const JsonValue& value, Output& out) {
  if (!value.IsString() && !IsContainer(value)) {
    Raise(ErrorNumber::kObjectRequired, "The command " + Quote(key) + " has a " +
                                            TypeNameOf(value) +
                                            " as its value; it needs an object or a text.");
  }
  const Command command = CommandOf(LowerCase(key));
  if (command == Command::kReturn) {
    if (!value.IsString()) {
      Raise(ErrorNumber::kTypeMismatch,
            "The command \"return\" needs a text as its value, not a " + TypeNameOf(value) + ".");
    }
    Emit(out, value.AsString());
    return;
  }
  if (command == Command::kOther) {
    Placeholder(key, value, out);
    return;
  }
  const Dictionary* params = value.DictionaryOrNull();
  if (params == nullptr) {
    Raise(ErrorNumber::kObjectRequired, "The command " + Quote(key) +
                                            " needs an object of parameters as its value, not a " +
                                            TypeNameOf(value) + ".");
  }
  switch (command) {
    case Command::kAlert:
      Alert(*params);
      break;
    case Command::kInput:
      Input(*params, out);
      break;
    case Command::kSwitch:
      Switch(*params, out);
      break;
    case Command::kSet:
      Set(*params);
      break;
    case Command::kGet:
      Get(*params, out);
      break;
    case Command::kIf:
      If(*params, out);
      break;
    case Command::kReturn:
    case Command::kOther:
      break;
  }
}

cJSONScript::HeldText cJSONScript::Param(const Dictionary& params, std::u16string_view name) {
  return EvalToText(params.Item(name));
}

void cJSONScript::Alert(const Dictionary& params) {
  const HeldText message = Param(params, u"message");
  const HeldText title = Param(params, u"title");
  dialogs_.MessageBox(message.text, title.text, MessageIcon::kInformation);
}

void cJSONScript::Input(const Dictionary& params, Output& out) {
  const HeldText prompt = Param(params, u"prompt");
  const HeldText title = Param(params, u"title");
  const HeldText default_text = Param(params, u"default");
  const std::optional<std::u16string> answer =
      dialogs_.InputBox(prompt.text, title.text, default_text.text);
  if (answer) Emit(out, *answer);
}

void cJSONScript::Switch(const Dictionary& params, Output& out) {
  const HeldText result = Param(params, u"default");
  HeldText value = Param(params, u"case");
  value.Replace(LowerCase(value.text));
  const JsonValue& items_value = params.Item(u"items");
  const Collection* items = items_value.CollectionOrNull();
  if (items == nullptr) {
    // An empty object is a container with nothing to walk.
    const Dictionary* object = items_value.DictionaryOrNull();
    if (object != nullptr && object->Count() == 0) {
      Emit(out, result.text);
      return;
    }
    Raise(ErrorNumber::kObjectRequired,
          "The \"items\" of \"switch\" must be an array, not a " + TypeNameOf(items_value) + ".");
  }
  const int32_t count = items->Count();
  for (int32_t j = 1; j <= count; ++j) {
    const Dictionary* item = items->Item(j).DictionaryOrNull();
    if (item == nullptr) {
      Raise(ErrorNumber::kObjectRequired, "Item " + std::to_string(j) +
                                              " of the \"items\" of \"switch\" is a " +
                                              TypeNameOf(items->Item(j)) + ", not an object.");
    }
    const JsonValue& item_case = item->Item(u"case");
    if (item_case.IsNull()) continue;  // null has no text to match
    if (LowerCase(LiteralText(item_case, u"The \"case\" of a switch item")) == value.text) {
      Emit(out, Param(*item, u"return").text);
      return;
    }
  }
  Emit(out, result.text);
}

Dictionary& cJSONScript::Variables() {
  if (!oVariables) oVariables = MakeRef<Dictionary>();
  return *oVariables;
}

void cJSONScript::Set(const Dictionary& params) {
  Dictionary& variables = Variables();
  const std::u16string name = LiteralText(params.Item(u"name"), u"A variable name");
  HeldText value = Param(params, u"value");
  // The evaluation of "value" may itself have set this name: replace or add.
  // Variables hold only texts.
  const JsonValue& old = variables.Item(name);
  const bool added = old.IsEmpty();
  const size_t old_size = added ? 0 : old.AsString().size();
  if (added) variables_charge_->Add(name.size());
  try {
    variables.SetItem(name, JsonValue(std::move(value.text)));
  } catch (...) {
    if (added) variables_charge_->Remove(name.size());
    throw;
  }
  // The value's count moves with it from the evaluation to the variables.
  variables_charge_->TakeOver(value.charge);
  variables_charge_->Remove(old_size);
}

void cJSONScript::Get(const Dictionary& params, Output& out) {
  const Dictionary& variables = Variables();
  const std::u16string name = LiteralText(params.Item(u"name"), u"A variable name");
  // The stored text is evaluated like any value, so it counts towards nesting.
  const HeldText text = EvalToText(variables.Item(name));
  if (text.text.empty()) {
    Emit(out, Param(params, u"default").text);
  } else {
    Emit(out, text.text);
  }
}

void cJSONScript::If(const Dictionary& params, Output& out) {
  const HeldText value1 = Param(params, u"value1");
  const HeldText value2 = Param(params, u"value2");
  const std::u16string& a = value1.text;
  const std::u16string& b = value2.text;
  const std::u16string type =
      LowerCase(LiteralText(params.Item(u"type"), u"The \"type\" of \"if\""));
  // std::u16string compares code unit by code unit, unsigned.
  bool condition = false;
  if (type == u"eq") {
    condition = LowerCase(a) == LowerCase(b);
  } else if (type == u"gt") {
    condition = a > b;
  } else if (type == u"lt") {
    condition = a < b;
  } else if (type == u"gte") {
    condition = a >= b;
  } else if (type == u"lte") {
    condition = a <= b;
  }
  EvalInto(params.Item(condition ? u"true" : u"false"), out);
}

void cJSONScript::Placeholder(std::u16string_view key, const JsonValue& value, Output& out) {
  Emit(out, kPlaceholderOpen);
  Emit(out, UpperCase(key));
  Emit(out, kArgumentsOpen);
  if (value.IsString()) {
    Emit(out, value.AsString());
  } else if (const Dictionary* args = value.DictionaryOrNull()) {
    bool first = true;
    for (const auto& [name, arg] : *args) {
      if (arg.IsNull() || IsContainer(arg)) {
        Raise(ErrorNumber::kTypeMismatch, "The argument " + Quote(name) + " of " + Quote(key) +
                                              " is a " + TypeNameOf(arg) +
                                              "; it must be a text, a number or a boolean.");
      }
      if (!first) Emit(out, kArgumentSeparator);
      first = false;
      if (arg.IsString()) {
        Emit(out, arg.AsString());
      } else {
        Emit(out, arg.ToText());
      }
    }
  }
  Emit(out, kPlaceholderClose);
}

}  // namespace skyvane
