// Fuzzes script evaluation end to end: parse, evaluate, boxes.
//
// Input layout: the script as UTF-8 up to the first NUL byte; after it, the
// answers to the script's input boxes, one per line. Once the answers run
// out every input box is cancelled, so no input can make a run wait or loop.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "script/dialogs.h"
#include "script/json_script.h"
#include "text/run_error.h"
#include "text/utf.h"

namespace {

// Small enough that a script doubling a variable stops long before memory
// or time run out, large enough to let every command work on real texts.
constexpr int32_t kFuzzOutputLimit = 1 << 16;
// All texts a run holds at once, variables included.
constexpr int64_t kFuzzMemoryBudget = int64_t{1} << 22;

class FuzzDialogs : public skyvane::ScriptDialogs {
 public:
  explicit FuzzDialogs(std::string_view answers) : answers_(answers) {}

  void MessageBox(std::u16string_view, std::u16string_view, skyvane::MessageIcon) override {}

  std::optional<std::u16string> InputBox(std::u16string_view, std::u16string_view,
                                         std::u16string_view) override {
    if (exhausted_) return std::nullopt;
    const size_t end = answers_.find('\n');
    const std::string_view line = answers_.substr(0, end);
    if (end == std::string_view::npos) {
      exhausted_ = true;
    } else {
      answers_.remove_prefix(end + 1);
    }
    return skyvane::Utf8ToUtf16(line);
  }

 private:
  std::string_view answers_;
  bool exhausted_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t split = bytes.find('\0');
  const std::string_view script = bytes.substr(0, split);
  const std::string_view answers =
      split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1);

  FuzzDialogs dialogs(answers);
  skyvane::cJSONScript engine(dialogs);
  engine.SetOutputLimit(kFuzzOutputLimit);
  engine.SetMemoryBudget(kFuzzMemoryBudget);
  const std::u16string text = skyvane::Utf8ToUtf16(script);
  // Twice on one instance, so that the second run meets the variables of the
  // first and any nesting left behind by a failure.
  for (int run = 0; run < 2; ++run) {
    try {
      const std::u16string output = engine.Eval(text);
      if (output.size() > static_cast<size_t>(kFuzzOutputLimit)) std::abort();
    } catch (const skyvane::RunError&) {
      // Script errors are expected results here.
    }
    if (engine.NestingLevel() != 0) std::abort();
    // Between runs only the variables are held, within the budget.
    if (engine.HeldBytes() < 0 || engine.HeldBytes() > kFuzzMemoryBudget) std::abort();
  }
  return 0;
}
