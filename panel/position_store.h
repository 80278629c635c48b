// The panel's memory of where the user left it: two texts, "formX" and
// "formY", in the section "set" of the per-user settings of the application
// "Skyvane". On Linux this is the native settings format, an INI file under
// the user's configuration folder ($XDG_CONFIG_HOME, by default ~/.config):
// Skyvane/Skyvane.conf.
#ifndef SKYVANE_PANEL_POSITION_STORE_H_
#define SKYVANE_PANEL_POSITION_STORE_H_

#include <QSettings>
#include <QString>

#include <memory>
#include <optional>

#include "panel/placement.h"

namespace skyvane {

inline constexpr char kSettingsOrganization[] = "Skyvane";
inline constexpr char kSettingsApplication[] = "Skyvane";
inline constexpr char kSettingsSection[] = "set";
inline constexpr char kLeftKey[] = "formX";
inline constexpr char kTopKey[] = "formY";

class PositionStore {
 public:
  // The user's own store. The configuration folder is looked up on the
  // process's first use of the settings, so XDG_CONFIG_HOME must be set
  // before then to take effect.
  PositionStore();
  // A store kept in the INI file at `path` (tests, other profiles).
  explicit PositionStore(const QString& path);
  ~PositionStore();
  PositionStore(const PositionStore&) = delete;
  PositionStore& operator=(const PositionStore&) = delete;

  // The text stored under `key` in the section, or the empty text when there
  // is none.
  QString Read(const QString& key) const;

  // The saved place, or nullopt when none is saved or it does not read as a
  // number (see ParseSavedPlace).
  std::optional<PanelPlace> SavedPlace() const;

  // Writes "formX" and then "formY" as SaveText of the place and flushes them
  // to disk at once, so that a place survives the process being killed.
  // Returns false when the store could not be written (for example a
  // read-only folder); the message then says why.
  bool Save(const PanelPlace& place);

  // Forgets the saved place; the next start opens at the default place.
  // Returns false when the store could not be written.
  bool Forget();

  // The file the store lives in, for messages and documentation.
  QString FileName() const;

  // A one-line description of the last failure of Save or Forget.
  QString LastError() const { return last_error_; }

 private:
  bool Flush();

  std::unique_ptr<QSettings> settings_;
  QString last_error_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_POSITION_STORE_H_
