#include "panel/sources/open_meteo_forecast.h"

#include <string>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_writer.h"
#include "panel/fetch/forecast_services.h"
#include "panel/fetch/service_answer.h"
#include "panel/sources/day_details.h"
#include "panel/sources/wmo_weather.h"
#include "panel/texts/utf16_text.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr char kForecastPath[] = "/v1/forecast";
constexpr char kDailyVariables[] = "weather_code,temperature_2m_max,temperature_2m_min";
constexpr std::u16string_view kCodeKey = u"weather_code";
constexpr std::u16string_view kOlderCodeKey = u"weathercode";

QString ServiceName() {
  return QStringLiteral("the forecast service");
}

// The list `key` of `daily`; raises when it is missing.
const Collection& DailyList(const Dictionary& daily, std::u16string_view key) {
  const Collection* list = daily.Item(key).CollectionOrNull();
  if (list == nullptr) {
    Raise(ErrorNumber::kObjectRequired, "the answer of the forecast service has no daily \"" +
                                            FromUtf16(key).toStdString() + "\" list");
  }
  return *list;
}

// Item `position` (1-based) of `list`, or Null past its end.
JsonValue ItemOrNull(const Collection& list, int32_t position) {
  return position <= list.Count() ? list.Item(position) : JsonValue::Null();
}

// The whole number a code value holds, if it holds one that fits an int.
std::optional<int> CodeOf(const JsonValue& value) {
  if (!value.IsDecimal()) return std::nullopt;
  const QString text = QString::fromStdU16String(value.AsDecimal().ToText());
  bool ok = false;
  const int code = text.toInt(&ok);
  return ok ? std::optional<int>(code) : std::nullopt;
}

// Appends "key":"text" to a record being written, or "key":null when there
// is no text.
void AppendMember(std::u16string_view key, const std::optional<QString>& text,
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

std::optional<QString> TemperatureText(const JsonValue& value) {
  if (!value.IsDecimal()) return std::nullopt;
  return WholeDegreesText(value.AsDecimal());
}

// Adds one to a string of decimal digits.
void IncrementDigits(QString& digits) {
  for (qsizetype i = digits.size() - 1; i >= 0; --i) {
    if (digits[i] != u'9') {
      digits[i] = QChar(digits[i].unicode() + 1);
      return;
    }
    digits[i] = u'0';
  }
  digits.prepend(u'1');
}

}  // namespace

QString OpenMeteoForecastAddress(const QString& service, const GeoPlace& place) {
  return ServiceAddress(service, QLatin1String(kForecastPath)) +
         QStringLiteral(
             "?latitude=%1&longitude=%2&daily=%3,%4&hourly=%5&timezone=auto"
             "&forecast_days=%6")
             .arg(DegreesText(place.latitude), DegreesText(place.longitude),
                  QLatin1String(kDailyVariables), QLatin1String(kDetailDailyVariables),
                  QLatin1String(kDetailHourlyVariables))
             .arg(kOpenMeteoForecastDays);
}

ConvertedForecast ConvertOpenMeteoForecast(const FetchResult& fetched, WeatherLanguage language) {
  const JsonValue root = ReadServiceAnswer(fetched, ServiceName());
  const Dictionary* daily = root.DictionaryOrNull()->Item(u"daily").DictionaryOrNull();
  if (daily == nullptr) {
    Raise(ErrorNumber::kObjectRequired,
          "the answer of the forecast service has no \"daily\" object");
  }
  const Collection& dates = DailyList(*daily, u"time");
  const bool older_spelling = !daily->Exists(kCodeKey) && daily->Exists(kOlderCodeKey);
  const Collection& codes = DailyList(*daily, older_spelling ? kOlderCodeKey : kCodeKey);
  const Collection& maxima = DailyList(*daily, u"temperature_2m_max");
  const Collection& minima = DailyList(*daily, u"temperature_2m_min");

  ConvertedForecast converted;
  const QString first = dates.Count() > 0 ? StringOr(dates.Item(1)) : QString();
  converted.first_day = QDate::fromString(first, Qt::ISODate);
  if (!converted.first_day.isValid()) {
    Raise(ErrorNumber::kTypeMismatch,
          QStringLiteral("the first date of the forecast is not a date: \"%1\"")
              .arg(first)
              .toStdString());
  }

  std::string document = "{\"data\":[";
  for (int32_t day = 1; day <= dates.Count(); ++day) {
    const WmoWeather& weather = DescribeWmoCode(CodeOf(ItemOrNull(codes, day)));
    std::string record = "{";
    AppendMember(u"wea", FromUtf16(weather.Text(language)), record);
    AppendMember(
        u"wea_img",
        QString::fromLatin1(weather.icon.data(), static_cast<qsizetype>(weather.icon.size())),
        record);
    AppendMember(u"tem1", TemperatureText(ItemOrNull(maxima, day)), record);
    AppendMember(u"tem2", TemperatureText(ItemOrNull(minima, day)), record);
    if (day > 1) document += ',';
    document += record + '}';
  }
  document += "]}";
  converted.document = QString::fromStdString(document);
  return converted;
}

QString WholeDegreesText(const Decimal& celsius) {
  QString digits = QString::fromStdU16String(celsius.ToText());
  const bool negative = digits.startsWith(u'-');
  if (negative) digits.remove(0, 1);
  const qsizetype point = digits.indexOf(u'.');
  if (point >= 0) {
    const bool half_or_more = digits.at(point + 1) >= u'5';
    digits.truncate(point);
    if (half_or_more) IncrementDigits(digits);
  }
  const bool shows_sign = negative && digits != QLatin1String("0");
  return (shows_sign ? QStringLiteral("-") : QString()) + digits + QChar(kDegreesCelsius);
}

}  // namespace skyvane
