// The program's Chinese translation, installed for the life of a test's
// object, as the panel installs it for a Chinese user.
#ifndef SKYVANE_TESTS_PANEL_CHINESE_TEXTS_H_
#define SKYVANE_TESTS_PANEL_CHINESE_TEXTS_H_

#include <gtest/gtest.h>

#include <QLocale>
#include <QObject>

#include "panel/running/ui_translation.h"

namespace skyvane {

class ChineseTexts {
 public:
  ChineseTexts() {
    EXPECT_FALSE(InstallUiTranslation(QLocale(QLocale::Chinese, QLocale::China),
                                      QStringLiteral(SKYVANE_PROGRAM_DIR), &owner_)
                     .isEmpty())
        << "the Chinese translation is not built beside the program";
  }

 private:
  QObject owner_;  // takes the translators out again
};

}  // namespace skyvane

#endif  // SKYVANE_TESTS_PANEL_CHINESE_TEXTS_H_
