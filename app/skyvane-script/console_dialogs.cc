#include "app/skyvane-script/console_dialogs.h"

#include "text/utf.h"

namespace skyvane {

void ConsoleDialogs::Write(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), err_);
}

void ConsoleDialogs::WriteTitled(std::u16string_view title, std::u16string_view text) {
  Write("[");
  Write(Utf16ToUtf8(title));
  Write("] ");
  Write(Utf16ToUtf8(text));
}

void ConsoleDialogs::MessageBox(std::u16string_view message, std::u16string_view title,
                                MessageIcon icon) {
  WriteTitled(title, message);
  if (icon == MessageIcon::kInformation) Write("\n");
  std::fflush(err_);
}

std::optional<std::u16string> ConsoleDialogs::InputBox(std::u16string_view prompt,
                                                       std::u16string_view title,
                                                       std::u16string_view default_text) {
  WriteTitled(title, prompt);
  Write(" (");
  Write(Utf16ToUtf8(default_text));
  Write("): ");
  std::fflush(err_);

  std::string line;
  int c = 0;
  bool read_any = false;
  bool ended = false;
  while ((c = std::fgetc(in_)) != EOF) {
    read_any = true;
    if (c == '\n') {
      ended = true;
      break;
    }
    line.push_back(static_cast<char>(c));
  }
  if (!read_any) return std::nullopt;
  // Only "\r\n" and "\n" end a line; a CR at the very end of the input
  // belongs to the answer.
  if (ended && !line.empty() && line.back() == '\r') line.pop_back();
  return Utf8ToUtf16(line);
}

}  // namespace skyvane
