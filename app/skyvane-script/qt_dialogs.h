// QtDialogs: the script boxes as Qt dialogs on the desktop.
//
// MessageBox shows a QMessageBox with the warning or information icon, the
// title, the message as plain text (never interpreted as markup) and a
// single OK button. InputBox shows a QInputDialog with the prompt, the
// title, the default text in its entry field and the buttons OK and Cancel.
// Both are modal and need a QApplication to exist.
#ifndef SKYVANE_APP_SKYVANE_SCRIPT_QT_DIALOGS_H_
#define SKYVANE_APP_SKYVANE_SCRIPT_QT_DIALOGS_H_

#include <optional>
#include <string>
#include <string_view>

#include "script/dialogs.h"

namespace skyvane {

class QtDialogs : public ScriptDialogs {
 public:
  void MessageBox(std::u16string_view message, std::u16string_view title,
                  MessageIcon icon) override;
  std::optional<std::u16string> InputBox(std::u16string_view prompt, std::u16string_view title,
                                         std::u16string_view default_text) override;
};

}  // namespace skyvane

#endif  // SKYVANE_APP_SKYVANE_SCRIPT_QT_DIALOGS_H_
