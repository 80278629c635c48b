// "Start at login": the desktop entry that session managers start when the
// user logs in, $XDG_CONFIG_HOME/autostart/skyvane.desktop (by default
// under ~/.config).
//
// The entry is the panel's menu entry with its Exec line naming the running
// program and its current options: the installed menu entry
// (share/applications/skyvane.desktop in the XDG data folders) where there
// is one, else the one built into the program. Removing the entry is the
// only way it is turned off; an entry the user or a session manager marked
// Hidden=true counts as off.
#ifndef SKYVANE_PANEL_DESKTOP_AUTOSTART_ENTRY_H_
#define SKYVANE_PANEL_DESKTOP_AUTOSTART_ENTRY_H_

#include <QString>
#include <QStringList>

#include "panel/desktop/desktop_exec.h"

namespace skyvane {

inline constexpr char kDesktopEntryName[] = "skyvane.desktop";

// The menu entry the autostart entry is made from: the installed one, or
// the built-in one when none is installed or it cannot be read.
QString MenuEntryText();

class AutostartEntry {
 public:
  // The user's own entry, UserFileName(), looked up when each call is made.
  AutostartEntry() = default;
  // The entry at `path` (tests).
  explicit AutostartEntry(QString path);

  // $XDG_CONFIG_HOME/autostart/skyvane.desktop, or ~/.config/... when the
  // variable is unset.
  static QString UserFileName();
  QString FileName() const;

  // True when the entry exists and is not marked Hidden=true.
  bool IsOn() const;

  // Writes the entry from `menu_entry` (a desktop entry's text), with the
  // Exec line of its [Desktop Entry] group replaced by one for `command`
  // and any Hidden line dropped; the folder is made when missing and the
  // file replaced in one step. Returns false when it could not be written;
  // LastError() says why.
  bool Write(const QString& menu_entry, const QStringList& command);
  // Removes the entry; succeeds with nothing to do when there is none.
  bool Remove();

  // A one-line description of the last failed Write or Remove, naming the
  // file; empty after one that succeeded.
  QString LastError() const { return last_error_; }

 private:
  QString path_;  // empty: the user's own entry
  QString last_error_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_DESKTOP_AUTOSTART_ENTRY_H_
