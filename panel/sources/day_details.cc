#include "panel/sources/day_details.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <utility>

#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "json/json_writer.h"
#include "panel/fetch/service_answer.h"
#include "panel/texts/utf16_text.h"
#include "panel/weather/wmo_weather.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

// The list `key` of `group`, or nullptr.
const Collection* ListOf(const Dictionary* group, std::u16string_view key) {
  return group == nullptr ? nullptr : group->Item(key).CollectionOrNull();
}

// Item `position` (0-based) of `list`, or Null when there is none.
JsonValue ItemAt(const Collection* list, int position) {
  if (list == nullptr || position < 0 || position >= list->Count()) return JsonValue::Null();
  return list->Item(position + 1);
}

std::optional<Decimal> NumberAt(const Collection* list, int position) {
  const JsonValue value = ItemAt(list, position);
  if (!value.IsDecimal()) return std::nullopt;
  return value.AsDecimal();
}

QString TextAt(const Collection* list, int position) {
  const JsonValue value = ItemAt(list, position);
  return value.IsString() ? StringOr(value) : QString();
}

// The date and time of an ISO local stamp ("2026-05-29T04:51"), read as
// written: a stamp need not exist in this machine's own time zone.
std::optional<std::pair<QDate, QTime>> StampOf(const QString& stamp) {
  if (stamp.size() < 16 || stamp.at(10) != u'T') return std::nullopt;
  const QDate date = QDate::fromString(stamp.left(10), Qt::ISODate);
  const QTime time = QTime::fromString(stamp.mid(11), Qt::ISODate);
  if (!date.isValid() || !time.isValid()) return std::nullopt;
  return std::make_pair(date, time);
}

std::optional<QTime> TimeOf(const QString& stamp) {
  const auto parsed = StampOf(stamp);
  if (!parsed) return std::nullopt;
  return parsed->second;
}

std::optional<int> WholeNumber(const std::optional<Decimal>& value) {
  if (!value) return std::nullopt;
  const double number = value->ToDouble();
  if (number != std::floor(number) || std::fabs(number) > 1e6) return std::nullopt;
  return static_cast<int>(number);
}

// The unit the answer names for `key` in `units`, or `fallback`.
void TakeUnit(const Dictionary* units, std::u16string_view key, QString& unit) {
  if (units == nullptr) return;
  const JsonValue value = units->Item(key);
  if (value.IsString() && !StringOr(value).isEmpty()) unit = StringOr(value);
}

void AppendKey(const char* key, std::string& out) {
  if (out.size() > 1) out += ',';
  out += '"';
  out += key;
  out += "\":";
}

void AppendText(const QString& text, std::string& out) {
  AppendJsonString(Utf16View(text), out);
}

void AppendNumber(const std::optional<Decimal>& value, std::string& out) {
  out += value ? value->ToAscii() : std::string("null");
}

void AppendHours(const std::array<std::optional<Decimal>, kHoursPerDay>& hours, std::string& out) {
  out += '[';
  for (int hour = 0; hour < kHoursPerDay; ++hour) {
    if (hour > 0) out += ',';
    AppendNumber(hours[static_cast<std::size_t>(hour)], out);
  }
  out += ']';
}

void AppendTime(const std::optional<QTime>& time, std::string& out) {
  if (time) {
    AppendText(time->toString(QStringLiteral("HH:mm")), out);
  } else {
    out += "null";
  }
}

std::vector<DayDetails> ReadDays(const Dictionary& root, WeatherLanguage language) {
  const Dictionary* daily = root.Item(u"daily").DictionaryOrNull();
  const Collection* dates = ListOf(daily, u"time");
  if (dates == nullptr) return {};
  const Collection* codes = ListOf(daily, u"weather_code");
  if (codes == nullptr) codes = ListOf(daily, u"weathercode");
  const Collection* maxima = ListOf(daily, u"temperature_2m_max");
  const Collection* minima = ListOf(daily, u"temperature_2m_min");
  const Collection* feels_max = ListOf(daily, u"apparent_temperature_max");
  const Collection* feels_min = ListOf(daily, u"apparent_temperature_min");
  const Collection* chances = ListOf(daily, u"precipitation_probability_max");
  const Collection* sums = ListOf(daily, u"precipitation_sum");
  const Collection* winds = ListOf(daily, u"wind_speed_10m_max");
  const Collection* directions = ListOf(daily, u"wind_direction_10m_dominant");
  const Collection* sunrises = ListOf(daily, u"sunrise");
  const Collection* sunsets = ListOf(daily, u"sunset");

  DayDetails units;
  const Dictionary* daily_units = root.Item(u"daily_units").DictionaryOrNull();
  TakeUnit(daily_units, u"temperature_2m_max", units.temperature_unit);
  TakeUnit(daily_units, u"wind_speed_10m_max", units.wind_unit);
  TakeUnit(daily_units, u"precipitation_sum", units.precipitation_unit);
  const JsonValue offset_value = root.Item(u"utc_offset_seconds");
  if (offset_value.IsDecimal()) units.utc_offset_seconds = WholeNumber(offset_value.AsDecimal());

  std::vector<DayDetails> days;
  QHash<QDate, std::size_t> day_of_date;
  for (int i = 0; i < dates->Count(); ++i) {
    DayDetails day = units;
    day.date = QDate::fromString(TextAt(dates, i), Qt::ISODate);
    day.weather_code = WholeNumber(NumberAt(codes, i));
    day.weather_text = DescribeWmoCode(day.weather_code).Text(language);
    day.temperature_max = NumberAt(maxima, i);
    day.temperature_min = NumberAt(minima, i);
    day.feels_like_max = NumberAt(feels_max, i);
    day.feels_like_min = NumberAt(feels_min, i);
    day.precipitation_chance_max = NumberAt(chances, i);
    day.precipitation_sum = NumberAt(sums, i);
    day.wind_speed_max = NumberAt(winds, i);
    day.wind_direction = NumberAt(directions, i);
    day.sunrise = TimeOf(TextAt(sunrises, i));
    day.sunset = TimeOf(TextAt(sunsets, i));
    if (day.date.isValid()) day_of_date.insert(day.date, days.size());
    days.push_back(std::move(day));
  }

  const Dictionary* hourly = root.Item(u"hourly").DictionaryOrNull();
  const Collection* hours = ListOf(hourly, u"time");
  const Collection* temperatures = ListOf(hourly, u"temperature_2m");
  const Collection* hour_chances = ListOf(hourly, u"precipitation_probability");
  const int hour_count = hours == nullptr ? 0 : hours->Count();
  for (int i = 0; i < hour_count; ++i) {
    const auto stamp = StampOf(TextAt(hours, i));
    if (!stamp || stamp->second.minute() != 0) continue;
    const auto found = day_of_date.constFind(stamp->first);
    if (found == day_of_date.constEnd()) continue;
    DayDetails& day = days[*found];
    const auto hour = static_cast<std::size_t>(stamp->second.hour());
    day.hourly_temperature[hour] = NumberAt(temperatures, i);
    day.hourly_precipitation_chance[hour] = NumberAt(hour_chances, i);
  }
  return days;
}

// What a kept text may hold: a unit or a weather text longer than this is
// none, and an offset from UTC beyond a day is no offset.
constexpr int kMostUnitChars = 16;
constexpr int kMostOffsetSeconds = 24 * 60 * 60;

std::optional<Decimal> NumberIn(const Dictionary& object, std::u16string_view key) {
  const JsonValue& value = object.Item(key);
  if (!value.IsDecimal()) return std::nullopt;
  return value.AsDecimal();
}

QString ShortTextIn(const Dictionary& object, std::u16string_view key) {
  const JsonValue& value = object.Item(key);
  if (!value.IsString()) return QString();
  const QString text = StringOr(value);
  return text.size() <= kMostUnitChars ? text : QString();
}

std::optional<QTime> ClockIn(const Dictionary& object, std::u16string_view key) {
  const QString text = ShortTextIn(object, key);
  if (text.size() != 5) return std::nullopt;
  const QTime time = QTime::fromString(text, QStringLiteral("HH:mm"));
  if (!time.isValid()) return std::nullopt;
  return time;
}

void HoursIn(const Dictionary& object, std::u16string_view key,
             std::array<std::optional<Decimal>, kHoursPerDay>& hours) {
  const Collection* list = object.Item(key).CollectionOrNull();
  const int count = list == nullptr ? 0 : std::min(list->Count(), kHoursPerDay);
  for (int hour = 0; hour < count; ++hour)
    hours[static_cast<std::size_t>(hour)] = NumberAt(list, hour);
}

void KeptUnit(const Dictionary* units, std::u16string_view key, QString& unit) {
  if (units == nullptr) return;
  const QString text = ShortTextIn(*units, key);
  if (!text.isEmpty()) unit = text;
}

// One day of a kept text, or nothing when it is no object with a date.
std::optional<DayDetails> KeptDay(const JsonValue& value, std::optional<int> utc_offset,
                                  WeatherLanguage language) {
  const Dictionary* object = value.DictionaryOrNull();
  if (object == nullptr) return std::nullopt;
  DayDetails day;
  day.date = QDate::fromString(ShortTextIn(*object, u"date"), Qt::ISODate);
  if (!day.date.isValid()) return std::nullopt;
  // The text again from the code, in the language of today.
  day.weather_code = WholeNumber(NumberIn(*object, u"weather_code"));
  day.weather_text = DescribeWmoCode(day.weather_code).Text(language);
  const std::pair<std::u16string_view, std::optional<Decimal>*> numbers[] = {
      {u"temperature_max", &day.temperature_max},
      {u"temperature_min", &day.temperature_min},
      {u"feels_like_max", &day.feels_like_max},
      {u"feels_like_min", &day.feels_like_min},
      {u"precipitation_chance_max", &day.precipitation_chance_max},
      {u"precipitation_sum", &day.precipitation_sum},
      {u"wind_speed_max", &day.wind_speed_max},
      {u"wind_direction", &day.wind_direction},
  };
  for (const auto& [key, number] : numbers) *number = NumberIn(*object, key);
  day.sunrise = ClockIn(*object, u"sunrise");
  day.sunset = ClockIn(*object, u"sunset");
  HoursIn(*object, u"hourly_temperature", day.hourly_temperature);
  HoursIn(*object, u"hourly_precipitation_chance", day.hourly_precipitation_chance);
  const Dictionary* units = object->Item(u"units").DictionaryOrNull();
  KeptUnit(units, u"temperature", day.temperature_unit);
  KeptUnit(units, u"wind", day.wind_unit);
  KeptUnit(units, u"precipitation", day.precipitation_unit);
  day.utc_offset_seconds = utc_offset;
  return day;
}

}  // namespace

bool DayDetails::HasHourlyTemperatures() const {
  for (const std::optional<Decimal>& value : hourly_temperature) {
    if (value) return true;
  }
  return false;
}

std::vector<DayDetails> ReadDayDetails(const FetchResult& fetched, WeatherLanguage language) {
  try {
    const JsonValue root = ReadServiceAnswer(fetched, QStringLiteral("the forecast service"));
    const Dictionary* object = root.DictionaryOrNull();
    return object == nullptr ? std::vector<DayDetails>() : ReadDays(*object, language);
  } catch (const RunError&) {
    return {};  // the columns' refresh reports what is wrong with the answer
  }
}

const char* CompassPoint(double degrees) {
  static constexpr const char* kPoints[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  double turned = std::fmod(degrees, 360.0);
  if (turned < 0) turned += 360.0;
  const int point = static_cast<int>(std::floor((turned + 22.5) / 45.0)) % 8;
  return kPoints[point];
}

std::string DayDetailsJson(const DayDetails& details, int day) {
  std::string out = "{";
  AppendKey("day", out);
  out += std::to_string(day);
  AppendKey("date", out);
  if (details.date.isValid()) {
    AppendText(details.date.toString(Qt::ISODate), out);
  } else {
    out += "null";
  }
  AppendKey("weather", out);
  AppendText(details.weather_text, out);
  AppendKey("weather_code", out);
  out += details.weather_code ? std::to_string(*details.weather_code) : std::string("null");
  const std::pair<const char*, const std::optional<Decimal>*> numbers[] = {
      {"temperature_max", &details.temperature_max},
      {"temperature_min", &details.temperature_min},
      {"feels_like_max", &details.feels_like_max},
      {"feels_like_min", &details.feels_like_min},
      {"precipitation_chance_max", &details.precipitation_chance_max},
      {"precipitation_sum", &details.precipitation_sum},
      {"wind_speed_max", &details.wind_speed_max},
      {"wind_direction", &details.wind_direction},
  };
  for (const auto& [key, value] : numbers) {
    AppendKey(key, out);
    AppendNumber(*value, out);
  }
  AppendKey("wind_compass", out);
  if (details.wind_direction) {
    AppendText(QLatin1String(CompassPoint(details.wind_direction->ToDouble())), out);
  } else {
    out += "null";
  }
  AppendKey("sunrise", out);
  AppendTime(details.sunrise, out);
  AppendKey("sunset", out);
  AppendTime(details.sunset, out);
  AppendKey("hourly_temperature", out);
  AppendHours(details.hourly_temperature, out);
  AppendKey("hourly_precipitation_chance", out);
  AppendHours(details.hourly_precipitation_chance, out);
  AppendKey("units", out);
  std::string units = "{";
  AppendKey("temperature", units);
  AppendText(details.temperature_unit, units);
  AppendKey("wind", units);
  AppendText(details.wind_unit, units);
  AppendKey("precipitation", units);
  AppendText(details.precipitation_unit, units);
  out += units + '}';
  out += '}';
  return out;
}

std::string KeptDayDetailsText(const std::vector<DayDetails>& days) {
  std::string out = "{";
  AppendKey("utc_offset_seconds", out);
  const auto with_offset = std::find_if(days.begin(), days.end(), [](const DayDetails& day) {
    return day.utc_offset_seconds.has_value();
  });
  out += with_offset != days.end() ? std::to_string(*with_offset->utc_offset_seconds)
                                   : std::string("null");
  AppendKey("days", out);
  out += '[';
  const std::size_t count = std::min(days.size(), static_cast<std::size_t>(kKeptDetailDays));
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0) out += ',';
    out += DayDetailsJson(days[i], static_cast<int>(i));
  }
  out += "]}";
  return out;
}

std::vector<DayDetails> ReadKeptDayDetails(const QString& text, QDate from, int most,
                                           WeatherLanguage language) {
  std::vector<DayDetails> days;
  if (text.isEmpty() || most <= 0) return days;
  try {
    const JsonValue root = ReadJson(Utf16View(text));
    if (!ErrorLog().empty() || EndedInsideContainer()) return days;
    const Dictionary* object = root.DictionaryOrNull();
    if (object == nullptr) return days;
    std::optional<int> offset = WholeNumber(NumberIn(*object, u"utc_offset_seconds"));
    if (offset && std::abs(*offset) > kMostOffsetSeconds) offset.reset();
    const Collection* list = object->Item(u"days").CollectionOrNull();
    const int count = list == nullptr ? 0 : std::min(list->Count(), kKeptDetailDays);
    for (int i = 0; i < count && static_cast<int>(days.size()) < most; ++i) {
      std::optional<DayDetails> day = KeptDay(list->Item(i + 1), offset, language);
      if (!day || day->date < from) continue;
      // Day n is column n: a gap ends the days.
      if (day->date != from.addDays(static_cast<qint64>(days.size()))) break;
      days.push_back(std::move(*day));
    }
  } catch (const RunError&) {
    days.clear();  // the kept forecast's columns still show
  }
  return days;
}

}  // namespace skyvane
