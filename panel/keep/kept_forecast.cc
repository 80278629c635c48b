#include "panel/keep/kept_forecast.h"

#include <QDir>
#include <QStandardPaths>
#include <string>

#include "json/dictionary.h"
#include "json/json_reader.h"
#include "json/json_value.h"
#include "json/json_writer.h"
#include "panel/fetch/local_file.h"

namespace skyvane {

namespace {

constexpr char kFolderName[] = "skyvane";

std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

void AppendMember(const char* key, const QString& text, std::string& out) {
  out += out.size() == 1 ? "\"" : ",\"";
  out += key;
  out += "\":";
  AppendJsonString(View(text), out);
}

// The text of member `key`, or nothing when it is missing or no text.
std::optional<QString> TextMember(const Dictionary& object, std::u16string_view key) {
  if (!object.Exists(key)) return std::nullopt;
  const JsonValue& value = object.Item(key);
  if (value.IsNull() || value.IsDictionary() || value.IsCollection()) return std::nullopt;
  return QString::fromStdU16String(value.ToText());
}

std::optional<double> NumberMember(const Dictionary& object, std::u16string_view key) {
  const std::optional<QString> text = TextMember(object, key);
  if (!text) return std::nullopt;
  bool ok = false;
  const double number = text->toDouble(&ok);
  if (!ok) return std::nullopt;
  return number;
}

// `time` in UTC as ISO 8601, with milliseconds only when it has some, so
// that it reads back as the same time; empty past the years 0 to 9999.
QString FetchedText(const QDateTime& time) {
  const QDateTime utc = time.toUTC();
  return utc.toString(utc.time().msec() != 0 ? Qt::ISODateWithMs : Qt::ISODate);
}

KeptRead Refused(const QString& path, const QString& why) {
  return KeptRead{std::nullopt, QStringLiteral("%1 is not a kept forecast: %2").arg(path, why)};
}

}  // namespace

QString KeptForecastFolder() {
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
  if (cache.isEmpty()) return QString();
  return QDir(cache).filePath(QLatin1String(kFolderName));
}

QString KeptForecastPath(const QString& folder, const QString& source) {
  return QDir(folder).filePath(QStringLiteral("forecast-%1.json").arg(source));
}

QByteArray KeptForecastText(const KeptForecast& kept) {
  std::string out = "{";
  AppendMember("format", QLatin1String(kKeptForecastFormat), out);
  AppendMember("source", kept.source, out);
  out += ",\"place\":{";
  out += "\"name\":";
  AppendJsonString(View(kept.place.name), out);
  out += ",\"latitude\":" + DegreesText(kept.place.latitude).toStdString();
  out += ",\"longitude\":" + DegreesText(kept.place.longitude).toStdString();
  out += '}';
  AppendMember("fetched", FetchedText(kept.fetched), out);
  AppendMember("first_day", kept.first_day.toString(Qt::ISODate), out);
  AppendMember("document", kept.document, out);
  if (!kept.details.isEmpty()) AppendMember("details", kept.details, out);
  out += "}\n";
  return QByteArray::fromStdString(out);
}

KeptRead ReadKeptForecast(const QString& path) {
  const LocalFileRead file = ReadLocalFile(path, kKeptForecastCap);
  switch (file.outcome) {
    case LocalFileRead::Outcome::kRead:
      break;
    case LocalFileRead::Outcome::kMissing:
      return KeptRead{};
    default:
      return KeptRead{std::nullopt, file.problem};
  }
  return ReadKeptForecastText(file.bytes, path);
}

KeptRead ReadKeptForecastText(const QByteArray& bytes, const QString& path) {
  const QString text = QString::fromUtf8(bytes);
  const JsonValue root = ReadJson(View(text));
  if (!ErrorLog().empty() || EndedInsideContainer()) {
    return Refused(path, QStringLiteral("it is no whole JSON text"));
  }
  const Dictionary* object = root.DictionaryOrNull();
  if (object == nullptr) return Refused(path, QStringLiteral("it is no JSON object"));
  if (TextMember(*object, u"format") != QLatin1String(kKeptForecastFormat)) {
    return Refused(path, QStringLiteral("it names another format"));
  }
  KeptForecast kept;
  const std::optional<QString> source = TextMember(*object, u"source");
  const Dictionary* place =
      object->Exists(u"place") ? object->Item(u"place").DictionaryOrNull() : nullptr;
  const std::optional<QString> fetched = TextMember(*object, u"fetched");
  const std::optional<QString> first_day = TextMember(*object, u"first_day");
  const std::optional<QString> document = TextMember(*object, u"document");
  if (!source || place == nullptr || !fetched || !first_day || !document) {
    return Refused(path, QStringLiteral("a member is missing or of the wrong type"));
  }
  const std::optional<QString> name = TextMember(*place, u"name");
  const std::optional<double> latitude = NumberMember(*place, u"latitude");
  const std::optional<double> longitude = NumberMember(*place, u"longitude");
  if (!name || !latitude || !longitude || !CoordinateProblem(*latitude, *longitude).isEmpty()) {
    return Refused(path, QStringLiteral("its place is not a place"));
  }
  kept.source = *source;
  kept.place = GeoPlace{*name, *latitude, *longitude};
  kept.fetched = QDateTime::fromString(*fetched, Qt::ISODate);
  kept.first_day = QDate::fromString(*first_day, Qt::ISODate);
  // A time that could not be written back (in UTC past the year 9999, say)
  // is not trusted either.
  if (!kept.fetched.isValid() || !kept.first_day.isValid() ||
      QDateTime::fromString(FetchedText(kept.fetched), Qt::ISODate) != kept.fetched) {
    return Refused(path, QStringLiteral("its dates do not read as dates"));
  }
  kept.document = *document;
  kept.details = TextMember(*object, u"details").value_or(QString());
  return KeptRead{std::move(kept), QString()};
}

QString WriteKeptForecast(const QString& path, const KeptForecast& kept) {
  const QByteArray text = KeptForecastText(kept);
  if (text.size() > kKeptForecastCap) {
    return QStringLiteral("the forecast to keep is larger than %1 bytes").arg(kKeptForecastCap);
  }
  return WriteLocalFileAtomically(path, text);
}

bool SamePlace(const GeoPlace& a, const GeoPlace& b) {
  return DegreesText(a.latitude) == DegreesText(b.latitude) &&
         DegreesText(a.longitude) == DegreesText(b.longitude);
}

}  // namespace skyvane
