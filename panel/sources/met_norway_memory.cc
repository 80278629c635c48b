#include "panel/sources/met_norway_memory.h"

#include <string>

#include "json/dictionary.h"
#include "json/json_reader.h"
#include "json/json_value.h"
#include "json/json_writer.h"
#include "panel/fetch/local_file.h"
#include "panel/texts/utf16_text.h"

namespace skyvane {

namespace {

void AppendText(const char* key, const QString& text, std::string& out) {
  out += out.size() == 1 ? "\"" : ",\"";
  out += key;
  out += "\":";
  AppendJsonString(Utf16View(text), out);
}

// The text of member `key`, or nothing when it is missing or no string.
std::optional<QString> TextMember(const Dictionary& object, std::u16string_view key) {
  if (!object.Exists(key) || !object.Item(key).IsString()) return std::nullopt;
  return QString::fromStdU16String(object.Item(key).ToText());
}

MetNorwayMemoryRead Refused(const QString& path, const QString& why) {
  return MetNorwayMemoryRead{
      std::nullopt, QStringLiteral("%1 is not MET Norway's kept terms: %2").arg(path, why)};
}

}  // namespace

QByteArray MetNorwayMemoryText(const MetNorwayMemory& memory) {
  std::string out = "{";
  AppendText("format", QLatin1String(kMetNorwayMemoryFormat), out);
  AppendText("address", memory.address, out);
  AppendText("last_modified", QString::fromLatin1(memory.last_modified), out);
  AppendText(
      "not_before",
      memory.not_before.isValid() ? memory.not_before.toUTC().toString(Qt::ISODate) : QString(),
      out);
  out += memory.after_refusal ? ",\"after_refusal\":true}\n" : ",\"after_refusal\":false}\n";
  return QByteArray::fromStdString(out) + memory.body.toUtf8();
}

MetNorwayMemoryRead ReadMetNorwayMemory(const QString& path, const QDateTime& now) {
  const LocalFileRead file = ReadLocalFile(path, kMetNorwayMemoryCap);
  switch (file.outcome) {
    case LocalFileRead::Outcome::kRead:
      break;
    case LocalFileRead::Outcome::kMissing:
      return MetNorwayMemoryRead{};
    default:
      return MetNorwayMemoryRead{std::nullopt, file.problem};
  }
  const qsizetype line_end = file.bytes.indexOf('\n');
  if (line_end < 0) return Refused(path, QStringLiteral("it has no first line"));
  const QString line = QString::fromUtf8(file.bytes.first(line_end));
  const JsonValue root = ReadJson(Utf16View(line));
  const Dictionary* object = root.DictionaryOrNull();
  if (!ErrorLog().empty() || EndedInsideContainer() || object == nullptr) {
    return Refused(path, QStringLiteral("its first line is no JSON object"));
  }
  if (TextMember(*object, u"format") != QLatin1String(kMetNorwayMemoryFormat)) {
    return Refused(path, QStringLiteral("it names another format"));
  }
  const std::optional<QString> address = TextMember(*object, u"address");
  const std::optional<QString> last_modified = TextMember(*object, u"last_modified");
  const std::optional<QString> not_before = TextMember(*object, u"not_before");
  const bool refusal_given =
      object->Exists(u"after_refusal") && object->Item(u"after_refusal").IsBoolean();
  if (!address || !last_modified || !not_before || !refusal_given) {
    return Refused(path, QStringLiteral("a member is missing or of the wrong type"));
  }
  for (const QChar c : *last_modified) {
    // It goes back into a request header: printable ASCII only.
    if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
      return Refused(path, QStringLiteral("its Last-Modified is no header value"));
    }
  }
  MetNorwayMemory memory;
  memory.address = *address;
  memory.last_modified = last_modified->toLatin1();
  memory.after_refusal = object->Item(u"after_refusal").AsBoolean();
  if (!not_before->isEmpty()) {
    memory.not_before = QDateTime::fromString(*not_before, Qt::ISODate);
    const QDateTime horizon = now.addSecs(std::chrono::seconds(kMetNorwayMemoryHorizon).count());
    if (!memory.not_before.isValid() || memory.not_before > horizon) {
      return Refused(path,
                     QStringLiteral("its time \"%1\" is no time within a day").arg(*not_before));
    }
  }
  memory.body = QString::fromUtf8(file.bytes.sliced(line_end + 1));
  return MetNorwayMemoryRead{std::move(memory), QString()};
}

QString WriteMetNorwayMemory(const QString& path, const MetNorwayMemory& memory) {
  const QByteArray text = MetNorwayMemoryText(memory);
  if (text.size() > kMetNorwayMemoryCap) {
    return QStringLiteral("MET Norway's answer is larger than %1 bytes").arg(kMetNorwayMemoryCap);
  }
  return WriteLocalFileAtomically(path, text);
}

}  // namespace skyvane
