// cJSONScript: evaluates small command scripts written as JSON into one text.
//
// A script is a JSON array. Its items are evaluated in order and their
// results joined with nothing between them: null gives "null", a text gives
// itself, an object is a command object and an array gives the joined
// results of its own items. A command object runs its keys in entry order;
// each key names a command and its value is the command's argument:
//
//   "alert"  {"message","title"}           shows a message box; no output
//   "input"  {"prompt","title","default"}  asks for a line; outputs the answer
//                                           ("" on Cancel)
//   "switch" {"default","case","items"}    outputs the "return" of the first
//                                           item whose "case" matches, else
//                                           the "default"
//   "set"    {"name","value"}              stores a variable; no output
//   "get"    {"name","default"}            outputs the variable, or the
//                                           "default" when it is empty
//   "if"     {"value1","value2","type",    compares two texts and outputs
//             "true","false"}               "true" or "false"
//   "return" "text"                        outputs the text as it stands
//   any other name                         outputs "<%NAME(args)%>"
//
// Command names are matched in any letter case; parameter keys exactly as
// written above. Parameters are evaluated (they may be texts, arrays or
// further commands) except the literal ones: "name" of "set" and "get",
// "type" of "if", the "case" of a switch item, the value of "return" and the
// arguments of a placeholder. Numbers evaluate to their plain decimal text
// with "." as separator, booleans to "true" / "false", a missing parameter to
// "", and placeholder arguments and literals take the same text forms.
// Evaluations nest at most kMaxNestingLevel + 1 deep; a deeper one yields
// kNestingExceeded in place of its output and raises nothing. Every evaluated
// parameter counts, plain texts included, and so does the read of a variable
// in "get".
//
// Where a script is malformed in ways the language does not settle, this
// class takes these stands:
//   - A failed evaluation leaves the nesting level where it was before the
//     failing call, so failures never make later scripts hit the limit sooner.
//   - "set" evaluates "value" and then stores it under the name whether or not
//     that evaluation created the name itself: the variable ends up holding
//     the evaluated value, never a "key already present" error.
//   - A variable name that is not a text is keyed by its text form in both
//     "set" and "get" (5 -> "5", true -> "true", null -> "null", missing ->
//     ""), so the two always agree. A container as a name raises
//     kTypeMismatch (13).
//   - Every command reads only its own argument. A built-in command other
//     than "return" whose value is a text (so it has no parameter object), a
//     command whose value is Empty, and a script whose top level is an object
//     raise kObjectRequired (424). A placeholder whose value is a text takes
//     only that text as its arguments, never the parameters of an earlier key.
//   - The "items" of "switch" must be an array of objects; anything else
//     (missing, a scalar, an object with members) raises kObjectRequired
//     (424) when the walk needs it. An empty object, like an empty array,
//     has no item to walk: the "default" is the result.
//   - A top-level item that is a number, a boolean or Empty raises
//     kObjectRequired (424); so does a command whose value is a number, a
//     boolean or null.
//   - "return" whose value is a container, and a placeholder argument that is
//     null or a container, raise kTypeMismatch (13); a literal that must be
//     text ("type", a switch item's "case") raises it for a container too. A
//     switch item whose "case" is null never matches.
//   - No evaluation builds a text longer than OutputLimit() characters; one
//     that would raises kOverflow (6) instead of exhausting memory.
//   - The texts an instance holds, its variables (names and values) and the
//     texts its evaluations in progress are building or passing on, count
//     together against MemoryBudget() bytes (two bytes a UTF-16 code unit);
//     a text that would pass it raises kOutOfMemory (7), so that a script
//     cannot exhaust memory through many texts each within OutputLimit().
//   - Running out of memory raises kOutOfMemory (7).
//
// Errors: every failure is a RunError raised to the caller of Eval or
// ExecCommand; nothing is caught on the way, the output built so far is
// lost, and boxes already shown and variables already set stay as they are.
//
// Not thread-safe; one instance is used by one caller at a time.
#ifndef SKYVANE_SCRIPT_JSON_SCRIPT_H_
#define SKYVANE_SCRIPT_JSON_SCRIPT_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "json/dictionary.h"
#include "json/json_value.h"
#include "script/dialogs.h"
#include "text/string_builder.h"

namespace skyvane {

class cJSONScript {
 public:
  // A call that finds this many evaluations already in progress evaluates
  // nothing and yields kNestingExceeded.
  static constexpr int32_t kMaxNestingLevel = 40;
  static constexpr char16_t kNestingExceeded[] = u"ERROR: Nesting level exceeded.";
  // The title of the box that reports a script that could not be parsed.
  static constexpr char16_t kParserErrorTitle[] = u"Parser Error";
  // The default OutputLimit(): the longest text a cStringBuilder can hold.
  static constexpr int32_t kDefaultOutputLimit = cStringBuilder::kMaxChars;
  // The default MemoryBudget(): 256 MiB of text.
  static constexpr int64_t kDefaultMemoryBudget = int64_t{256} * 1024 * 1024;

  // `dialogs` shows the boxes; it must outlive this instance.
  explicit cJSONScript(ScriptDialogs& dialogs);
  ~cJSONScript();
  cJSONScript(const cJSONScript&) = delete;
  cJSONScript& operator=(const cJSONScript&) = delete;

  // Parses sJSON and evaluates it. When the parse logs an error or finds no
  // root, shows the log in a kWarning box titled kParserErrorTitle, evaluates
  // nothing and returns "". Raises RunError as described above.
  std::u16string Eval(std::u16string_view sJSON);

  // Evaluates one value (a text, an array, a command object, any scalar) and
  // returns its text. `obj` is read in place and not changed; nothing else
  // (the dialogs included) may change it while it is evaluated. Raises
  // RunError as above.
  std::u16string ExecCommand(const JsonValue& obj);

  // Evaluations of ExecCommand in progress (0 when idle).
  int32_t NestingLevel() const { return lNestingLevel; }

  // The longest text, in UTF-16 code units, that any one evaluation may build
  // (default kDefaultOutputLimit). Raises kInvalidArgument for max_chars < 0.
  void SetOutputLimit(int32_t max_chars);
  int32_t OutputLimit() const { return output_limit_; }

  // The most bytes of text the instance may hold at once, variables and
  // evaluations in progress together (default kDefaultMemoryBudget). Raises
  // kInvalidArgument for max_bytes < 0. A budget below what the variables
  // already hold makes every later evaluation that adds text fail.
  void SetMemoryBudget(int64_t max_bytes);
  int64_t MemoryBudget() const { return budget_bytes_; }
  // The bytes of text held now: those of the variables when no evaluation
  // is in progress.
  int64_t HeldBytes() const { return held_bytes_; }

 private:
  class NestingGuard;
  class Charge;
  struct Output;
  struct HeldText;

  // Appends the output of `obj` to `out`; the heart of ExecCommand.
  void EvalInto(const JsonValue& obj, Output& out);
  // The output of `obj` as its own text.
  HeldText EvalToText(const JsonValue& obj);
  void RunCommandObject(const Dictionary& commands, Output& out);
  // Runs one command: `key` as written, `value` its argument.
  void RunCommand(std::u16string_view key, const JsonValue& value, Output& out);
  // The evaluated parameter `name` of `params` (Empty when absent).
  HeldText Param(const Dictionary& params, std::u16string_view name);
  void Alert(const Dictionary& params);
  void Input(const Dictionary& params, Output& out);
  void Switch(const Dictionary& params, Output& out);
  void Set(const Dictionary& params);
  void Get(const Dictionary& params, Output& out);
  void If(const Dictionary& params, Output& out);
  void Placeholder(std::u16string_view key, const JsonValue& value, Output& out);
  Dictionary& Variables();
  // Raises kOverflow unless `added` more characters fit after `length`.
  void CheckFits(int32_t length, size_t added) const;
  // Appends `text` to `out` within OutputLimit() and MemoryBudget().
  void Emit(Output& out, std::u16string_view text);

  ScriptDialogs& dialogs_;
  Ref<Dictionary> oVariables;  // created by the first "set" or "get"
  int32_t lNestingLevel = 0;
  int32_t output_limit_ = kDefaultOutputLimit;
  int64_t budget_bytes_ = kDefaultMemoryBudget;
  int64_t held_bytes_ = 0;
  // What the variables hold; declared after held_bytes_, which it updates.
  std::unique_ptr<Charge> variables_charge_;
};

}  // namespace skyvane

#endif  // SKYVANE_SCRIPT_JSON_SCRIPT_H_
