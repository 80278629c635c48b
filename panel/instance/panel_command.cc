#include "panel/instance/panel_command.h"

#include <string>

#include "json/decimal.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "json/json_writer.h"

namespace skyvane {

namespace {

constexpr char16_t kStatusKey[] = u"status";
constexpr char16_t kQuitKey[] = u"quit";
constexpr char16_t kRefreshKey[] = u"refresh";
constexpr char16_t kResetPositionKey[] = u"resetPosition";
constexpr char16_t kUrlKey[] = u"url";
constexpr char16_t kLocationKey[] = u"location";
constexpr char16_t kSourceKey[] = u"source";
constexpr char16_t kRefreshMinutesKey[] = u"refreshMinutes";
constexpr char16_t kUnitsKey[] = u"units";

std::u16string Utf16(const QString& text) {
  return text.toStdU16String();
}

void AddFlag(Dictionary& members, const char16_t* key, bool set) {
  if (set) members.Add(key, JsonValue(true));
}

void AddText(Dictionary& members, const char16_t* key, const std::optional<QString>& text) {
  if (text) members.Add(key, JsonValue(Utf16(*text)));
}

// Reads one member into `out`; false when it is there but of another kind.
bool ReadFlag(const Dictionary& members, const char16_t* key, bool& out) {
  const JsonValue& value = members.Item(key);
  if (value.IsEmpty()) return true;
  if (!value.IsBoolean()) return false;
  out = value.AsBoolean();
  return true;
}

bool ReadText(const Dictionary& members, const char16_t* key, std::optional<QString>& out) {
  const JsonValue& value = members.Item(key);
  if (value.IsEmpty()) return true;
  if (!value.IsString()) return false;
  out = QString::fromStdU16String(value.AsString());
  return true;
}

bool ReadMinutes(const Dictionary& members, std::optional<int>& out) {
  const JsonValue& value = members.Item(kRefreshMinutesKey);
  if (value.IsEmpty()) return true;
  if (!value.IsDecimal()) return false;
  const Decimal& number = value.AsDecimal();
  if (number.IsNegative() || number.Scale() != 0 || number.MagnitudeHigh() != 0 ||
      number.MagnitudeLow() > static_cast<uint64_t>(kMaxRefreshMinutes)) {
    return false;
  }
  out = static_cast<int>(number.MagnitudeLow());
  return true;
}

std::optional<PanelCommand> Refuse(QString* problem, const QString& why) {
  if (problem != nullptr) *problem = why;
  return std::nullopt;
}

}  // namespace

QByteArray EncodeCommand(const PanelCommand& command) {
  auto members = MakeRef<Dictionary>();
  AddFlag(*members, kStatusKey, command.status);
  AddFlag(*members, kQuitKey, command.quit);
  AddFlag(*members, kRefreshKey, command.refresh);
  AddFlag(*members, kResetPositionKey, command.reset_position);
  AddText(*members, kUrlKey, command.url);
  AddText(*members, kLocationKey, command.location);
  AddText(*members, kSourceKey, command.source);
  AddText(*members, kUnitsKey, command.units);
  if (command.refresh_minutes) {
    members->Add(kRefreshMinutesKey, JsonValue(Decimal::FromInt64(*command.refresh_minutes)));
  }
  std::string line = WriteJson(JsonValue(std::move(members)));
  line += '\n';
  return QByteArray::fromStdString(line);
}

std::optional<PanelCommand> DecodeCommand(const QByteArray& line, QString* problem) {
  if (line.size() > kMaxCommandBytes) {
    return Refuse(problem,
                  QStringLiteral("the command is longer than %1 bytes").arg(kMaxCommandBytes));
  }
  const QString text = QString::fromUtf8(line).trimmed();
  const JsonValue root = ReadJson(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
  const Dictionary* members = root.DictionaryOrNull();
  if (members == nullptr) return Refuse(problem, QStringLiteral("the command is no JSON object"));
  PanelCommand command;
  if (!ReadFlag(*members, kStatusKey, command.status) ||
      !ReadFlag(*members, kQuitKey, command.quit) ||
      !ReadFlag(*members, kRefreshKey, command.refresh) ||
      !ReadFlag(*members, kResetPositionKey, command.reset_position) ||
      !ReadText(*members, kUrlKey, command.url) ||
      !ReadText(*members, kLocationKey, command.location) ||
      !ReadText(*members, kSourceKey, command.source) ||
      !ReadText(*members, kUnitsKey, command.units) ||
      !ReadMinutes(*members, command.refresh_minutes)) {
    return Refuse(problem, QStringLiteral("the command has a member of the wrong kind"));
  }
  return command;
}

}  // namespace skyvane
