// Script evaluation at growing sizes: scripts of 10,000 to 1,000,000 items
// mixing plain texts, "set", "get", "if", "switch" and placeholders, and
// chains of arrays nested 40 deep. Evaluation alone (ExecCommand on a parsed
// script), parse plus evaluation (Eval) and the parse alone are measured
// apart. The counter
// per_10k_items is the time per 10,000 items; it stays flat when the time
// grows linearly with the size of the script.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "json/json_reader.h"
#include "script/dialogs.h"
#include "script/json_script.h"
#include "text/utf.h"

namespace {

constexpr int64_t kItemsPerReport = 10000;
// Distinct variable names the scripts cycle through.
constexpr int64_t kVariableNames = 1000;
// Depth of the nested chains: the deepest that still evaluates its core.
constexpr int kChainDepth = 40;

class SilentDialogs : public skyvane::ScriptDialogs {
 public:
  void MessageBox(std::u16string_view, std::u16string_view, skyvane::MessageIcon) override {}
  std::optional<std::u16string> InputBox(std::u16string_view, std::u16string_view,
                                         std::u16string_view default_text) override {
    return std::u16string(default_text);
  }
};

// Item `i` of a mixed script.
std::string MixedItem(int64_t i) {
  const std::string n = std::to_string(i % kVariableNames);
  const std::string m = std::to_string((i * 7) % kVariableNames);
  switch (i % 6) {
    case 0:
      return "\"plain text " + std::to_string(i) + "\"";
    case 1:
      return R"({"set": {"name": "v)" + n + R"(", "value": ["val", )" + std::to_string(i) + "]}}";
    case 2:
      return R"({"get": {"name": "v)" + m + R"(", "default": "none"}})";
    case 3:
      return R"({"if": {"value1": {"get": {"name": "v)" + m +
             R"("}}, "value2": "val5", "type": "gt", "true": "T", "false": ["F", {"return": "!"}]}})";
    case 4:
      return R"({"switch": {"default": "d", "case": "B", "items": [{"case": "a", "return": "1"},)"
             R"( {"case": "b", "return": {"return": "2"}}, {"case": "c", "return": "3"}]}})";
    default:
      return R"({"myMacro": {"a": "x", "b": 3.5, "c": true}, "return": ";"})";
  }
}

// A chain of kChainDepth arrays, each level adding a text around the next.
std::string Chain() {
  std::string chain = R"(["core"])";
  for (int level = 1; level < kChainDepth; ++level) chain = R"(["<", )" + chain + R"(, ">"])";
  return chain;
}

const std::u16string& MixedScript(int64_t items) {
  static std::map<int64_t, std::u16string> scripts;
  std::u16string& script = scripts[items];
  if (script.empty()) {
    std::string text = "[";
    for (int64_t i = 0; i < items; ++i) {
      if (i > 0) text += ",\n";
      text += MixedItem(i);
    }
    text += "]";
    script = skyvane::Utf8ToUtf16(text);
  }
  return script;
}

const std::u16string& ChainScript(int64_t chains) {
  static std::map<int64_t, std::u16string> scripts;
  std::u16string& script = scripts[chains];
  if (script.empty()) {
    const std::string chain = Chain();
    std::string text = "[";
    for (int64_t i = 0; i < chains; ++i) text += (i > 0 ? "," : "") + chain;
    text += "]";
    script = skyvane::Utf8ToUtf16(text);
  }
  return script;
}

void Report(benchmark::State& state, int64_t items) {
  state.SetItemsProcessed(state.iterations() * items);
  state.counters["per_10k_items"] = benchmark::Counter(
      static_cast<double>(items) / kItemsPerReport,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Evaluation of an already parsed script.
void BM_ExecMixed(benchmark::State& state) {
  const int64_t items = state.range(0);
  const skyvane::JsonValue root = skyvane::ReadJson(MixedScript(items));
  SilentDialogs dialogs;
  for (auto _ : state) {
    skyvane::cJSONScript script(dialogs);
    benchmark::DoNotOptimize(script.ExecCommand(root));
  }
  Report(state, items);
}

// Parse and evaluation together, as a caller of Eval sees them.
void BM_EvalMixed(benchmark::State& state) {
  const int64_t items = state.range(0);
  const std::u16string& text = MixedScript(items);
  SilentDialogs dialogs;
  for (auto _ : state) {
    skyvane::cJSONScript script(dialogs);
    benchmark::DoNotOptimize(script.Eval(text));
  }
  Report(state, items);
}

// Parsing alone, to tell the reader's share of Eval from the evaluator's.
void BM_ReadMixed(benchmark::State& state) {
  const int64_t items = state.range(0);
  const std::u16string& text = MixedScript(items);
  for (auto _ : state) benchmark::DoNotOptimize(skyvane::ReadJson(text));
  Report(state, items);
}

// Chains nested kChainDepth deep; one item is one whole chain.
void BM_ExecChains(benchmark::State& state) {
  const int64_t chains = state.range(0);
  const skyvane::JsonValue root = skyvane::ReadJson(ChainScript(chains));
  SilentDialogs dialogs;
  skyvane::cJSONScript script(dialogs);
  for (auto _ : state) benchmark::DoNotOptimize(script.ExecCommand(root));
  Report(state, chains);
}

BENCHMARK(BM_ExecMixed)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EvalMixed)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadMixed)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExecChains)->Arg(1)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
