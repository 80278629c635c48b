// The panel's memory of where the user left it: two texts, "formX" and
// "formY", among the panel's settings (settings_store.h: the section "set"
// of $XDG_CONFIG_HOME/Skyvane/Skyvane.conf). Saving and forgetting touch
// only these two keys; every other line of the file stays as it is.
#ifndef SKYVANE_PANEL_SETTINGS_POSITION_STORE_H_
#define SKYVANE_PANEL_SETTINGS_POSITION_STORE_H_

#include <QString>
#include <optional>

#include "panel/geometry/placement.h"
#include "panel/settings/settings_store.h"

namespace skyvane {

inline constexpr char kLeftKey[] = "formX";
inline constexpr char kTopKey[] = "formY";

class PositionStore {
 public:
  // The user's own settings file (SettingsStore()).
  PositionStore();
  // The settings file at `path` (tests, other profiles).
  explicit PositionStore(const QString& path);

  // The text stored under `key` in the section, or the empty text when there
  // is none.
  QString Read(const QString& key) const;

  // The saved place, or nullopt when none is saved or it does not read as a
  // number (see ParseSavedPlace).
  std::optional<PanelPlace> SavedPlace() const;

  // Writes "formX" and then "formY" as SaveText of the place, both in one
  // write that reaches the disk at once, so that a place survives the
  // process being killed. Returns false when the file could not be written
  // (a read-only folder, a file that cannot be read and so not kept); the
  // message then says why.
  bool Save(const PanelPlace& place);

  // Forgets the saved place; the next start opens at the default place.
  // Returns false when the file could not be written.
  bool Forget();

  // The file the store lives in, for messages and documentation.
  QString FileName() const { return settings_.FileName(); }

  // A one-line description of the last failure of Save or Forget.
  QString LastError() const { return settings_.LastError(); }

 private:
  SettingsStore settings_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SETTINGS_POSITION_STORE_H_
