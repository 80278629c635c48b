#include "script/json_script.h"

#include <cstddef>
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

cJSONScript::cJSONScript(ScriptDialogs& dialogs) : dialogs_(dialogs) {}

cJSONScript::~cJSONScript() = default;

void cJSONScript::SetOutputLimit(int32_t max_chars) {
  if (max_chars < 0) Raise(ErrorNumber::kInvalidArgument, "The output limit cannot be negative.");
  output_limit_ = max_chars;
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
    cStringBuilder out;
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
    return out.toString();
  } catch (const std::bad_alloc&) {
    Raise(ErrorNumber::kOutOfMemory);
  }
}

std::u16string cJSONScript::ExecCommand(const JsonValue& obj) {
  try {
    cStringBuilder out;
    EvalInto(obj, out);
    return out.toString();
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

void cJSONScript::Emit(cStringBuilder& out, std::u16string_view text) const {
  CheckFits(out.Length(), text.size());
  out.Append(text);
}

void cJSONScript::EvalInto(const JsonValue& obj, cStringBuilder& out) {
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

std::u16string cJSONScript::EvalToText(const JsonValue& obj) {
  if (lNestingLevel > kMaxNestingLevel) return std::u16string(kNestingExceeded);
  if (IsContainer(obj)) {
    cStringBuilder out;
    out.ChunkSize(kParamChunkChars);
    EvalInto(obj, out);
    return out.toString();
  }
  // Nothing nests below a scalar, so it needs no builder of its own.
  std::u16string text = obj.IsString() ? obj.AsString() : obj.ToText();
  CheckFits(0, text.size());
  return text;
}

void cJSONScript::RunCommandObject(const Dictionary& commands, cStringBuilder& out) {
  // The commands cannot change the object they are read from, so walking its
  // entries in place is walking a snapshot of its keys.
  const int32_t count = commands.Count();
  auto entry = commands.begin();
  for (int32_t i = 0; i < count; ++i, ++entry) RunCommand(entry->first, entry->second, out);
}

void cJSONScript::RunCommand(std::u16string_view key, const JsonValue& value, cStringBuilder& out) {
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

std::u16string cJSONScript::Param(const Dictionary& params, std::u16string_view name) {
  return EvalToText(params.Item(name));
}

void cJSONScript::Alert(const Dictionary& params) {
  const std::u16string message = Param(params, u"message");
  const std::u16string title = Param(params, u"title");
  dialogs_.MessageBox(message, title, MessageIcon::kInformation);
}

void cJSONScript::Input(const Dictionary& params, cStringBuilder& out) {
  const std::u16string prompt = Param(params, u"prompt");
  const std::u16string title = Param(params, u"title");
  const std::u16string default_text = Param(params, u"default");
  const std::optional<std::u16string> answer = dialogs_.InputBox(prompt, title, default_text);
  if (answer) Emit(out, *answer);
}

void cJSONScript::Switch(const Dictionary& params, cStringBuilder& out) {
  std::u16string result = Param(params, u"default");
  const std::u16string value = LowerCase(Param(params, u"case"));
  const Collection* items = params.Item(u"items").CollectionOrNull();
  if (items == nullptr) {
    Raise(ErrorNumber::kObjectRequired, "The \"items\" of \"switch\" must be an array, not a " +
                                            TypeNameOf(params.Item(u"items")) + ".");
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
    if (LowerCase(LiteralText(item_case, u"The \"case\" of a switch item")) == value) {
      result = Param(*item, u"return");
      break;
    }
  }
  Emit(out, result);
}

Dictionary& cJSONScript::Variables() {
  if (!oVariables) oVariables = std::make_unique<Dictionary>();
  return *oVariables;
}

void cJSONScript::Set(const Dictionary& params) {
  Dictionary& variables = Variables();
  const std::u16string name = LiteralText(params.Item(u"name"), u"A variable name");
  std::u16string value = Param(params, u"value");
  // The evaluation of "value" may itself have set this name: replace or add.
  variables.SetItem(name, JsonValue(std::move(value)));
}

void cJSONScript::Get(const Dictionary& params, cStringBuilder& out) {
  const Dictionary& variables = Variables();
  const std::u16string name = LiteralText(params.Item(u"name"), u"A variable name");
  // The stored text is evaluated like any value, so it counts towards nesting.
  std::u16string text = EvalToText(variables.Item(name));
  if (text.empty()) text = Param(params, u"default");
  Emit(out, text);
}

void cJSONScript::If(const Dictionary& params, cStringBuilder& out) {
  const std::u16string a = Param(params, u"value1");
  const std::u16string b = Param(params, u"value2");
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

void cJSONScript::Placeholder(std::u16string_view key, const JsonValue& value,
                              cStringBuilder& out) {
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
