// The Open-Meteo service addresses: the public defaults, the environment
// variables that replace them, joining paths, and HTTPS being available.
#include <gtest/gtest.h>

#include <QNetworkAccessManager>
#include <QSslSocket>
#include <QtGlobal>
#include <optional>

#include "panel/fetch/forecast_services.h"

namespace skyvane {
namespace {

// Sets or removes an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::optional<QByteArray>& value)
      : name_(name),
        old_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt) {
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<QByteArray>& value) {
    if (value) {
      qputenv(name_, *value);
    } else {
      qunsetenv(name_);
    }
  }
  const char* name_;
  std::optional<QByteArray> old_;
};

TEST(ForecastServicesTest, EnvironmentReplacesTheDefaultsWhenNotEmpty) {
  {
    ScopedVariable forecast(kForecastServiceVariable, std::nullopt);
    ScopedVariable geocoding(kGeocodingServiceVariable, QByteArray());
    const ForecastServices services = ForecastServices::FromEnvironment();
    EXPECT_EQ(services.forecast, QStringLiteral("https://api.open-meteo.com"));
    EXPECT_EQ(services.geocoding, QStringLiteral("https://geocoding-api.open-meteo.com"));
  }
  ScopedVariable forecast(kForecastServiceVariable, "http://127.0.0.1:8080");
  ScopedVariable geocoding(kGeocodingServiceVariable, "http://[::1]:8081/geo");
  const ForecastServices services = ForecastServices::FromEnvironment();
  EXPECT_EQ(services.forecast, QStringLiteral("http://127.0.0.1:8080"));
  EXPECT_EQ(services.geocoding, QStringLiteral("http://[::1]:8081/geo"));
}

TEST(ForecastServicesTest, JoinsWithOneSlash) {
  const QString path = QStringLiteral("/v1/search?name=x");
  for (const char* service : {"http://h", "http://h/", "http://h//"}) {
    EXPECT_EQ(ServiceAddress(QLatin1String(service), path),
              QStringLiteral("http://h/v1/search?name=x"))
        << service;
  }
  EXPECT_EQ(ServiceAddress(QStringLiteral("https://h/om/"), path),
            QStringLiteral("https://h/om/v1/search?name=x"));
}

TEST(ForecastServicesTest, HttpsIsServedByTheTlsBackend) {
  EXPECT_TRUE(QSslSocket::supportsSsl()) << QSslSocket::activeBackend().toStdString();
  QNetworkAccessManager manager;
  EXPECT_TRUE(manager.supportedSchemes().contains(QStringLiteral("https")));
}

}  // namespace
}  // namespace skyvane
