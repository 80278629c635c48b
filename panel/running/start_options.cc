#include "panel/running/start_options.h"

#include <cstdio>
#include <optional>

#include "panel/fetch/http_fetch.h"
#include "panel/places/place_lookup.h"
#include "panel/places/saved_place.h"
#include "panel/sources/source_preference.h"
#include "panel/weather/temperature_unit.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

void ReportUnkept(const char* what, const SettingsStore& settings) {
  std::fprintf(stderr, "skyvane: cannot %s: %s\n", what,
               settings.LastError().toLocal8Bit().constData());
}

}  // namespace

int SavedRefreshMinutes(const SettingsStore& settings) {
  const QString text = settings.Read(QLatin1String(kRefreshMinutesKey));
  if (text.isEmpty()) return 0;
  bool number = false;
  const int minutes = text.trimmed().toInt(&number);
  if (number && minutes >= 0 && minutes <= kMaxRefreshMinutes) return minutes;
  std::fprintf(stderr,
               "skyvane: the kept %s \"%s\" in %s is no number of minutes from 0 to %d; "
               "fetching only at start\n",
               kRefreshMinutesKey, text.toLocal8Bit().constData(),
               settings.FileName().toLocal8Bit().constData(), kMaxRefreshMinutes);
  return 0;
}

bool ApplyStartOptions(Skyvane& form, const PanelCommand& command, QString* problem) {
  std::optional<GeoPlace> place;
  if (command.location && !command.location->isEmpty()) {
    const SkyvaneOptions& options = form.Options();
    try {
      place = LookUpPlace(
          *command.location, options.services.geocoding, options.language_code,
          [&options](const QString& url) { return XMLHttpGET(url, options.fetch_limits); });
    } catch (const RunError& error) {
      *problem = QString::fromStdString(error.what());
      return false;
    }
  }
  SettingsStore settings = form.Settings();
  if (command.location) {
    form.SetLocation(place);
    if (place ? !SavePlace(settings, *place) : !ForgetPlace(settings)) {
      ReportUnkept(place ? "keep the place" : "forget the place", settings);
    }
  }
  if (command.url) form.SetUrl(*command.url);
  if (command.source) {
    const std::optional<SourcePreference> source = ReadSourcePreference(*command.source);
    if (!source) {
      std::fprintf(stderr, "skyvane: no forecast source \"%s\"; keeping the one before\n",
                   command.source->toLocal8Bit().constData());
    } else if (!settings.Write(QLatin1String(kSourceKey), SourcePreferenceText(*source))) {
      ReportUnkept("keep the forecast source", settings);
    }
  }
  if (command.units) {
    const bool kept = command.units->isEmpty()
                          ? settings.Remove(QLatin1String(kUnitsKey))
                          : settings.Write(QLatin1String(kUnitsKey), *command.units);
    if (!kept) ReportUnkept("keep the temperature unit", settings);
  }
  if (command.refresh_minutes) {
    form.SetRefreshMinutes(*command.refresh_minutes);
    if (!settings.Write(QLatin1String(kRefreshMinutesKey),
                        QString::number(*command.refresh_minutes))) {
      ReportUnkept("keep the refresh interval", settings);
    }
  }
  return true;
}

}  // namespace skyvane
