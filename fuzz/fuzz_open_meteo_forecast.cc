// Fuzzes the Open-Meteo forecast adapter with the input as the body of an
// HTTP 200 answer. Either a document or a RunError (the reason) comes out; a
// document must have a first day and read as a JSON object without a
// complaint from the panel's JSON reader.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json/json_reader.h"
#include "panel/fetch/http_fetch.h"
#include "panel/sources/open_meteo_forecast.h"
#include "text/run_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  skyvane::FetchResult fetched;
  fetched.text =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  fetched.status = 200;
  fetched.status_text = QStringLiteral("OK");

  const auto language =
      size % 2 == 0 ? skyvane::WeatherLanguage::kEnglish : skyvane::WeatherLanguage::kChinese;
  try {
    const skyvane::ConvertedForecast forecast =
        skyvane::ConvertOpenMeteoForecast(fetched, language);
    if (!forecast.first_day.isValid()) std::abort();
    const std::u16string document(reinterpret_cast<const char16_t*>(forecast.document.utf16()),
                                  static_cast<size_t>(forecast.document.size()));
    const skyvane::JsonValue root = skyvane::ReadJson(document);
    if (!root.IsDictionary() || !skyvane::ErrorLog().empty()) std::abort();
  } catch (const skyvane::RunError&) {
  }
  return 0;
}
