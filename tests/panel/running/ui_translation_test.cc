// The program's texts in Chinese from the translation built beside the
// program: the tray menu and the status lines; English needs none.
#include <gtest/gtest.h>

#include <QAction>
#include <QObject>

#include "panel/desktop/panel_tray.h"
#include "panel/instance/panel_status.h"
#include "panel/running/ui_translation.h"

namespace skyvane {
namespace {

struct Shown {
  QString loaded;
  QStringList menu;
  QString status;
};

Shown ShowUnder(const char* locale) {
  QObject owner;  // takes the translators out again at the end
  Shown shown;
  shown.loaded = InstallUiTranslation(QLocale(QString::fromLatin1(locale)),
                                      QStringLiteral(SKYVANE_PROGRAM_DIR), &owner);
  PanelTray tray{QIcon()};
  for (const QAction* action : {tray.RefreshAction(), tray.ResetPositionAction(),
                                tray.StartAtLoginAction(), tray.QuitAction()}) {
    shown.menu.append(action->text());
  }
  shown.status =
      StatusText(PanelStatus{QStringLiteral("Toronto"), {}, QStringLiteral("x"), {}, {}, false},
                 QLocale(QString::fromLatin1(locale)));
  return shown;
}

TEST(UiTranslationTest, ChineseShowsTheTrayMenuAndStatusInChinese) {
  const Shown chinese = ShowUnder("zh_CN");
  EXPECT_TRUE(chinese.loaded.endsWith(QStringLiteral("/translations/skyvane_zh_CN.qm")))
      << chinese.loaded.toStdString();
  EXPECT_EQ(chinese.menu, QStringList({QStringLiteral("立即刷新"), QStringLiteral("重置位置"),
                                       QStringLiteral("登录时启动"), QStringLiteral("退出")}));
  EXPECT_EQ(chinese.status, QStringLiteral("Toronto\n尚未更新\n问题：x"));

  const Shown english = ShowUnder("en_US");
  EXPECT_EQ(english.loaded, QString());
  EXPECT_EQ(english.menu,
            QStringList({QStringLiteral("Refresh now"), QStringLiteral("Reset position"),
                         QStringLiteral("Start at login"), QStringLiteral("Quit")}));
  EXPECT_EQ(english.status, QStringLiteral("Toronto\nNot updated yet\nProblem: x"));
}

}  // namespace
}  // namespace skyvane
