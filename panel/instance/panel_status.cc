#include "panel/instance/panel_status.h"

#include <QCoreApplication>
#include <QStringList>

#include "json/json_writer.h"

namespace skyvane {

namespace {

std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// A local time carries no offset in Qt's ISO form; one with a fixed offset
// does.
QString IsoTime(const QDateTime& time) {
  return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

void AppendMember(const char* key, const std::optional<QString>& text, std::string& out) {
  out += out.size() == 1 ? "\"" : ",\"";
  out += key;
  out += "\":";
  if (text) {
    AppendJsonString(View(*text), out);
  } else {
    out += "null";
  }
}

std::optional<QString> TimeText(const std::optional<QDateTime>& time) {
  if (!time) return std::nullopt;
  return IsoTime(*time);
}

}  // namespace

std::string StatusJson(const PanelStatus& status) {
  std::string out = "{";
  AppendMember("source", status.source, out);
  AppendMember("updated", TimeText(status.updated), out);
  AppendMember("problem", status.problem, out);
  AppendMember("next", TimeText(status.next), out);
  AppendMember("fetched", TimeText(status.fetched), out);
  out += status.stale ? ",\"stale\":true}" : ",\"stale\":false}";
  return out;
}

QString StatusText(const PanelStatus& status, const QLocale& locale) {
  QStringList lines;
  if (!status.source.isEmpty()) lines.append(status.source);
  lines.append(status.updated ? QCoreApplication::translate("PanelStatus", "Updated %1")
                                    .arg(locale.toString(*status.updated, QLocale::ShortFormat))
                              : QCoreApplication::translate("PanelStatus", "Not updated yet"));
  if (status.stale && status.fetched) {
    lines.append(QCoreApplication::translate("PanelStatus", "Shown: fetched %1")
                     .arg(locale.toString(*status.fetched, QLocale::ShortFormat)));
  }
  if (status.problem)
    lines.append(QCoreApplication::translate("PanelStatus", "Problem: %1").arg(*status.problem));
  if (status.next) {
    lines.append((status.problem ? QCoreApplication::translate("PanelStatus", "Next try %1")
                                 : QCoreApplication::translate("PanelStatus", "Next update %1"))
                     .arg(locale.toString(*status.next, QLocale::ShortFormat)));
  }
  return lines.join(u'\n');
}

}  // namespace skyvane
