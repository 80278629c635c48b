#include "panel/sources/met_norway_forecast.h"

#include <QDateTime>
#include <map>
#include <optional>
#include <string>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_writer.h"
#include "panel/fetch/forecast_services.h"
#include "panel/fetch/service_answer.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/sources/document_record.h"
#include "panel/sources/met_norway_symbols.h"
#include "panel/texts/utf16_text.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr char kCompletePath[] = "/weatherapi/locationforecast/2.0/complete";
// The local hours whose periods tell a day's weather: from 06:00 to before
// 18:00.
constexpr int kDaytimeFirstHour = 6;
constexpr int kDaytimeEndHour = 18;

QString ServiceName() {
  return QLatin1String(kMetNorwayName);
}

// The highest and lowest temperature seen in one day, and its weather.
struct DaySummary {
  std::optional<Decimal> highest;
  std::optional<Decimal> lowest;
  const MetNorwaySymbol* daytime_symbol = nullptr;  // periods from 06:00 to 18:00
  const MetNorwaySymbol* any_symbol = nullptr;      // periods at any hour

  void Take(const JsonValue& value) {
    if (!value.IsDecimal()) return;
    const Decimal celsius = value.AsDecimal();
    if (!highest || celsius.ToDouble() > highest->ToDouble()) highest = celsius;
    if (!lowest || celsius.ToDouble() < lowest->ToDouble()) lowest = celsius;
  }
};

// Keeps the more severe of `*kept` and `symbol`; the earlier on a tie.
void KeepMoreSevere(const MetNorwaySymbol*& kept, const MetNorwaySymbol& symbol) {
  if (kept == nullptr || symbol.severity > kept->severity) kept = &symbol;
}

const Dictionary* DictionaryOf(const Dictionary* parent, std::u16string_view key) {
  return parent == nullptr ? nullptr : parent->Item(key).DictionaryOrNull();
}

// The symbol_code of the period `key` ("next_6_hours") of `data`, or empty.
QString SymbolCodeOf(const Dictionary* data, std::u16string_view key) {
  const Dictionary* summary = DictionaryOf(DictionaryOf(data, key), u"summary");
  return summary == nullptr ? QString() : StringOr(summary->Item(u"symbol_code"));
}

std::optional<long long> WholeOrNull(const std::optional<Decimal>& celsius, TemperatureUnit unit) {
  if (!celsius) return std::nullopt;
  return WholeDegrees(*celsius, TemperatureUnit::kCelsius, unit);
}

}  // namespace

QString MetNorwayDegreesText(double degrees) {
  QString text = QString::number(degrees, 'f', kMetNorwayDecimals);
  while (text.endsWith(u'0')) text.chop(1);
  if (text.endsWith(u'.')) text.chop(1);
  if (text == QLatin1String("-0")) text = QStringLiteral("0");
  return text;
}

QString MetNorwayForecastAddress(const QString& service, const GeoPlace& place) {
  return ServiceAddress(service, QLatin1String(kCompletePath)) +
         QStringLiteral("?lat=%1&lon=%2")
             .arg(MetNorwayDegreesText(place.latitude), MetNorwayDegreesText(place.longitude));
}

ConvertedForecast ConvertMetNorwayForecast(const FetchResult& fetched, const QTimeZone& zone,
                                           WeatherLanguage language, TemperatureUnit unit) {
  const JsonValue root = ReadServiceAnswer(fetched, ServiceName());
  const Dictionary* properties = DictionaryOf(root.DictionaryOrNull(), u"properties");
  const Collection* series =
      properties == nullptr ? nullptr : properties->Item(u"timeseries").CollectionOrNull();
  if (series == nullptr) {
    Raise(ErrorNumber::kObjectRequired,
          "the answer of MET Norway has no \"properties\".\"timeseries\" list");
  }
  if (series->Count() == 0) {
    Raise(ErrorNumber::kSubscriptOutOfRange, "the answer of MET Norway has an empty time series");
  }

  std::map<QDate, DaySummary> days;
  for (int32_t position = 1; position <= series->Count(); ++position) {
    const Dictionary* entry = series->Item(position).DictionaryOrNull();
    if (entry == nullptr) {
      Raise(ErrorNumber::kObjectRequired,
            QStringLiteral("entry %1 of MET Norway's time series is no object")
                .arg(position)
                .toStdString());
    }
    const QString time_text = StringOr(entry->Item(u"time"));
    const QDateTime time = QDateTime::fromString(time_text, Qt::ISODate);
    if (!time.isValid()) {
      Raise(ErrorNumber::kTypeMismatch,
            QStringLiteral("a time of MET Norway's forecast is not a date and time: \"%1\"")
                .arg(time_text)
                .toStdString());
    }
    const QDateTime local = time.toTimeZone(zone);
    DaySummary& day = days[local.date()];
    const Dictionary* data = DictionaryOf(entry, u"data");
    if (const Dictionary* instant = DictionaryOf(DictionaryOf(data, u"instant"), u"details")) {
      day.Take(instant->Item(u"air_temperature"));
    }
    if (const Dictionary* six = DictionaryOf(DictionaryOf(data, u"next_6_hours"), u"details")) {
      day.Take(six->Item(u"air_temperature_max"));
      day.Take(six->Item(u"air_temperature_min"));
    }
    QString code = SymbolCodeOf(data, u"next_6_hours");
    if (code.isEmpty()) code = SymbolCodeOf(data, u"next_1_hours");
    if (code.isEmpty()) continue;
    const MetNorwaySymbol& symbol = DescribeMetNorwaySymbol(code);
    KeepMoreSevere(day.any_symbol, symbol);
    const int hour = local.time().hour();
    if (hour >= kDaytimeFirstHour && hour < kDaytimeEndHour) {
      KeepMoreSevere(day.daytime_symbol, symbol);
    }
  }

  ConvertedForecast converted;
  converted.first_day = days.begin()->first;
  const QDate last_day = days.rbegin()->first;
  std::string document = "{\"data\":[";
  for (QDate date = converted.first_day; date <= last_day; date = date.addDays(1)) {
    const auto found = days.find(date);
    const DaySummary summary = found == days.end() ? DaySummary() : found->second;
    const MetNorwaySymbol* symbol =
        summary.daytime_symbol != nullptr ? summary.daytime_symbol : summary.any_symbol;
    const WmoWeather& weather = symbol != nullptr ? symbol->weather : kUnknownWeather;
    std::string record = "{";
    const QString brief = weather.Brief(language);
    const QString whole = weather.Text(language);
    AppendMember(u"wea", brief, record);
    if (whole != brief) AppendMember(kWholeWeatherKey, whole, record);
    AppendMember(
        u"wea_img",
        QString::fromLatin1(weather.icon.data(), static_cast<qsizetype>(weather.icon.size())),
        record);
    AppendTemperatures(WholeOrNull(summary.highest, unit), WholeOrNull(summary.lowest, unit), unit,
                       record);
    if (date != converted.first_day) document += ',';
    document += record + '}';
    // A day without entries has no temperatures, so the refresh stops at
    // it: the days after it are never read, and a series whose times lie
    // centuries apart must not make millions of empty records.
    if (found == days.end()) break;
  }
  document += "]}";
  converted.document = QString::fromStdString(document);
  return converted;
}

}  // namespace skyvane
