#include "script/json_script.h"

#include <gtest/gtest.h>

#include <clocale>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "tests/script/recording_dialogs.h"
#include "tests/text/raised_number.h"
#include "text/run_error.h"
#include "text/utf.h"

namespace skyvane {
namespace {

using Shown = std::vector<std::string>;

class ScriptTest : public ::testing::Test {
 protected:
  // Evaluates a UTF-8 script and gives its output as UTF-8.
  std::string Run(std::string_view script) { return Utf16ToUtf8(engine.Eval(Utf8ToUtf16(script))); }
  // The number of the RunError that evaluating `script` raises, or 0.
  int ErrorOf(std::string_view script) {
    return RaisedNumber([&] { engine.Eval(Utf8ToUtf16(script)); });
  }
  int ErrorOfValue(const JsonValue& value) {
    return RaisedNumber([&] { engine.ExecCommand(value); });
  }

  RecordingDialogs dialogs;
  cJSONScript engine{dialogs};
};

constexpr int kObjectRequired = static_cast<int>(ErrorNumber::kObjectRequired);
constexpr int kTypeMismatch = static_cast<int>(ErrorNumber::kTypeMismatch);
constexpr int kOverflow = static_cast<int>(ErrorNumber::kOverflow);
constexpr int kOutOfMemory = static_cast<int>(ErrorNumber::kOutOfMemory);
constexpr int64_t kBytesPerChar = 2;

// ---------------------------------------------------------------- top level

TEST_F(ScriptTest, TopLevelItemsAreJoinedWithoutSeparators) {
  EXPECT_EQ(Run("[]"), "");
  EXPECT_EQ(Run(R"(["a", null, "b"])"), "anullb");
  EXPECT_EQ(Run(R"(["x", ["y", ["z"]], [], "w"])"), "xyzw");
  EXPECT_EQ(Run(R"([{}, "", {"return": ""}])"), "");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ScriptTest, TopLevelNumbersBooleansAndObjectsAreRefused) {
  EXPECT_EQ(ErrorOf("[5]"), kObjectRequired);
  EXPECT_EQ(ErrorOf("[true]"), kObjectRequired);
  EXPECT_EQ(ErrorOf(R"(["a", false])"), kObjectRequired);
  EXPECT_EQ(ErrorOf(R"({"return": "a"})"), kObjectRequired);
  EXPECT_EQ(ErrorOf(R"({"alert": {"message": "m"}})"), kObjectRequired);
  EXPECT_TRUE(dialogs.shown.empty()) << "nothing of a top-level object may run";
  EXPECT_EQ(ErrorOf(R"([{"alert": {"message": "first"}}, 1, {"alert": {"message": "never"}}])"),
            kObjectRequired);
  EXPECT_EQ(dialogs.shown, Shown({"info||first"}));
}

TEST_F(ScriptTest, MalformedScriptsShowTheParserLogAndEvaluateNothing) {
  for (const char* script : {"", "   ", "abc", "5", R"([{"alert": {"message": "m"}}, )",
                             R"([{"alert": {"message": "m"}} "unterminated)"}) {
    SCOPED_TRACE(script);
    dialogs.shown.clear();
    EXPECT_EQ(Run(script), "");
    const std::string log = Utf16ToUtf8(ErrorLog());
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(dialogs.shown, Shown({"warning|Parser Error|" + log}));
  }
}

TEST_F(ScriptTest, VariablesLiveAsLongAsTheInstance) {
  EXPECT_EQ(Run(R"([{"set": {"name": "v", "value": "kept"}}])"), "");
  EXPECT_EQ(Run(R"([{"get": {"name": "v", "default": "absent"}}])"), "kept");
  cJSONScript fresh(dialogs);
  EXPECT_EQ(Utf16ToUtf8(fresh.Eval(u"[{\"get\": {\"name\": \"v\", \"default\": \"absent\"}}]")),
            "absent");
}

// ---------------------------------------------------------------- values

TEST_F(ScriptTest, EveryKindOfValueHasItsText) {
  // A locale whose decimal separator is a comma must not leak into the text.
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"}) {
    if (std::setlocale(LC_ALL, name)) break;
  }
  EXPECT_EQ(Run(R"([[3.5, "|", -0.25, "|", 100, "|", 1.50, "|", 1e2, true, null, false]])"),
            "3.5|-0.25|100|1.5|100truenullfalse");
  EXPECT_EQ(engine.ExecCommand(JsonValue(Decimal::FromText("3.5"))), u"3.5");
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(engine.ExecCommand(JsonValue()), u"");
  EXPECT_EQ(Run(R"([{"return": "x"}, [{"if": {"type": "eq", "true": 0.5}}]])"), "x0.5");
  // Texts keep every code unit, NUL and surrogate pairs included.
  const std::u16string text = std::u16string(u"a\0b", 3) + u"\U0001F600\u00e9";
  auto list = MakeRef<Collection>();
  list->Add(JsonValue(text));
  list->Add(JsonValue(text));
  EXPECT_EQ(engine.ExecCommand(JsonValue(list)), text + text);
}

// ---------------------------------------------------------------- command objects

TEST_F(ScriptTest, KeysRunInEntryOrder) {
  EXPECT_EQ(Run(R"([{"set": {"name": "v", "value": "1"}, "get": {"name": "v"}}])"), "1");
  EXPECT_EQ(
      Run(R"([{"get": {"name": "w", "default": "none"}, "set": {"name": "w", "value": "1"}}])"),
      "none");
  dialogs.Answer("typed");
  EXPECT_EQ(Run(R"([{"return": "a", "input": {"prompt": "p"}, "zz": "q", "returns": "r"}])"),
            "atyped<%ZZ(q)%><%RETURNS(r)%>");
  EXPECT_EQ(Run(R"([{"alert": {"message": "1"}, "ALERT": {"message": "2"}}])"), "");
  EXPECT_EQ(dialogs.shown, Shown({"input||p| -> typed", "info||1", "info||2"}));
}

TEST_F(ScriptTest, CommandNamesIgnoreCaseButParameterKeysDoNot) {
  Run(R"([{"ALERT": {"message": "a", "title": "t"}}, {"Alert": {"Message": "b", "Title": "T"}}])");
  EXPECT_EQ(dialogs.shown, Shown({"info|t|a", "info||"}));
  EXPECT_EQ(Run(R"([{"RETURN": "r", "Get": {"NAME": "x", "default": "d"}}])"), "rd");
}

TEST_F(ScriptTest, ReturnEndsNothing) {
  EXPECT_EQ(Run(R"([{"return": "a"}, "b", {"return": "c", "set": {"name": "n", "value": "v"}},
                   {"get": {"name": "n"}}])"),
            "abcv");
  EXPECT_EQ(Run(R"([{"return": "  raw {\"get\": 1}  "}])"), "  raw {\"get\": 1}  ");
}

// ---------------------------------------------------------------- alert and input

TEST_F(ScriptTest, BoxesEvaluateTheirParametersInOrder) {
  dialogs.Answer("M");
  dialogs.Answer("T");
  EXPECT_EQ(Run(R"(["<", {"alert": {"title": {"input": {"prompt": "title?"}},
                                     "message": [{"input": {"prompt": "message?"}}, "!"]}}, ">"])"),
            "<>");
  dialogs.Answer("yes");
  dialogs.Cancel();
  dialogs.Answer("");
  EXPECT_EQ(Run(R"([{"input": {"default": "d1", "title": "t1", "prompt": "p1"}}, "|",
                   {"input": {"prompt": "p2", "default": ["d", 2]}}, "|",
                   {"input": {}}])"),
            "yes||");
  EXPECT_EQ(dialogs.shown,
            Shown({"input||message?| -> M", "input||title?| -> T", "info|T|M!",
                   "input|t1|p1|d1 -> yes", "input||p2|d2 -> <cancel>", "input||| -> "}));
}

// ---------------------------------------------------------------- switch

TEST_F(ScriptTest, SwitchPicksTheFirstMatchingItemIgnoringCase) {
  const char* kItems =
      R"("items": [{"case": "a", "return": "first a"}, {"case": "b", "return": "b"},
                   {"case": "A", "return": "second a"}, {"return": "no case"},
                   {"case": 7, "return": "seven"}, {"case": true, "return": "yes"},
                   {"case": "\u00c9T\u00c9", "return": "summer"}])";
  struct Case {
    const char* value;
    const char* output;
  };
  for (const Case& c : {Case{"B", "b"}, Case{"a", "first a"}, Case{"A", "first a"},
                        Case{"", "no case"}, Case{"7", "seven"}, Case{"TRUE", "yes"},
                        Case{"\u00e9t\u00e9", "summer"}, Case{"zz", "dflt"}}) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(Run(std::string(R"([{"switch": {"default": "dflt", "case": ")") + c.value + "\", " +
                  kItems + "}}]"),
              c.output);
  }
}

TEST_F(ScriptTest, SwitchAlwaysEvaluatesDefaultFirstAndOnlyTheChosenReturn) {
  dialogs.Answer("picked");
  dialogs.Answer("x");
  EXPECT_EQ(Run(R"([{"switch": {"items": [{"case": "x", "return": [{"get": {"name": "s"}}, "!"]},
                                          {"case": "X", "return": {"input": {"prompt": "no"}}}],
                               "case": {"input": {"prompt": "case?"}},
                               "default": [{"input": {"prompt": "default?"}},
                                           {"set": {"name": "s", "value": "set"}}]}}])"),
            "set!");
  EXPECT_EQ(dialogs.shown, Shown({"input||default?| -> picked", "input||case?| -> x"}));
}

TEST_F(ScriptTest, SwitchCasesAreLiteralAndItemsAnArrayOfObjects) {
  // A null case never matches, not even the text null; a case that is a
  // command is not run.
  EXPECT_EQ(Run(R"([{"switch": {"case": "null", "default": "d",
                               "items": [{"case": null, "return": "n"}]}}])"),
            "d");
  EXPECT_EQ(ErrorOf(R"([{"switch": {"case": "x", "items": [{"case": {"return": "x"}}]}}])"),
            kTypeMismatch);
  // A match stops the walk before a later item could fail.
  EXPECT_EQ(Run(R"([{"switch": {"case": "x", "items": [{"case": "x", "return": "ok"}, 5]}}])"),
            "ok");
  for (const char* items :
       {"", R"(, "items": 5)", R"(, "items": "a")", R"(, "items": {"case": "x"})",
        R"(, "items": [3])", R"(, "items": [{"case": "y"}, "x"])", R"(, "items": [null])"}) {
    SCOPED_TRACE(items);
    EXPECT_EQ(ErrorOf(std::string(R"([{"switch": {"case": "x")") + items + "}}]"), kObjectRequired);
  }
  EXPECT_EQ(Run(R"([{"switch": {"case": "x", "default": "d", "items": []}}])"), "d");
}

// Empty items are a container with nothing to walk, whether written as an
// array or as an object: the default is the result.
TEST_F(ScriptTest, SwitchOverNoItemsGivesTheDefault) {
  const struct {
    const char* items;
    const char* default_value;
    const char* output;
  } cases[] = {
      {"[]", R"("d")", "d"},  {"{}", R"("d")", "d"}, {"{ }", R"(["d", {"return": "e"}])", "de"},
      {"{}", "null", "null"}, {"[]", nullptr, ""},   {"{}", nullptr, ""},
  };
  for (const auto& c : cases) {
    const std::string default_param =
        c.default_value ? std::string(R"("default": )") + c.default_value + ", " : "";
    const std::string script =
        R"([{"switch": {)" + default_param + R"("case": "x", "items": )" + c.items + "}}]";
    SCOPED_TRACE(script);
    EXPECT_EQ(Run(script), c.output);
  }
}

// ---------------------------------------------------------------- set and get

TEST_F(ScriptTest, SetStoresTheEvaluatedTextAndGetReadsIt) {
  EXPECT_EQ(Run(R"([{"set": {"name": "v", "value": "one"}}, {"set": {"name": "v", "value": "two"}},
                   {"get": {"name": "v"}}, "|",
                   {"set": {"name": "X", "value": "upper"}}, {"get": {"name": "x", "default": "d"}},
                   "|", {"get": {"name": "X"}}, "|",
                   {"set": {"name": "cmd", "value": [{"return": "<"}, 5, ">"]}},
                   {"get": {"name": "cmd"}}])"),
            "two|d|upper|<5>");
}

TEST_F(ScriptTest, GetFallsBackToItsDefaultOnlyForEmptyText) {
  dialogs.Answer("never asked");
  EXPECT_EQ(Run(R"([{"get": {"name": "unset", "default": "d1"}}, "|",
                   {"set": {"name": "e", "value": ""}}, {"get": {"name": "e", "default": "d2"}}, "|",
                   {"set": {"name": "f", "value": "full"}},
                   {"get": {"name": "f", "default": {"input": {"prompt": "p"}}}}, "|",
                   {"get": {"default": "no name"}}, "|",
                   {"set": {"value": "empty name"}}, {"get": {}}])"),
            "d1|d2|full|no name|empty name");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ScriptTest, NamesAreLiteralAndKeyedByTheirText) {
  // The name is never evaluated: a command as a name is refused.
  EXPECT_EQ(ErrorOf(R"([{"set": {"name": {"return": "a"}, "value": "v"}}])"), kTypeMismatch);
  EXPECT_EQ(ErrorOf(R"([{"get": {"name": ["a"]}}])"), kTypeMismatch);
  // A name that is not a text is keyed by its text, in set and get alike.
  EXPECT_EQ(Run(R"([{"set": {"name": 5, "value": "five"}}, {"get": {"name": 5}}, "|",
                   {"get": {"name": "5"}}, "|",
                   {"set": {"name": true, "value": "T"}}, {"get": {"name": "true"}}, "|",
                   {"set": {"name": null, "value": "N"}}, {"get": {"name": "null"}}, "|",
                   {"set": {"name": 2.50, "value": "D"}}, {"get": {"name": 2.5}}])"),
            "five|five|T|N|D");
}

TEST_F(ScriptTest, SetWhoseValueSetsTheSameNameKeepsTheEvaluatedValue) {
  EXPECT_EQ(Run(R"([{"set": {"name": "a", "value": [{"set": {"name": "a", "value": "inner"}},
                                                     "outer"]}},
                   {"get": {"name": "a"}}, "|",
                   {"set": {"name": "a", "value": [{"set": {"name": "a", "value": "again"}},
                                                   {"get": {"name": "a"}}, "+"]}},
                   {"get": {"name": "a"}}])"),
            "outer|again+");
}

// ---------------------------------------------------------------- if

TEST_F(ScriptTest, IfComparesTextsCodeUnitByCodeUnit) {
  struct Case {
    const char* value1;
    const char* value2;
    const char* type;  // written into the script as it stands
    const char* output;
  };
  const Case cases[] = {
      {"10", "9", R"("lt")", "T"},
      {"b", "A", R"("GT")", "T"},
      {"B", "a", R"("gte")", "F"},
      {"ABC", "abc", R"("eq")", "T"},
      {"ABC", "abd", R"("eq")", "F"},
      {"\u00c9", "\u00e9", R"("Eq")", "T"},
      {"ab", "a", R"("gt")", "T"},
      {"a", "ab", R"("lt")", "T"},
      {"a", "a", R"("lte")", "T"},
      {"a", "a", R"("gte")", "T"},
      {"a", "a", R"("lt")", "F"},
      {"a", "a", R"("gt")", "F"},
      {"a", "b", R"("ne")", "F"},
      {"a", "a", R"("")", "F"},
      {"a", "a", "null", "F"},
      {"b", "a", "1", "F"},
      {"\uff21", "\U0001F600", R"("gt")", "T"},  // U+FF21 sorts after a surrogate
      {"2", "10.0", R"("gt")", "T"},
      {"", "", R"("eq")", "T"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.value1) + " " + c.type + " " + c.value2);
    EXPECT_EQ(Run(std::string(R"([{"if": {"value1": ")") + c.value1 + R"(", "value2": ")" +
                  c.value2 + R"(", "type": )" + c.type + R"(, "true": "T", "false": "F"}}])"),
              c.output);
  }
  EXPECT_EQ(Run(R"([{"if": {"value1": "a", "value2": "a", "true": "T", "false": "F"}}])"), "F");
  EXPECT_EQ(ErrorOf(R"([{"if": {"type": {"return": "eq"}}}])"), kTypeMismatch);
}

TEST_F(ScriptTest, IfEvaluatesBothValuesThenOnlyTheChosenBranch) {
  dialogs.Answer("1");
  dialogs.Answer("1");
  EXPECT_EQ(Run(R"([{"if": {"false": {"input": {"prompt": "false?"}},
                           "true": [{"return": "same"}, 1],
                           "type": "eq",
                           "value2": {"input": {"prompt": "second"}},
                           "value1": {"input": {"prompt": "first"}}}},
                   {"if": {"value1": 1, "value2": 2, "type": "gt", "true": {"alert": {}},
                           "false": ""}}])"),
            "same1");
  EXPECT_EQ(dialogs.shown, Shown({"input||first| -> 1", "input||second| -> 1"}));
}

// ---------------------------------------------------------------- placeholders

TEST_F(ScriptTest, OtherNamesBecomePlaceholders) {
  EXPECT_EQ(Run(R"([{"myMacro": {"a": "x", "b": "y"}}, {"myMacro": "z"}, {"myMacro": []},
                   {"m": {}}, {"m": ""}, {"m": {"n": 3.50, "b": false, "e": "", "s": "a,b"}},
                   {"straße": "q"}, {"Alerts": "x"}])"),
            "<%MYMACRO(x,y)%><%MYMACRO(z)%><%MYMACRO()%><%M()%><%M()%><%M(3.5,false,,a,b)%>"
            "<%STRASSE(q)%><%ALERTS(x)%>");
}

TEST_F(ScriptTest, PlaceholderArgumentsAreLiteralAndTheirOwn) {
  EXPECT_EQ(ErrorOf(R"([{"m": {"a": {"get": {"name": "x"}}}}])"), kTypeMismatch);
  EXPECT_EQ(ErrorOf(R"([{"m": {"a": ["x"]}}])"), kTypeMismatch);
  EXPECT_EQ(ErrorOf(R"([{"m": {"a": "x", "b": null}}])"), kTypeMismatch);
  EXPECT_EQ(Run(R"([{"m": [{"alert": {"message": "no"}}]}])"), "<%M()%>");
  EXPECT_EQ(Run(R"([{"m": {"a": "x"}, "n": "z"}])"), "<%M(x)%><%N(z)%>");
  EXPECT_EQ(ErrorOf(R"([{"alert": {"message": "first"}, "ALERT": "second"}])"), kObjectRequired);
  EXPECT_EQ(dialogs.shown, Shown({"info||first"})) << "an array argument is not run";
}

// ---------------------------------------------------------------- failures

TEST_F(ScriptTest, CommandValuesMustBeContainersOrTexts) {
  for (const char* name : {"alert", "input", "switch", "set", "get", "if", "return", "other"}) {
    for (const char* value : {"1", "true", "false", "null", "-2.5"}) {
      SCOPED_TRACE(std::string(name) + ": " + value);
      EXPECT_EQ(ErrorOf(std::string(R"([{")") + name + R"(": )" + value + "}]"), kObjectRequired);
    }
  }
  for (const char16_t* name : {u"alert", u"return", u"other"}) {
    auto command = MakeRef<Dictionary>();
    command->Add(name, JsonValue());
    EXPECT_EQ(ErrorOfValue(JsonValue(command)), kObjectRequired);
  }
}

TEST_F(ScriptTest, BuiltInCommandsNeedAParameterObject) {
  for (const char* name : {"alert", "input", "switch", "set", "get", "if", "If"}) {
    for (const char* value : {R"("text")", "[]", R"([{"message": "m"}])"}) {
      SCOPED_TRACE(std::string(name) + ": " + value);
      EXPECT_EQ(ErrorOf(std::string(R"([{")") + name + R"(": )" + value + "}]"), kObjectRequired);
    }
  }
  EXPECT_EQ(ErrorOf(R"([{"return": {"a": "b"}}])"), kTypeMismatch);
  EXPECT_EQ(ErrorOf(R"([{"return": ["a"]}])"), kTypeMismatch);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ScriptTest, AFailureKeepsShownBoxesAndSetVariables) {
  EXPECT_EQ(ErrorOf(R"([{"set": {"name": "v", "value": "before"}}, {"alert": {"message": "m"}},
                        ["x", {"return": 5}]])"),
            kObjectRequired);
  EXPECT_EQ(dialogs.shown, Shown({"info||m"}));
  EXPECT_EQ(Run(R"([{"get": {"name": "v"}}])"), "before");
}

// ---------------------------------------------------------------- nesting

// `depth` arrays nested in one another, each level k as ["(", level k+1, ")"],
// the innermost holding `core`.
std::string NestedArrays(int depth, const std::string& core) {
  std::string script = core;
  for (int level = depth; level >= 1; --level) {
    script = (level == depth ? "[" + script + "]" : "[\"(\"," + script + ",\")\"]");
  }
  return script;
}

std::string Parens(int pairs, const std::string& core) {
  return std::string(pairs, '(') + core + std::string(pairs, ')');
}

TEST_F(ScriptTest, FortyOneNestedEvaluationsCompleteAndTheFortySecondIsRefused) {
  // 40 arrays and the text inside them are 41 evaluations.
  EXPECT_EQ(Utf16ToUtf8(engine.ExecCommand(ReadJson(Utf8ToUtf16(NestedArrays(40, "\"x\""))))),
            Parens(39, "x"));
  EXPECT_EQ(Utf16ToUtf8(engine.ExecCommand(ReadJson(Utf8ToUtf16(NestedArrays(41, "\"x\""))))),
            Parens(40, "ERROR: Nesting level exceeded."));
  // Eval hands the top-level item over as the first evaluation.
  EXPECT_EQ(Run("[" + NestedArrays(40, "\"x\"") + "]"), Parens(39, "x"));
  EXPECT_EQ(Run("[" + NestedArrays(41, "\"x\"") + ", \"after\"]"),
            Parens(40, "ERROR: Nesting level exceeded.") + "after");
  EXPECT_EQ(engine.NestingLevel(), 0);
}

TEST_F(ScriptTest, NestingCountsParametersAndStoredTexts) {
  // A command object at depth 41 still runs, but its evaluated parameters
  // and the read of a variable are evaluations at depth 42.
  Run(R"([{"set": {"name": "v", "value": "val"}}])");
  EXPECT_EQ(Run("[" + NestedArrays(40, R"({"return": "r", "m": "a", "get": {"name": "v"}})") + "]"),
            Parens(39, "r<%M(a)%>ERROR: Nesting level exceeded."));
  Run("[" + NestedArrays(40, R"({"alert": {"message": "deep"}})") + "]");
  EXPECT_EQ(dialogs.shown,
            Shown({"info|ERROR: Nesting level exceeded.|ERROR: Nesting level exceeded."}));
}

TEST_F(ScriptTest, FailuresDoNotLeaveTheNestingLevelRaised) {
  const std::string failing = "[" + NestedArrays(30, R"({"alert": "no parameters"})") + "]";
  for (int i = 0; i < 100; ++i) ASSERT_EQ(ErrorOf(failing), kObjectRequired);
  EXPECT_EQ(engine.NestingLevel(), 0);
  EXPECT_EQ(Run("[" + NestedArrays(40, "\"x\"") + "]"), Parens(39, "x"));
}

// ---------------------------------------------------------------- limits

TEST_F(ScriptTest, OutputBeyondTheLimitIsAnOverflowNotAnExhaustion) {
  engine.SetOutputLimit(1000);
  std::string doubling = R"([{"set": {"name": "a", "value": "0123456789"}})";
  for (int i = 0; i < 8; ++i) {
    doubling +=
        R"(, {"set": {"name": "a", "value": [{"get": {"name": "a"}}, {"get": {"name": "a"}}]}})";
  }
  EXPECT_EQ(ErrorOf(doubling + "]"), kOverflow);
  EXPECT_EQ(Run(R"([{"get": {"name": "a"}}])").size(), 640u) << "the last value that fitted";
  EXPECT_EQ(Run("[\"" + std::string(1000, 'z') + "\"]").size(), 1000u);
  EXPECT_EQ(ErrorOf("[\"" + std::string(1000, 'z') + "\", \"!\"]"), kOverflow);
  EXPECT_EQ(ErrorOf(R"([{"return": ")" + std::string(1001, 'z') + "\"}]"), kOverflow);
  EXPECT_EQ(engine.NestingLevel(), 0);
  EXPECT_THROW(engine.SetOutputLimit(-1), RunError);
  EXPECT_EQ(engine.OutputLimit(), 1000);
}

// A script that makes "a" a text of 10 * 2^doublings characters.
std::string Doubled(int doublings) {
  std::string script = R"([{"set": {"name": "a", "value": "0123456789"}})";
  for (int i = 0; i < doublings; ++i) {
    script +=
        R"(, {"set": {"name": "a", "value": [{"get": {"name": "a"}}, {"get": {"name": "a"}}]}})";
  }
  return script + "]";
}

// Each text stays within the output limit, but together they would grow
// without bound: the budget counts them all.
TEST_F(ScriptTest, ManyLargeVariablesMeetTheMemoryBudget) {
  EXPECT_EQ(engine.MemoryBudget(), int64_t{256} * 1024 * 1024);
  constexpr int64_t kBudget = 1 << 20;
  engine.SetMemoryBudget(kBudget);
  ASSERT_EQ(Run(Doubled(14)), "");  // "a" holds 163840 characters, 320 KiB
  const int64_t a_bytes = (1 + 163840) * kBytesPerChar;
  EXPECT_EQ(engine.HeldBytes(), a_bytes);
  std::string copies = "[";
  for (int i = 0; i < 10; ++i) {
    copies += std::string(i ? ", " : "") + R"({"set": {"name": "b)" + std::to_string(i) +
              R"(", "value": {"get": {"name": "a"}}}})";
  }
  EXPECT_EQ(ErrorOf(copies + "]"), kOutOfMemory);
  // Making a copy holds the text read and the copy being written: b0 fitted
  // beside a, b1 did not, and nothing of b1 stays counted.
  const int64_t b_bytes = (2 + 163840) * kBytesPerChar;
  EXPECT_EQ(engine.HeldBytes(), a_bytes + b_bytes);
  EXPECT_EQ(Run(R"([{"get": {"name": "b1", "default": "none"}}])"), "none");
  engine.SetMemoryBudget(2 * kBudget);  // room to read b0 out
  EXPECT_EQ(Run(R"([{"get": {"name": "b0"}}])").size(), 163840u);
  EXPECT_EQ(engine.NestingLevel(), 0);
}

TEST_F(ScriptTest, OutputAndTextsInPassingCountAgainstTheBudget) {
  constexpr int kChars = 1000;
  engine.SetMemoryBudget(kChars * kBytesPerChar);
  const std::string fits(kChars, 'x');
  EXPECT_EQ(Run("[\"" + fits + "\"]"), fits);
  EXPECT_EQ(ErrorOf("[\"" + fits + "\", \"!\"]"), kOutOfMemory);
  // Two parameters of 600 characters cannot be held at once, though the
  // output would be empty.
  const std::string half(600, 'y');
  EXPECT_EQ(ErrorOf(R"([{"if": {"value1": [")" + half + R"("], "value2": [")" + half +
                    R"("], "type": "eq"}}])"),
            kOutOfMemory);
  EXPECT_EQ(Run(R"([{"if": {"value1": [")" + half + R"("], "value2": "b", "type": "eq",
                             "false": "no"}}])"),
            "no");
  EXPECT_EQ(engine.HeldBytes(), 0);
}

// Whatever ends an evaluation, what it held is given back: only the
// variables stay counted.
TEST_F(ScriptTest, HeldTextsAreGivenBackAfterEveryEvaluation) {
  const std::string scripts[] = {
      R"(["a", {"set": {"name": "v", "value": "12345"}}, {"get": {"name": "v"}}])",
      R"([{"switch": {"default": "dd", "case": "K", "items": [{"case": "k", "return": "r"}]}}])",
      R"([{"input": {"prompt": "p", "title": "t", "default": "d"}}, {"alert": {"message": "m"}}])",
      R"([{"set": {"name": "v", "value": "123"}}, {"m": {"a": 1, "b": "x"}}])",
      R"([{"set": {"name": "w", "value": ["ab", {"get": {"name": "v"}}]}}, 5])",
      R"([{"if": {"value1": "a", "value2": "b", "type": "lt", "true": {"alert": "x"}}}])",
      "[" + NestedArrays(45, R"({"return": "deep"})") + "]",
  };
  for (const std::string& script : scripts) {
    SCOPED_TRACE(script);
    try {
      engine.Eval(Utf8ToUtf16(script));
    } catch (const RunError&) {
      // Failures give back what they held as well.
    }
  }
  // v = "123", w = "ab123".
  EXPECT_EQ(engine.HeldBytes(), (1 + 3 + 1 + 5) * kBytesPerChar);
  EXPECT_THROW(engine.SetMemoryBudget(-1), RunError);
}

}  // namespace
}  // namespace skyvane
