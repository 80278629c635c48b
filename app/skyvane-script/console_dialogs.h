// ConsoleDialogs: the script boxes on a terminal.
//
// A message box writes "[TITLE] MESSAGE" to the error stream; an
// information box (an "alert") ends it with a line feed, while the warning
// box that reports an unparsable script writes the parser's log as it
// stands (its lines carry their own line ends). An input box writes
// "[TITLE] PROMPT (DEFAULT): " to the error stream and reads one line from
// the input stream; the line end ("\n" or "\r\n") is not part of the answer,
// a last line without one still is an answer (a CR at its end included: a
// bare CR ends no line), and the end of the input is Cancel. Texts are written and read as UTF-8.
// The streams are borrowed and must outlive this object.
#ifndef SKYVANE_APP_SKYVANE_SCRIPT_CONSOLE_DIALOGS_H_
#define SKYVANE_APP_SKYVANE_SCRIPT_CONSOLE_DIALOGS_H_

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "script/dialogs.h"

namespace skyvane {

class ConsoleDialogs : public ScriptDialogs {
 public:
  ConsoleDialogs(std::FILE* in, std::FILE* err) : in_(in), err_(err) {}

  void MessageBox(std::u16string_view message, std::u16string_view title,
                  MessageIcon icon) override;
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text) override;

 private:
  void Write(std::string_view utf8);
  // Writes "[TITLE] TEXT".
  void WriteTitled(std::u16string_view title, std::u16string_view text);

  std::FILE* in_;
  std::FILE* err_;
};

}  // namespace skyvane

#endif  // SKYVANE_APP_SKYVANE_SCRIPT_CONSOLE_DIALOGS_H_
