#include "panel/sources/forecast_source.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "panel/places/zone_reference.h"
#include "panel/sources/open_meteo_forecast.h"

namespace skyvane {

namespace {

constexpr char kChoosePlaceHint[] =
    "start once with --location PLACE (a place name, or LAT,LON) to choose a place";

ForecastSource NoSource(const QString& problem) {
  ForecastSource source;
  source.problem = problem + QStringLiteral("; ") + QLatin1String(kChoosePlaceHint);
  return source;
}

ForecastSource OpenMeteoSource(const GeoPlace& place, const SourceChoice& choice) {
  ForecastSource source;
  source.kind = ForecastSource::Kind::kOpenMeteo;
  source.address = OpenMeteoForecastAddress(choice.forecast_service, place, choice.unit);
  source.place = place;
  return source;
}

ForecastSource DocumentSource(const QString& address) {
  ForecastSource source;
  source.kind = ForecastSource::Kind::kPanelDocument;
  source.address = address;
  return source;
}

ForecastSource TimeZoneSource(const SourceChoice& choice) {
  if (choice.zone_id.isEmpty()) return NoSource(QStringLiteral("the system time zone is unknown"));
  const QString table = QDir(choice.tzdata_folder).filePath(QLatin1String(kZone1970Table));
  if (!QFileInfo::exists(table)) {
    return NoSource(QStringLiteral("no time-zone table %1 to place the time zone \"%2\"")
                        .arg(table, choice.zone_id));
  }
  const std::optional<GeoPlace> place = ZoneReferencePlace(choice.zone_id, choice.tzdata_folder);
  if (!place) {
    return NoSource(QStringLiteral("the time zone \"%1\" names no place to show the weather of")
                        .arg(choice.zone_id));
  }
  return OpenMeteoSource(*place, choice);
}

}  // namespace

QString ForecastSource::Name() const {
  switch (kind) {
    case Kind::kPanelDocument:
      return address;
    case Kind::kOpenMeteo:
      return place.name;
    case Kind::kNone:
      break;
  }
  return QString();
}

bool BuiltInServiceIsSet(const QString& built_in_address) {
  const QString host = QUrl(built_in_address).host();
  return !host.isEmpty() && !host.endsWith(QLatin1String(kNeverAnsweringDomain));
}

ForecastSource ChooseForecastSource(const SourceChoice& choice) {
  if (choice.url) return DocumentSource(*choice.url);
  if (choice.location) return OpenMeteoSource(*choice.location, choice);
  if (!choice.saved.problem.isEmpty()) return NoSource(choice.saved.problem);
  if (choice.saved.place) return OpenMeteoSource(*choice.saved.place, choice);
  if (BuiltInServiceIsSet(choice.built_in_address)) return DocumentSource(choice.built_in_address);
  return TimeZoneSource(choice);
}

std::optional<RefreshStop> RefreshFromSource(const ForecastSource& source, const TextFetch& fetch,
                                             WeatherLanguage language, QDate today,
                                             const QString& icon_folder,
                                             const ColumnControls& controls) {
  ForecastShowing showing;
  showing.language = language;
  return RefreshFromSource(source, fetch, showing, today, icon_folder, controls);
}

std::optional<RefreshStop> RefreshFromSource(const ForecastSource& source, const TextFetch& fetch,
                                             const ForecastShowing& showing, QDate today,
                                             const QString& icon_folder,
                                             const ColumnControls& controls) {
  switch (source.kind) {
    case ForecastSource::Kind::kPanelDocument:
      return RefreshForecast(source.address, fetch, today, icon_folder, controls);
    case ForecastSource::Kind::kOpenMeteo: {
      const ForecastFetch open_meteo = [&]() -> ForecastAnswer {
        ForecastAnswer answer{fetch(source.address), std::nullopt};
        // Without an answer there is nothing to convert; the refresh says so.
        if (!answer.fetched.problem.isEmpty()) return answer;
        ConvertedForecast converted = ConvertOpenMeteoForecast(answer.fetched, showing);
        answer.fetched.text = std::move(converted.document);
        answer.first_day = converted.first_day;
        return answer;
      };
      return RefreshForecast(open_meteo, today, icon_folder, controls);
    }
    case ForecastSource::Kind::kNone:
      break;
  }
  return RefreshStop{0, ErrorNumber::kInvalidArgument, source.problem};
}

}  // namespace skyvane
