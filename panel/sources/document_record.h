// Writing one day record of the panel's own forecast document, as the
// sources that convert another service's answer do.
#ifndef SKYVANE_PANEL_SOURCES_DOCUMENT_RECORD_H_
#define SKYVANE_PANEL_SOURCES_DOCUMENT_RECORD_H_

#include <QString>
#include <optional>
#include <string>
#include <string_view>

#include "json/json_writer.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/texts/utf16_text.h"
#include "panel/weather/temperature_unit.h"

namespace skyvane {

// Appends "key":"text" to `record`, a JSON object being written that starts
// with "{", or "key":null when there is no text.
inline void AppendMember(std::u16string_view key, const std::optional<QString>& text,
                         std::string& record) {
  if (record.size() > 1) record += ',';
  AppendJsonString(key, record);
  record += ':';
  if (text) {
    AppendJsonString(Utf16View(*text), record);
  } else {
    record += "null";
  }
}

// Appends a day's "tem1" (highest) and "tem2" (lowest), whole degrees of
// `unit` with its sign ("31℃"), null when missing, and with a lowest its
// kToneKey, decided on that whole value (ToneOf).
inline void AppendTemperatures(std::optional<long long> highest, std::optional<long long> lowest,
                               TemperatureUnit unit, std::string& record) {
  const auto text = [unit](std::optional<long long> whole) -> std::optional<QString> {
    if (!whole) return std::nullopt;
    return QString::number(*whole) + UnitSign(unit);
  };
  AppendMember(u"tem1", text(highest), record);
  AppendMember(u"tem2", text(lowest), record);
  if (!lowest) return;
  switch (ToneOf(*lowest, unit)) {
    case TemperatureTone::kCold:
      AppendMember(kToneKey, QLatin1String(kColdTone), record);
      break;
    case TemperatureTone::kHot:
      AppendMember(kToneKey, QLatin1String(kHotTone), record);
      break;
    case TemperatureTone::kMild:
      AppendMember(kToneKey, QStringLiteral("mild"), record);
      break;
  }
}

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SOURCES_DOCUMENT_RECORD_H_
