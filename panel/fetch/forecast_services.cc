#include "panel/fetch/forecast_services.h"

#include <QtGlobal>

namespace skyvane {

namespace {

QString FromVariable(const char* name, const char* fallback) {
  const QString value = qEnvironmentVariable(name);
  return value.isEmpty() ? QLatin1String(fallback) : value;
}

}  // namespace

ForecastServices ForecastServices::FromEnvironment() {
  return ForecastServices{FromVariable(kForecastServiceVariable, kDefaultForecastService),
                          FromVariable(kGeocodingServiceVariable, kDefaultGeocodingService),
                          FromVariable(kMetNorwayServiceVariable, kDefaultMetNorwayService)};
}

QString ServiceAddress(const QString& service, const QString& path_and_query) {
  QString base = service;
  while (base.endsWith(u'/')) base.chop(1);
  return base + path_and_query;
}

}  // namespace skyvane
