#include "panel/refresh/forecast_refresh.h"

#include <string>
#include <string_view>

#include "json/collection.h"
#include "json/decimal.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "json/json_value.h"
#include "panel/controls/icon_path.h"
#include "panel/controls/panel_controls.h"
#include "panel/refresh/column_speech.h"
#include "panel/texts/terminal_text.h"

#ifndef SKYVANE_WEATHER_HOST
#error "SKYVANE_WEATHER_HOST must name the weather service's host"
#endif

namespace skyvane {

namespace {

constexpr char kScheme[] = "http://";

std::u16string_view View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

QString Text(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

[[noreturn]] void Fail(ErrorNumber number, const QString& description) {
  Raise(number, description.toStdString());
}

QString RecordName(int column) {
  return QStringLiteral("day record %1").arg(column + 1);
}

// root -> "data" -> position column + 1 -> key, looked up anew on each call.
const JsonValue& Field(const JsonValue& root, int column, std::u16string_view key) {
  const Dictionary* document = root.DictionaryOrNull();
  if (document == nullptr) {
    Raise(ErrorNumber::kObjectRequired, root.IsCollection()
                                            ? "the forecast is a JSON list, not an object"
                                            : "the forecast is not a JSON object");
  }
  const Collection* days = document->Item(u"data").CollectionOrNull();
  if (days == nullptr) {
    Raise(ErrorNumber::kObjectRequired, "the forecast has no \"data\" list of day records");
  }
  const int32_t position = column + 1;
  if (position > days->Count()) {
    Fail(ErrorNumber::kSubscriptOutOfRange,
         QStringLiteral("the forecast has only %1 day records").arg(days->Count()));
  }
  const Dictionary* record = days->Item(position).DictionaryOrNull();
  if (record == nullptr) {
    Fail(ErrorNumber::kObjectRequired,
         RecordName(column) + QStringLiteral(" is not a JSON object"));
  }
  return record->Item(key);
}

// The text a field shows: a missing field is the empty text; null and
// containers have none.
QString FieldText(const JsonValue& root, int column, std::u16string_view key) {
  const JsonValue& value = Field(root, column, key);
  if (value.IsNull() || value.IsDictionary() || value.IsCollection()) {
    Fail(ErrorNumber::kTypeMismatch,
         QStringLiteral("\"%1\" of %2 is %3, not text")
             .arg(Text(key), RecordName(column), Text(value.TypeName())));
  }
  return QString::fromStdU16String(value.ToText());
}

// The text of an optional field: nothing unless the record holds `key` as
// a string.
std::optional<QString> OptionalText(const JsonValue& root, int column, std::u16string_view key) {
  const JsonValue& value = Field(root, column, key);
  if (!value.IsString()) return std::nullopt;
  return QString::fromStdU16String(value.ToText());
}

// Item c + 1 of the document's kDayCaptionsKey list when it is a string;
// nothing otherwise, and for a document without the list.
std::optional<QString> DocumentCaption(const JsonValue& root, int column) {
  const Dictionary* document = root.DictionaryOrNull();
  const Collection* captions =
      document != nullptr ? document->Item(kDayCaptionsKey).CollectionOrNull() : nullptr;
  if (captions == nullptr || column + 1 > captions->Count()) return std::nullopt;
  const JsonValue caption = captions->Item(column + 1);
  if (!caption.IsString()) return std::nullopt;
  return QString::fromStdU16String(caption.ToText());
}

// The number the first kTemperatureTestLength characters of `temperature`
// start with: "12℃" reads 12, "-12" reads -1, "100" reads 10, and a
// single-digit temperature with its unit sign, "2℃", reads 2 rather than
// failing. Blanks around the number are allowed, as in any numeric
// conversion of text. Raises kTypeMismatch when the cut starts with no
// number at all.
Decimal LeadingNumber(const QString& temperature, int column) {
  const QString cut = temperature.left(kTemperatureTestLength).trimmed();
  for (qsizetype length = cut.size(); length > 0; --length) {
    try {
      return Decimal::FromText(View(cut.left(length).trimmed()));
    } catch (const RunError&) {
      // A shorter start may still be a number.
    }
  }
  Fail(ErrorNumber::kTypeMismatch,
       QStringLiteral("\"tem2\" of %1 does not start with a number: \"%2\"")
           .arg(RecordName(column), temperature));
}

}  // namespace

QString DefaultRequestAddress() {
  return QLatin1String(kScheme) + QLatin1String(SKYVANE_WEATHER_HOST) +
         QLatin1String(kRequestPathAndQuery);
}

QString DayText(QDate today, int column) {
  if (column == 0) return QStringLiteral("%1").arg(today.day(), 2, 10, QLatin1Char('0'));
  return QString::number(today.addDays(column).day());
}

void FillColumns(const QString& forecast, QDate today, const QString& icon_folder,
                 const ColumnControls& controls, int* column) {
  if (column != nullptr) *column = 0;
  const JsonValue root = ReadJson(View(forecast));
  // Read leniently, a text that stops early would show its last field cut
  // ("10" as "1") as if it were whole.
  if (EndedInsideContainer()) {
    Raise(ErrorNumber::kInvalidArgument,
          "the forecast was cut short: its text ends before its document closes");
  }
  const Decimal cold = Decimal::FromInt64(kColdAtOrBelow);
  const Decimal hot = Decimal::FromInt64(kHotAtOrAbove);
  for (int c = 0; c < kColumnCount; ++c) {
    if (column != nullptr) *column = c;
    controls.label1[c]->SetCaption(DayText(today, c) + QChar(kDaySign));
    if (const std::optional<QString> day = DocumentCaption(root, c)) {
      controls.label1[c]->SetCaption(*day);
    }
    controls.label2[c]->SetCaption(FieldText(root, c, u"wea"),
                                   OptionalText(root, c, kWholeWeatherKey).value_or(QString()));
    controls.image1[c]->LoadPicture(IconPath(icon_folder, FieldText(root, c, u"wea_img")));
    const QString tem2 = FieldText(root, c, u"tem2");
    const QString tem1 = FieldText(root, c, u"tem1");
    controls.label3[c]->SetCaption(tem2 + u'-' + tem1);
    controls.label1[c]->setAccessibleName(
        ColumnPhrase(today.addDays(c), controls.label2[c]->WholeText(), tem1, tem2));
    if (const std::optional<QString> tone = OptionalText(root, c, kToneKey)) {
      if (*tone == QLatin1String(kColdTone)) controls.label3[c]->SetForeColor(kColdColor);
      if (*tone == QLatin1String(kHotTone)) controls.label3[c]->SetForeColor(kHotColor);
      continue;
    }
    const Decimal leading = LeadingNumber(tem2, c);
    if (Compare(leading, cold) <= 0) {
      controls.label3[c]->SetForeColor(kColdColor);
    } else if (Compare(leading, hot) >= 0) {
      controls.label3[c]->SetForeColor(kHotColor);
    }
  }
}

std::optional<RefreshStop> RefreshForecast(const QString& url, const TextFetch& fetch, QDate today,
                                           const QString& icon_folder,
                                           const ColumnControls& controls) {
  return RefreshForecast(
      [&] {
        return ForecastAnswer{fetch(url), std::nullopt};
      },
      today, icon_folder, controls);
}

std::optional<RefreshStop> RefreshForecast(const ForecastFetch& fetch, QDate today,
                                           const QString& icon_folder,
                                           const ColumnControls& controls,
                                           ForecastAnswer* answered) {
  ForecastAnswer answer;
  try {
    answer = fetch();
  } catch (const RunError& error) {
    return RefreshStop{0, error.Number(),
                       QStringLiteral("fetch failed: ") + QString::fromStdString(error.what())};
  }
  if (answered != nullptr) *answered = answer;
  const FetchResult& fetched = answer.fetched;
  int column = 0;
  try {
    FillColumns(fetched.text, answer.first_day.value_or(today), icon_folder, controls, &column);
  } catch (const RunError& error) {
    QString reason = QString::fromStdString(error.what());
    if (!fetched.problem.isEmpty()) {
      reason += QStringLiteral(" (the fetch got no answer: %1)").arg(fetched.problem);
    } else if (const QString status = fetched.ErrorStatus(); !status.isEmpty()) {
      reason += QStringLiteral(" (the server answered %1)").arg(status);
    }
    return RefreshStop{column, error.Number(), reason};
  }
  return std::nullopt;
}

QString RefreshStopText(const RefreshStop& stop) {
  QStringView reason = stop.reason;
  const bool shortened = reason.size() > kMaxStopReasonChars;
  if (shortened) reason = reason.first(kMaxStopReasonChars);
  return QStringLiteral("forecast refresh stopped at column %1: %2%3")
      .arg(stop.column)
      .arg(EscapeControls(reason), shortened ? QStringLiteral("...") : QString());
}

QString RefreshStopLine(const RefreshStop& stop) {
  return QStringLiteral("skyvane: ") + RefreshStopText(stop);
}

}  // namespace skyvane
