// Which forecast service the panel asks for a place: --source and the kept
// "source=" setting.
//   auto        Open-Meteo first; MET Norway in the same refresh when
//               Open-Meteo gives no answer, an error status, or an answer
//               that cannot be read (the default);
//   open-meteo  Open-Meteo only;
//   met-norway  MET Norway only.
// The panel's own forecast document (--url, the build's own host) is not
// concerned.
#ifndef SKYVANE_PANEL_SOURCES_SOURCE_PREFERENCE_H_
#define SKYVANE_PANEL_SOURCES_SOURCE_PREFERENCE_H_

#include <QString>
#include <optional>

namespace skyvane {

enum class SourcePreference { kAuto, kOpenMeteo, kMetNorway };

// The settings key the preference is kept under.
inline constexpr char kSourceKey[] = "source";

// "auto", "open-meteo" or "met-norway".
QString SourcePreferenceText(SourcePreference preference);

// The preference `text` names (exactly one of the three words, any case);
// nothing for any other text.
std::optional<SourcePreference> ReadSourcePreference(const QString& text);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_SOURCE_PREFERENCE_H_
