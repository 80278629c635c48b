// Where the services are asked: the public instances by default, or the
// addresses in SKYVANE_FORECAST_SERVICE and SKYVANE_GEOCODING_SERVICE
// (Open-Meteo) and SKYVANE_METNO_SERVICE (MET Norway): a self-hosted
// instance, a mirror, a test server on loopback.
#ifndef SKYVANE_PANEL_FETCH_FORECAST_SERVICES_H_
#define SKYVANE_PANEL_FETCH_FORECAST_SERVICES_H_

#include <QString>

namespace skyvane {

inline constexpr char kDefaultForecastService[] = "https://api.open-meteo.com";
inline constexpr char kDefaultGeocodingService[] = "https://geocoding-api.open-meteo.com";
inline constexpr char kDefaultMetNorwayService[] = "https://api.met.no";
inline constexpr char kForecastServiceVariable[] = "SKYVANE_FORECAST_SERVICE";
inline constexpr char kGeocodingServiceVariable[] = "SKYVANE_GEOCODING_SERVICE";
inline constexpr char kMetNorwayServiceVariable[] = "SKYVANE_METNO_SERVICE";

// Each address is a scheme, a host and optionally a port and a path prefix,
// e.g. "http://127.0.0.1:8080" or "https://example.org/open-meteo".
struct ForecastServices {
  QString forecast = QLatin1String(kDefaultForecastService);
  QString geocoding = QLatin1String(kDefaultGeocodingService);
  // MET Norway's forecast service; empty: none to fall back on.
  QString met_norway = QLatin1String(kDefaultMetNorwayService);

  // The defaults, each replaced by its environment variable when that is
  // set and not empty.
  static ForecastServices FromEnvironment();
};

// `service` and `path_and_query` ("/v1/...") joined with one "/" between
// them, however many the service address ends in.
QString ServiceAddress(const QString& service, const QString& path_and_query);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_FETCH_FORECAST_SERVICES_H_
