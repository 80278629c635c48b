// The tray icon's menu and what it shows, on the offscreen platform (which
// offers no tray): each item reports through its signal, and the check item
// follows the owner.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QPixmap>
#include <vector>

#include "panel/desktop/panel_tray.h"

namespace skyvane {
namespace {

QIcon Filled(Qt::GlobalColor colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(colour);
  return QIcon(pixmap);
}

TEST(PanelTray, EachMenuItemReportsThroughItsSignal) {
  PanelTray tray(Filled(Qt::blue));
  std::vector<QString> heard;
  QObject::connect(&tray, &PanelTray::refreshRequested, [&] { heard.push_back("refresh"); });
  QObject::connect(&tray, &PanelTray::resetPositionRequested, [&] { heard.push_back("reset"); });
  QObject::connect(&tray, &PanelTray::startAtLoginToggled,
                   [&](bool on) { heard.push_back(on ? "login on" : "login off"); });
  QObject::connect(&tray, &PanelTray::quitRequested, [&] { heard.push_back("quit"); });

  EXPECT_EQ(tray.RefreshAction()->text(), "Refresh now");
  EXPECT_EQ(tray.ResetPositionAction()->text(), "Reset position");
  EXPECT_EQ(tray.StartAtLoginAction()->text(), "Start at login");
  EXPECT_EQ(tray.QuitAction()->text(), "Quit");
  EXPECT_TRUE(tray.StartAtLoginAction()->isCheckable());
  ASSERT_NE(tray.TrayIcon().contextMenu(), nullptr);
  EXPECT_EQ(tray.TrayIcon().contextMenu()->actions().last(), tray.QuitAction());

  tray.RefreshAction()->trigger();
  tray.ResetPositionAction()->trigger();
  tray.StartAtLoginAction()->trigger();
  tray.StartAtLoginAction()->trigger();
  tray.QuitAction()->trigger();
  EXPECT_EQ(heard, (std::vector<QString>{"refresh", "reset", "login on", "login off", "quit"}));
}

TEST(PanelTray, TheOwnerSetsStartAtLoginWithoutBeingToldBack) {
  PanelTray tray(Filled(Qt::blue));
  int toggled = 0;
  QObject::connect(&tray, &PanelTray::startAtLoginToggled, [&] { ++toggled; });
  tray.SetStartAtLogin(true);
  EXPECT_TRUE(tray.StartAtLoginAction()->isChecked());
  tray.SetStartAtLogin(false);
  EXPECT_FALSE(tray.StartAtLoginAction()->isChecked());
  EXPECT_EQ(toggled, 0);
}

TEST(PanelTray, ShowsTheStatusAsPlainText) {
  PanelTray tray(Filled(Qt::blue));
  PanelStatus status;
  status.source = QStringLiteral("<b>Berlin</b>");
  status.problem = QStringLiteral("no answer");
  tray.SetStatus(status);
  const QString tip = tray.TrayIcon().toolTip();
  EXPECT_TRUE(tip.contains("&lt;b&gt;Berlin&lt;/b&gt;")) << tip.toStdString();
  EXPECT_TRUE(tip.contains("Problem: no answer")) << tip.toStdString();
}

TEST(PanelTray, ShowsTodaysIconAndTheApplicationIconWithoutOne) {
  const QIcon application = Filled(Qt::blue);
  PanelTray tray(application);
  const auto shown = [&tray] {
    return tray.TrayIcon().icon().pixmap(16, 16).toImage().pixel(8, 8);
  };
  EXPECT_EQ(shown(), QColor(Qt::blue).rgb());
  tray.SetTodayIcon(Filled(Qt::red));
  EXPECT_EQ(shown(), QColor(Qt::red).rgb());
  tray.SetTodayIcon(QIcon());
  EXPECT_EQ(shown(), QColor(Qt::blue).rgb());
}

}  // namespace
}  // namespace skyvane
