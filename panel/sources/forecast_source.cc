#include "panel/sources/forecast_source.h"

#include <QDir>
#include <QFileInfo>
#include <QTimeZone>
#include <QUrl>

#include "panel/places/zone_reference.h"
#include "panel/sources/met_norway_forecast.h"
#include "panel/sources/open_meteo_forecast.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr char kChoosePlaceHint[] =
    "start once with --location PLACE (a place name, or LAT,LON) to choose a place";

ForecastSource NoSource(const QString& problem) {
  ForecastSource source;
  source.problem = problem + QStringLiteral("; ") + QLatin1String(kChoosePlaceHint);
  return source;
}

constexpr char kOpenMeteoName[] = "Open-Meteo";

// The source for `place` by the preference of `choice`.
ForecastSource PlaceSource(const GeoPlace& place, const SourceChoice& choice) {
  ForecastSource source;
  source.place = place;
  source.zone_id = place.zone_id.isEmpty() ? choice.zone_id : place.zone_id;
  const bool met_norway_set = !choice.met_norway_service.isEmpty();
  if (choice.preference == SourcePreference::kMetNorway && met_norway_set) {
    source.kind = ForecastSource::Kind::kMetNorway;
    source.address = MetNorwayForecastAddress(choice.met_norway_service, place);
    return source;
  }
  source.kind = ForecastSource::Kind::kOpenMeteo;
  source.address = OpenMeteoForecastAddress(choice.forecast_service, place, choice.unit);
  if (choice.preference == SourcePreference::kAuto && met_norway_set) {
    source.fallback_address = MetNorwayForecastAddress(choice.met_norway_service, place);
  }
  return source;
}

QTimeZone ZoneOf(const ForecastSource& source) {
  const QTimeZone zone(source.zone_id.toUtf8());
  return zone.isValid() ? zone : QTimeZone::systemTimeZone();
}

// MET Norway's forecast for `source` at `address`, in the panel's form.
ForecastAnswer AskMetNorway(const ForecastSource& source, const QString& address,
                            const TextFetch& fetch, const ForecastShowing& showing,
                            MetNorwayClient* client, SourceReport& report) {
  ForecastAnswer answer;
  if (client != nullptr) {
    MetNorwayClient::Answer asked = client->Ask(address);
    answer.fetched = std::move(asked.fetched);
    report.note = std::move(asked.note);
  } else {
    answer.fetched = fetch(address);
  }
  if (!answer.fetched.problem.isEmpty()) return answer;
  ConvertedForecast converted =
      ConvertMetNorwayForecast(answer.fetched, ZoneOf(source), showing.language, showing.unit);
  answer.fetched.text = std::move(converted.document);
  answer.first_day = converted.first_day;
  report.answered_by = QLatin1String(kMetNorwayName);
  return answer;
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
  return PlaceSource(*place, choice);
}

}  // namespace

QString ForecastSource::Name() const {
  switch (kind) {
    case Kind::kPanelDocument:
      return address;
    case Kind::kOpenMeteo:
    case Kind::kMetNorway:
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
  if (choice.location) return PlaceSource(*choice.location, choice);
  if (!choice.saved.problem.isEmpty()) return NoSource(choice.saved.problem);
  if (choice.saved.place) return PlaceSource(*choice.saved.place, choice);
  if (BuiltInServiceIsSet(choice.built_in_address)) return DocumentSource(choice.built_in_address);
  return TimeZoneSource(choice);
}

QString SourceReport::Text() const {
  if (first_failure.isEmpty()) return answered_by;
  return QStringLiteral("%1 (%2: %3)")
      .arg(answered_by, QLatin1String(kOpenMeteoName), first_failure);
}

std::optional<RefreshStop> RefreshFromSource(
    const ForecastSource& source, const TextFetch& fetch, WeatherLanguage language, QDate today,
    const QString& icon_folder, const ColumnControls& controls, MetNorwayClient* met_norway,
    SourceReport* report, std::vector<DayDetails>* details, ForecastAnswer* answered) {
  ForecastShowing showing;
  showing.language = language;
  return RefreshFromSource(source, fetch, showing, today, icon_folder, controls, met_norway, report,
                           details, answered);
}

std::optional<RefreshStop> RefreshFromSource(const ForecastSource& source, const TextFetch& fetch,
                                             const ForecastShowing& showing, QDate today,
                                             const QString& icon_folder,
                                             const ColumnControls& controls,
                                             MetNorwayClient* met_norway, SourceReport* report,
                                             std::vector<DayDetails>* details,
                                             ForecastAnswer* answered) {
  const WeatherLanguage language = showing.language;
  if (details != nullptr) details->clear();
  SourceReport unused;
  SourceReport& said = report != nullptr ? *report : unused;
  said = SourceReport();
  switch (source.kind) {
    case ForecastSource::Kind::kPanelDocument:
      return RefreshForecast(source.address, fetch, today, icon_folder, controls);
    case ForecastSource::Kind::kOpenMeteo: {
      const ForecastFetch open_meteo = [&]() -> ForecastAnswer {
        ForecastAnswer answer{fetch(source.address), std::nullopt};
        // Why Open-Meteo's answer cannot be shown, if it cannot.
        QString failure = answer.fetched.problem.isEmpty() ? answer.fetched.ErrorStatus()
                                                           : answer.fetched.problem;
        std::optional<RunError> unreadable;
        if (details != nullptr && answer.fetched.problem.isEmpty()) {
          *details = ReadDayDetails(answer.fetched, language);
        }
        if (failure.isEmpty()) {
          try {
            ConvertedForecast converted = ConvertOpenMeteoForecast(answer.fetched, showing);
            answer.fetched.text = std::move(converted.document);
            answer.first_day = converted.first_day;
            said.answered_by = QLatin1String(kOpenMeteoName);
            return answer;
          } catch (const RunError& error) {
            failure = QString::fromStdString(error.Description());
            unreadable = error;
          }
        }
        if (!source.fallback_address.isEmpty()) {
          try {
            ForecastAnswer second =
                AskMetNorway(source, source.fallback_address, fetch, showing, met_norway, said);
            if (second.fetched.problem.isEmpty()) {
              said.first_failure = failure;
              return second;
            }
            said.note = QStringLiteral("MET Norway: ") + second.fetched.problem;
          } catch (const RunError& error) {
            said.note =
                QStringLiteral("MET Norway: ") + QString::fromStdString(error.Description());
          }
          said.answered_by.clear();
        }
        // Open-Meteo's own failure stops the refresh as it would alone.
        if (unreadable) throw *unreadable;
        if (!answer.fetched.problem.isEmpty()) return answer;
        ConvertedForecast converted = ConvertOpenMeteoForecast(answer.fetched, showing);
        answer.fetched.text = std::move(converted.document);
        answer.first_day = converted.first_day;
        return answer;
      };
      return RefreshForecast(open_meteo, today, icon_folder, controls, answered);
    }
    case ForecastSource::Kind::kMetNorway: {
      const ForecastFetch met = [&]() -> ForecastAnswer {
        return AskMetNorway(source, source.address, fetch, showing, met_norway, said);
      };
      return RefreshForecast(met, today, icon_folder, controls, answered);
    }
    case ForecastSource::Kind::kNone:
      break;
  }
  return RefreshStop{0, ErrorNumber::kInvalidArgument, source.problem};
}

}  // namespace skyvane
