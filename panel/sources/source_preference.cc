#include "panel/sources/source_preference.h"

#include <array>

namespace skyvane {

namespace {

struct Named {
  SourcePreference preference;
  const char* text;
};

constexpr std::array<Named, 3> kNames{{
    {SourcePreference::kAuto, "auto"},
    {SourcePreference::kOpenMeteo, "open-meteo"},
    {SourcePreference::kMetNorway, "met-norway"},
}};

}  // namespace

QString SourcePreferenceText(SourcePreference preference) {
  for (const Named& named : kNames) {
    if (named.preference == preference) return QLatin1String(named.text);
  }
  return QString();
}

std::optional<SourcePreference> ReadSourcePreference(const QString& text) {
  for (const Named& named : kNames) {
    if (text.compare(QLatin1String(named.text), Qt::CaseInsensitive) == 0) return named.preference;
  }
  return std::nullopt;
}

}  // namespace skyvane
