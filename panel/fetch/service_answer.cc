#include "panel/fetch/service_answer.h"

#include "json/dictionary.h"
#include "json/json_reader.h"
#include "panel/texts/utf16_text.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

[[noreturn]] void Fail(ErrorNumber number, const QString& description) {
  Raise(number, description.toStdString());
}

// The first line of the reader's log, without its line end.
QString FirstComplaint() {
  const QString log = QString::fromStdU16String(ErrorLog());
  return log.section(QStringLiteral("\r\n"), 0, 0).trimmed();
}

}  // namespace

JsonValue ReadServiceAnswer(const FetchResult& fetched, const QString& service) {
  const QString status = fetched.ErrorStatus();
  const QString answered =
      status.isEmpty() ? QString() : QStringLiteral(" (the server answered %1)").arg(status);
  JsonValue root = ReadJson(Utf16View(fetched.text));
  if (!ErrorLog().empty()) {
    Fail(ErrorNumber::kTypeMismatch, QStringLiteral("the answer of %1 is not JSON: %2%3")
                                         .arg(service, FirstComplaint(), answered));
  }
  const Dictionary* object = root.DictionaryOrNull();
  if (object == nullptr) {
    Fail(ErrorNumber::kTypeMismatch,
         QStringLiteral("the answer of %1 is not a JSON object%2").arg(service, answered));
  }
  const JsonValue& error = object->Item(u"error");
  if (error.IsBoolean() && error.AsBoolean()) {
    const QString reason = StringOr(object->Item(u"reason"));
    Fail(ErrorNumber::kInvalidArgument,
         QStringLiteral("%1 refused the request: %2")
             .arg(service, reason.isEmpty() ? QStringLiteral("no reason given") : reason));
  }
  if (!status.isEmpty()) {
    Fail(ErrorNumber::kInvalidArgument, QStringLiteral("%1 answered %2").arg(service, status));
  }
  return root;
}

QString StringOr(const JsonValue& value) {
  return value.IsString() ? QString::fromStdU16String(value.AsString()) : QString();
}

std::optional<double> NumberOf(const JsonValue& value) {
  if (!value.IsDecimal()) return std::nullopt;
  return value.AsDecimal().ToDouble();
}

}  // namespace skyvane
