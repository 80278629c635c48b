// The panel's settings: texts under fixed keys in the section "set" of the
// per-user settings file of the application "Skyvane",
// $XDG_CONFIG_HOME/Skyvane/Skyvane.conf (by default under ~/.config).
//
// The file belongs to the user as much as to the program: a write changes
// only the lines of the keys it writes and keeps every other line byte for
// byte (other sections, comments, hand-written lines of any shape). Each
// write reads the file afresh under a lock file beside it (Skyvane.conf.lock)
// and replaces it in one step, so writes of other programs and of other
// keys are never lost, and a failed write leaves the file as it was. The
// format is described in settings_text.h.
//
// Usage, for any key of the section:
//
//   SettingsStore settings;                       // the user's own file
//   const QString city = settings.Read("location");  // "" when not set
//   if (!settings.Write("location", city)) Report(settings.LastError());
//   settings.Write({{"latitude", "52.5"}, {"longitude", "13.4"}});  // one write
//   settings.Remove("refreshMinutes");
//
// Keys are fixed names: non-empty, without blanks, "=", "[", ";", "#" or line
// ends; a write of any other key is refused. Not thread-safe: one instance
// per thread; separate instances and processes may share the file.
#ifndef SKYVANE_PANEL_SETTINGS_SETTINGS_STORE_H_
#define SKYVANE_PANEL_SETTINGS_SETTINGS_STORE_H_

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "panel/settings/settings_text.h"

namespace skyvane {

inline constexpr char kSettingsOrganization[] = "Skyvane";
inline constexpr char kSettingsApplication[] = "Skyvane";
inline constexpr char kSettingsSection[] = "set";
// A settings file larger than this is no file of ours: it is neither read
// nor rewritten.
inline constexpr int64_t kMaxSettingsFileBytes = int64_t{1} << 20;

class SettingsStore {
 public:
  // The user's own file, UserFileName(), looked up when each call is made.
  SettingsStore();
  // The file at `path` (tests, other profiles).
  explicit SettingsStore(const QString& path);

  // $XDG_CONFIG_HOME/Skyvane/Skyvane.conf, or ~/.config/... when the
  // variable is unset.
  static QString UserFileName();

  // The text stored under `key`, or the empty text when there is none, the
  // file does not exist or cannot be read (a folder, too large, no access).
  QString Read(const QString& key) const;
  // One line naming the file and saying why it exists but cannot be read
  // (not a regular file, larger than the limit, no access); empty when it
  // reads or does not exist. Reads then hold nothing, so a caller may say
  // once that the defaults are used.
  QString ReadProblem() const;

  // Sets `key` to `value` (creating the file and its folder when needed).
  // Returns false when the file was not written; LastError() says why. A
  // file that exists but cannot be read is not overwritten, since its lines
  // could not be kept.
  bool Write(const QString& key, const QString& value);
  // Sets several keys in one write, in order.
  bool Write(const QList<QPair<QString, QString>>& values);

  // Removes `key` (every line of it). Succeeds with nothing to do when the
  // key or the file does not exist; otherwise as Write.
  bool Remove(const QString& key);
  bool Remove(const QStringList& keys);

  QString FileName() const;

  // A one-line description of the last failed Write or Remove, naming the
  // file; empty after one that succeeded.
  QString LastError() const { return last_error_; }

 private:
  bool Apply(const QList<SettingChange>& changes);
  bool Fail(const QString& error);

  QString path_;  // empty: the user's own file
  QString last_error_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SETTINGS_SETTINGS_STORE_H_
