#include "panel/sources/open_meteo_forecast.h"

#include <string>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_writer.h"
#include "panel/fetch/forecast_services.h"
#include "panel/fetch/service_answer.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/sources/day_details.h"
#include "panel/sources/document_record.h"
#include "panel/texts/utf16_text.h"
#include "panel/weather/wmo_weather.h"
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

// The unit of the daily list `key` as "daily_units" names it; `asked` when
// it names none. Raises kInvalidArgument for a unit of neither kind.
TemperatureUnit AnsweredUnit(const JsonValue& root, std::u16string_view key,
                             TemperatureUnit asked) {
  const Dictionary* units = root.DictionaryOrNull()->Item(u"daily_units").DictionaryOrNull();
  if (units == nullptr || !units->Item(key).IsString()) return asked;
  const QString text = StringOr(units->Item(key));
  const std::optional<TemperatureUnit> unit = UnitOfAnswer(text);
  if (!unit) {
    Raise(ErrorNumber::kInvalidArgument,
          QStringLiteral("the forecast service gives \"%1\" in an unknown unit: \"%2\"")
              .arg(FromUtf16(key), text)
              .toStdString());
  }
  return *unit;
}

std::optional<long long> Whole(const JsonValue& value, TemperatureUnit from, TemperatureUnit to) {
  if (!value.IsDecimal()) return std::nullopt;
  return WholeDegrees(value.AsDecimal(), from, to);
}

}  // namespace

QString OpenMeteoForecastAddress(const QString& service, const GeoPlace& place,
                                 TemperatureUnit unit) {
  QString address = ServiceAddress(service, QLatin1String(kForecastPath)) +
                    QStringLiteral(
                        "?latitude=%1&longitude=%2&daily=%3,%4&hourly=%5&timezone=auto"
                        "&forecast_days=%6")
                        .arg(DegreesText(place.latitude), DegreesText(place.longitude),
                             QLatin1String(kDailyVariables), QLatin1String(kDetailDailyVariables),
                             QLatin1String(kDetailHourlyVariables))
                        .arg(kOpenMeteoForecastDays);
  if (unit != TemperatureUnit::kCelsius) {
    address += QStringLiteral("&temperature_unit=") + OpenMeteoUnitParameter(unit);
  }
  return address;
}
QString OpenMeteoDayCaption(QDate date, const ForecastShowing& showing) {
  if (showing.language == WeatherLanguage::kChinese) return QString();
  return showing.locale.dayName(date.dayOfWeek(), QLocale::ShortFormat) + u' ' +
         QString::number(date.day());
}

ConvertedForecast ConvertOpenMeteoForecast(const FetchResult& fetched, WeatherLanguage language) {
  ForecastShowing showing;
  showing.language = language;
  return ConvertOpenMeteoForecast(fetched, showing);
}

ConvertedForecast ConvertOpenMeteoForecast(const FetchResult& fetched,
                                           const ForecastShowing& showing) {
  const WeatherLanguage language = showing.language;
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
  const TemperatureUnit shown = showing.unit;
  const TemperatureUnit maxima_unit = AnsweredUnit(root, u"temperature_2m_max", shown);
  const TemperatureUnit minima_unit = AnsweredUnit(root, u"temperature_2m_min", shown);

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
    const QString brief = weather.Brief(language);
    const QString whole = weather.Text(language);
    AppendMember(u"wea", brief, record);
    if (whole != brief) AppendMember(kWholeWeatherKey, whole, record);
    AppendMember(
        u"wea_img",
        QString::fromLatin1(weather.icon.data(), static_cast<qsizetype>(weather.icon.size())),
        record);
    AppendTemperatures(Whole(ItemOrNull(maxima, day), maxima_unit, shown),
                       Whole(ItemOrNull(minima, day), minima_unit, shown), shown, record);
    if (day > 1) document += ',';
    document += record + '}';
  }
  document += ']';
  if (showing.language != WeatherLanguage::kChinese) {
    // One caption per column, also for columns past a short answer's end,
    // which the fill labels before it finds their record missing.
    document += ",\"";
    document += FromUtf16(kDayCaptionsKey).toStdString();
    document += "\":[";
    for (int c = 0; c < kOpenMeteoForecastDays; ++c) {
      if (c > 0) document += ',';
      AppendJsonString(Utf16View(OpenMeteoDayCaption(converted.first_day.addDays(c), showing)),
                       document);
    }
    document += ']';
  }
  document += '}';
  converted.document = QString::fromStdString(document);
  return converted;
}

QString WholeDegreesText(const Decimal& celsius) {
  return QString::number(
             WholeDegrees(celsius, TemperatureUnit::kCelsius, TemperatureUnit::kCelsius)) +
         UnitSign(TemperatureUnit::kCelsius);
}

}  // namespace skyvane
