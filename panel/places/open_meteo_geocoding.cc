#include "panel/places/open_meteo_geocoding.h"

#include <QStringList>
#include <QTimeZone>
#include <QUrl>

#include "json/collection.h"
#include "json/dictionary.h"
#include "panel/fetch/forecast_services.h"
#include "panel/fetch/service_answer.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr char kSearchPath[] = "/v1/search";

[[noreturn]] void FailResult(const QString& description) {
  Raise(ErrorNumber::kInvalidArgument,
        (QStringLiteral("the first result of the geocoding service ") + description).toStdString());
}

}  // namespace

QString GeocodingAddress(const QString& service, const QString& name,
                         const QString& language_code) {
  return ServiceAddress(service, QLatin1String(kSearchPath)) +
         QStringLiteral("?name=%1&count=1&language=%2&format=json")
             .arg(QString::fromLatin1(QUrl::toPercentEncoding(name)),
                  QString::fromLatin1(QUrl::toPercentEncoding(language_code)));
}

std::optional<GeoPlace> ReadGeocodingAnswer(const FetchResult& fetched) {
  const JsonValue root = ReadServiceAnswer(fetched, QStringLiteral("the geocoding service"));
  const Collection* results = root.DictionaryOrNull()->Item(u"results").CollectionOrNull();
  if (results == nullptr || results->Count() == 0) return std::nullopt;
  const Dictionary* first = results->Item(1).DictionaryOrNull();
  if (first == nullptr) FailResult(QStringLiteral("is not a JSON object"));
  const QString name = StringOr(first->Item(u"name"));
  if (name.trimmed().isEmpty()) FailResult(QStringLiteral("has no name"));
  const std::optional<double> latitude = NumberOf(first->Item(u"latitude"));
  const std::optional<double> longitude = NumberOf(first->Item(u"longitude"));
  if (!latitude || !longitude) FailResult(QStringLiteral("has no coordinates"));
  const QString problem = CoordinateProblem(*latitude, *longitude);
  if (!problem.isEmpty()) FailResult(QStringLiteral("has bad coordinates: ") + problem);
  GeoPlace place{
      PlaceDisplayName(name, StringOr(first->Item(u"admin1")), StringOr(first->Item(u"country"))),
      *latitude, *longitude};
  // A zone this system does not know is no use to keep.
  const QString zone = StringOr(first->Item(u"timezone")).trimmed();
  if (!zone.isEmpty() && QTimeZone(zone.toUtf8()).isValid()) place.zone_id = zone;
  return place;
}

QString PlaceDisplayName(const QString& name, const QString& admin1, const QString& country) {
  QStringList parts{name.trimmed()};
  const QString region = admin1.trimmed();
  if (!region.isEmpty() && !region.contains(parts.first())) {
    parts.append(region);
  }
  if (!country.trimmed().isEmpty()) parts.append(country.trimmed());
  return parts.join(QStringLiteral(", "));
}

}  // namespace skyvane
