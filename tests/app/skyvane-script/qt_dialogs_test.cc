#include "app/skyvane-script/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <functional>

namespace skyvane {
namespace {

// How often and how long to look for the modal dialog that a call opens.
constexpr int kPollMilliseconds = 10;
constexpr int kMaxPolls = 500;

// Runs `act` on the first modal dialog of type T that appears while `open`
// runs (`open` blocks until that dialog is closed). Fails the test, and
// closes whatever is open, when none appears in time.
template <typename T>
void WithModal(const std::function<void()>& open, const std::function<void(T&)>& act) {
  int polls = 0;
  bool acted = false;
  QTimer timer;
  timer.setInterval(kPollMilliseconds);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer.stop();
      acted = true;
      act(*dialog);
    } else if (++polls > kMaxPolls) {
      timer.stop();
      if (QWidget* other = QApplication::activeModalWidget()) other->close();
    }
  });
  timer.start();
  open();
  EXPECT_TRUE(acted) << "no dialog of the expected kind was shown";
}

TEST(QtDialogsTest, MessageBoxesShowPlainTextWithTheirIconAndOneOkButton) {
  QtDialogs dialogs;
  struct Case {
    MessageIcon icon;
    QMessageBox::Icon expected;
  };
  for (const Case& c : {Case{MessageIcon::kWarning, QMessageBox::Warning},
                        Case{MessageIcon::kInformation, QMessageBox::Information}}) {
    WithModal<QMessageBox>(
        [&] { dialogs.MessageBox(u"<b>line</b>\nnext \u00e9", u"Parser Error", c.icon); },
        [&](QMessageBox& box) {
          EXPECT_EQ(box.icon(), c.expected);
          EXPECT_EQ(box.windowTitle(), QString("Parser Error"));
          EXPECT_EQ(box.text(), QString::fromUtf8("<b>line</b>\nnext \u00e9"));
          EXPECT_EQ(box.textFormat(), Qt::PlainText);
          EXPECT_EQ(box.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
          box.button(QMessageBox::Ok)->click();
        });
  }
}

TEST(QtDialogsTest, InputBoxFillsInTheDefaultAndReturnsTheConfirmedText) {
  QtDialogs dialogs;
  std::optional<std::u16string> answer;
  WithModal<QInputDialog>(
      [&] { answer = dialogs.InputBox(u"Your name?", u"Question", u"default \u00e9"); },
      [](QInputDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QString("Question"));
        EXPECT_EQ(dialog.labelText(), QString("Your name?"));
        EXPECT_EQ(dialog.textValue(), QString::fromUtf8("default \u00e9"));
        EXPECT_EQ(dialog.inputMode(), QInputDialog::TextInput);
        EXPECT_FALSE(dialog.testOption(QInputDialog::NoButtons));
        dialog.setTextValue("typed");
        dialog.accept();
      });
  EXPECT_EQ(answer, std::optional<std::u16string>(u"typed"));

  WithModal<QInputDialog>([&] { answer = dialogs.InputBox(u"p", u"t", u"kept"); },
                          [](QInputDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(answer, std::nullopt) << "Cancel must not return the default text";
}

}  // namespace
}  // namespace skyvane

int main(int argc, char** argv) {
  // The dialogs are driven from code; no screen is needed, not even to list
  // the tests.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
