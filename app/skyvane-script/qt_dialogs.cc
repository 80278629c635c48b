#include "app/skyvane-script/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QString>

namespace skyvane {

namespace {

QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void QtDialogs::MessageBox(std::u16string_view message, std::u16string_view title,
                           MessageIcon icon) {
  QMessageBox box(icon == MessageIcon::kWarning ? QMessageBox::Warning : QMessageBox::Information,
                  ToQString(title), ToQString(message), QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

std::optional<std::u16string> QtDialogs::InputBox(std::u16string_view prompt,
                                                  std::u16string_view title,
                                                  std::u16string_view default_text) {
  QInputDialog dialog;
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(ToQString(title));
  dialog.setLabelText(ToQString(prompt));
  dialog.setTextValue(ToQString(default_text));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdU16String();
}

}  // namespace skyvane
