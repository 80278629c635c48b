// A ScriptDialogs for tests: records every box it is asked to show, in
// order, and answers input boxes from a queue of scripted answers.
#ifndef SKYVANE_TESTS_SCRIPT_RECORDING_DIALOGS_H_
#define SKYVANE_TESTS_SCRIPT_RECORDING_DIALOGS_H_

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/dialogs.h"
#include "text/utf.h"

namespace skyvane {

class RecordingDialogs : public ScriptDialogs {
 public:
  // Each box as one line of UTF-8:
  //   "info|TITLE|MESSAGE", "warning|TITLE|MESSAGE",
  //   "input|TITLE|PROMPT|DEFAULT -> ANSWER" (ANSWER is "<cancel>" on Cancel).
  std::vector<std::string> shown;
  // Answers for the input boxes, first one first; once empty, every input box
  // is cancelled.
  std::deque<std::optional<std::u16string>> answers;

  void Answer(std::string_view utf8) { answers.push_back(Utf8ToUtf16(utf8)); }
  void Cancel() { answers.push_back(std::nullopt); }

  void MessageBox(std::u16string_view message, std::u16string_view title,
                  MessageIcon icon) override {
    shown.push_back(std::string(icon == MessageIcon::kWarning ? "warning|" : "info|") +
                    Utf16ToUtf8(title) + "|" + Utf16ToUtf8(message));
  }

  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text) override {
    std::optional<std::u16string> answer;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    shown.push_back("input|" + Utf16ToUtf8(title) + "|" + Utf16ToUtf8(prompt) + "|" +
                    Utf16ToUtf8(default_text) + " -> " +
                    (answer ? Utf16ToUtf8(*answer) : std::string("<cancel>")));
    return answer;
  }
};

}  // namespace skyvane

#endif  // SKYVANE_TESTS_SCRIPT_RECORDING_DIALOGS_H_
