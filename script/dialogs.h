// ScriptDialogs: the modal boxes through which a running script talks to its
// user.
//
// The evaluator never draws anything itself: its caller supplies an object of
// this interface (a desktop one, a terminal one, a recording one in tests) and
// keeps it alive as long as the evaluator that uses it. Both calls are modal:
// they return only once the user has answered, and the evaluation waits for
// them. Texts are UTF-16 and may hold any code unit, NUL included.
#ifndef SKYVANE_SCRIPT_DIALOGS_H_
#define SKYVANE_SCRIPT_DIALOGS_H_

#include <optional>
#include <string>
#include <string_view>

namespace skyvane {

// The icon of a message box. The evaluator uses kWarning only for the box
// that reports a script it could not parse, and kInformation for "alert".
enum class MessageIcon {
  kInformation,
  kWarning,
};

class ScriptDialogs {
 public:
  virtual ~ScriptDialogs() = default;

  // Shows `message` under `title` with `icon` and a single OK button and
  // returns once the user has closed it. May throw; the evaluator passes any
  // exception on to its own caller.
  virtual void MessageBox(std::u16string_view message, std::u16string_view title,
                          MessageIcon icon) = 0;

  // Asks for one line of text: shows `prompt` under `title`, with
  // `default_text` already in the entry field, and the buttons OK and Cancel.
  // Returns the field's text when the user chose OK and std::nullopt when the
  // user cancelled (or no answer can be had any more, e.g. end of input).
  virtual std::optional<std::u16string> InputBox(std::u16string_view prompt,
                                                 std::u16string_view title,
                                                 std::u16string_view default_text) = 0;
};

}  // namespace skyvane

#endif  // SKYVANE_SCRIPT_DIALOGS_H_
