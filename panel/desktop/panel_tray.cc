#include "panel/desktop/panel_tray.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QSignalBlocker>

#include "panel/controls/panel_controls.h"

namespace skyvane {

PanelTray::PanelTray(const QIcon& application_icon, QObject* parent)
    : QObject(parent), application_icon_(application_icon) {
  refresh_ = menu_.addAction(QCoreApplication::translate("PanelTray", "Refresh now"));
  reset_position_ = menu_.addAction(QCoreApplication::translate("PanelTray", "Reset position"));
  start_at_login_ = menu_.addAction(QCoreApplication::translate("PanelTray", "Start at login"));
  start_at_login_->setCheckable(true);
  menu_.addSeparator();
  quit_ = menu_.addAction(QCoreApplication::translate("PanelTray", "Quit"));

  connect(refresh_, &QAction::triggered, this, &PanelTray::refreshRequested);
  connect(reset_position_, &QAction::triggered, this, &PanelTray::resetPositionRequested);
  connect(start_at_login_, &QAction::toggled, this, &PanelTray::startAtLoginToggled);
  connect(quit_, &QAction::triggered, this, &PanelTray::quitRequested);

  tray_.setIcon(application_icon_);
  tray_.setContextMenu(&menu_);
  connect(&tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why == QSystemTrayIcon::Trigger) menu_.popup(QCursor::pos());
  });
}

void PanelTray::Show() {
  tray_.show();
}

void PanelTray::SetStatus(const PanelStatus& status) {
  tray_.setToolTip(PlainToolTip(StatusText(status)));
}

void PanelTray::SetTodayIcon(const QIcon& icon) {
  tray_.setIcon(icon.isNull() ? application_icon_ : icon);
}

void PanelTray::SetStartAtLogin(bool on) {
  const QSignalBlocker quiet(start_at_login_);
  start_at_login_->setChecked(on);
}

}  // namespace skyvane
