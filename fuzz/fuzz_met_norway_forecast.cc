// Fuzzes the MET Norway forecast adapter with the input as the body of an
// HTTP 200 answer, counting days in one of several zones. Either a document
// or a RunError (the reason) comes out; a document must have a first day,
// read as a JSON object whose "data" list holds one record per day, and stay
// within a bound set by the answer's length.
#include <QByteArray>
#include <QString>
#include <QTimeZone>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_answer.h"
#include "json/collection.h"
#include "json/dictionary.h"
#include "json/json_reader.h"
#include "panel/fetch/http_fetch.h"
#include "panel/sources/met_norway_forecast.h"
#include "text/run_error.h"

namespace {

// Zones far east and west of UTC, one with a half-hour offset and one with
// summer time, so that days split at every kind of local midnight.
QTimeZone Zone(size_t size) {
  static const char* const kZones[] = {
      "UTC",        "Asia/Shanghai", "America/Bogota", "Pacific/Kiritimati", "America/St_Johns",
      "Europe/Oslo"};
  return QTimeZone(QByteArray(kZones[size % (sizeof kZones / sizeof kZones[0])]));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const skyvane::FetchResult fetched = AnswerOf(data, size);

  const auto language =
      size % 4 < 2 ? skyvane::WeatherLanguage::kEnglish : skyvane::WeatherLanguage::kChinese;
  try {
    const skyvane::ConvertedForecast forecast =
        skyvane::ConvertMetNorwayForecast(fetched, Zone(size), language);
    if (!forecast.first_day.isValid()) std::abort();
    const std::u16string document(reinterpret_cast<const char16_t*>(forecast.document.utf16()),
                                  static_cast<size_t>(forecast.document.size()));
    const skyvane::JsonValue root = skyvane::ReadJson(document);
    if (!root.IsDictionary() || !skyvane::ErrorLog().empty()) std::abort();
    const skyvane::Dictionary* object = root.DictionaryOrNull();
    const skyvane::Collection* days =
        object->Exists(u"data") ? object->Item(u"data").CollectionOrNull() : nullptr;
    if (days == nullptr || days->Count() < 1) std::abort();
    // Every day record comes from at least one entry of the series, and an
    // entry takes some 20 bytes of the answer at least.
    if (static_cast<size_t>(days->Count()) > size / 16 + 1) std::abort();
  } catch (const skyvane::RunError&) {
  }
  return 0;
}
