// skyvane-script [--console] [FILE]: evaluates a UTF-8 command script (from
// FILE, or standard input when FILE is absent or "-") and writes its output
// text to standard output as UTF-8, adding nothing.
//
// The boxes are Qt dialogs, or with --console lines on standard error
// answered from standard input. Exit status: 0 success; 1 the script could
// not be parsed (its "Parser Error" box was shown); 2 a bad command line, no
// display for the dialogs (none is set, or it cannot be opened), or a file
// that cannot be read (missing, larger than kMaxInputBytes, 1 GiB, or too
// large for memory) or written; 3 an error ended the evaluation, reported
// as "skyvane-script: error N: DESCRIPTION" on standard error.
#include <QApplication>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/common/display_check.h"
#include "app/common/read_all.h"
#include "app/skyvane-script/console_dialogs.h"
#include "app/skyvane-script/qt_dialogs.h"
#include "script/json_script.h"
#include "text/run_error.h"
#include "text/utf.h"

namespace skyvane {
namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitParserError = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRunError = 3;

constexpr char kUsage[] =
    "usage: skyvane-script [--console] [FILE]\n"
    "Evaluates the JSON command script in FILE (standard input when FILE is\n"
    "absent or \"-\") and writes its output to standard output.\n"
    "  --console  show alerts and ask for input on the terminal instead of in\n"
    "             dialog boxes\n";

// Forwards every box and notes whether the parser's warning box was shown.
class WatchingDialogs : public ScriptDialogs {
 public:
  explicit WatchingDialogs(ScriptDialogs& inner) : inner_(inner) {}

  bool ParserErrorShown() const { return parser_error_shown_; }

  void MessageBox(std::u16string_view message, std::u16string_view title,
                  MessageIcon icon) override {
    if (icon == MessageIcon::kWarning) parser_error_shown_ = true;
    inner_.MessageBox(message, title, icon);
  }
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text) override {
    return inner_.InputBox(prompt, title, default_text);
  }

 private:
  ScriptDialogs& inner_;
  bool parser_error_shown_ = false;
};

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "skyvane-script: %s\n", message.c_str());
  return status;
}

int FailRun(const RunError& error) {
  return Fail(kExitRunError, "error " + std::to_string(error.Code()) + ": " + error.Description());
}

int Run(int argc, char** argv) {
  bool console = false;
  std::optional<std::string> path;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--console") {
      console = true;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return kExitSuccess;
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "skyvane-script: unknown option %s\n%s", argv[i], kUsage);
      return kExitUsage;
    } else if (path) {
      std::fprintf(stderr, "skyvane-script: only one FILE may be given\n%s", kUsage);
      return kExitUsage;
    } else {
      path = std::string(arg);
    }
  }

  // The Qt dialogs need a display that can be opened: otherwise Qt aborts
  // the program, so this is checked before anything is read.
  if (!console) {
    const DisplayCheck display = CheckDisplay(argc, argv);
    if (display.result == DisplayCheck::Result::kNone) {
      return Fail(kExitUsage,
                  "no display for the dialog boxes (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                  "use --console to answer on the terminal");
    }
    if (display.result == DisplayCheck::Result::kUnreachable) {
      return Fail(kExitUsage, "cannot open the display \"" + display.display +
                                  "\" for the dialog boxes; use --console to answer on the "
                                  "terminal");
    }
  }

  const std::string name = path.value_or("-");
  std::u16string script_text;
  {
    std::string bytes;
    const std::string problem = ReadInput(name, bytes);
    if (!problem.empty()) return Fail(kExitUsage, problem);
    try {
      script_text = Utf8ToUtf16(StripByteOrderMark(bytes));
    } catch (const std::exception&) {
      // Only memory can fail here (std::bad_alloc, std::length_error).
      return Fail(kExitUsage, NotEnoughMemory(name));
    }
  }

  // The desktop boxes need an application object; the console ones must work
  // without a display, so none is created for them.
  std::unique_ptr<QApplication> app;
  std::unique_ptr<ScriptDialogs> boxes;
  if (console) {
    boxes = std::make_unique<ConsoleDialogs>(stdin, stderr);
  } else {
    app = std::make_unique<QApplication>(argc, argv);
    boxes = std::make_unique<QtDialogs>();
  }
  WatchingDialogs dialogs(*boxes);

  std::string output;
  try {
    cJSONScript script(dialogs);
    output = Utf16ToUtf8(script.Eval(script_text));
  } catch (const RunError& e) {
    return FailRun(e);
  } catch (const std::bad_alloc&) {
    return FailRun(RunError(ErrorNumber::kOutOfMemory));
  } catch (const std::length_error&) {
    return FailRun(RunError(ErrorNumber::kOutOfMemory));
  }

  if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() ||
      std::fflush(stdout) != 0) {
    return Fail(kExitUsage, "cannot write the output");
  }
  return dialogs.ParserErrorShown() ? kExitParserError : kExitSuccess;
}

}  // namespace
}  // namespace skyvane

int main(int argc, char** argv) {
  return skyvane::Run(argc, argv);
}
