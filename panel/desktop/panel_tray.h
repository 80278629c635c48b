// The panel's icon in the desktop's tray: today's weather icon, the status
// as its tooltip, and a menu of what a later start can ask for as well:
// "Refresh now", "Reset position", "Start at login" (a check item) and
// "Quit". A left click opens the same menu.
//
// The tray only shows and reports: each menu item emits a signal, and the
// owner acts on it and tells the tray what to show. Make one only where
// QSystemTrayIcon::isSystemTrayAvailable(); without a tray the same
// commands come through the program's command line.
#ifndef SKYVANE_PANEL_DESKTOP_PANEL_TRAY_H_
#define SKYVANE_PANEL_DESKTOP_PANEL_TRAY_H_

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include "panel/instance/panel_status.h"

class QAction;

namespace skyvane {

class PanelTray : public QObject {
  Q_OBJECT

 public:
  // `application_icon` stands in while there is no weather icon.
  explicit PanelTray(const QIcon& application_icon, QObject* parent = nullptr);

  // Shows the icon in the tray.
  void Show();

  void SetStatus(const PanelStatus& status);
  // Today's weather icon; a null icon shows the application icon.
  void SetTodayIcon(const QIcon& icon);
  // Checks or clears "Start at login" without emitting startAtLoginToggled.
  void SetStartAtLogin(bool on);

  // What the tray shows, for tests.
  const QSystemTrayIcon& TrayIcon() const { return tray_; }
  QAction* RefreshAction() const { return refresh_; }
  QAction* ResetPositionAction() const { return reset_position_; }
  QAction* StartAtLoginAction() const { return start_at_login_; }
  QAction* QuitAction() const { return quit_; }

 signals:
  void refreshRequested();
  void resetPositionRequested();
  // The user checked (`on`) or cleared "Start at login".
  void startAtLoginToggled(bool on);
  void quitRequested();

 private:
  QIcon application_icon_;
  QMenu menu_;
  QSystemTrayIcon tray_;
  QAction* refresh_;
  QAction* reset_position_;
  QAction* start_at_login_;
  QAction* quit_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_DESKTOP_PANEL_TRAY_H_
