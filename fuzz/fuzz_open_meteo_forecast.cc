// Fuzzes the Open-Meteo forecast adapter with the input as the body of an
// HTTP 200 answer. Either a document or a RunError (the reason) comes out; a
// document must have a first day and read as a JSON object without a
// complaint from the panel's JSON reader. The input is also read as the
// kept details text, which may hold anything, and the answer's details are
// kept and read back: as many days as were kept, within the bounds.
#include <QDate>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_answer.h"
#include "json/json_reader.h"
#include "panel/fetch/http_fetch.h"
#include "panel/sources/day_details.h"
#include "panel/sources/open_meteo_forecast.h"
#include "text/run_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const skyvane::FetchResult fetched = AnswerOf(data, size);

  const auto language =
      size % 2 == 0 ? skyvane::WeatherLanguage::kEnglish : skyvane::WeatherLanguage::kChinese;
  if (skyvane::ReadKeptDayDetails(fetched.text, QDate(1, 1, 1), 7, language).size() > 7) {
    std::abort();
  }
  const std::vector<skyvane::DayDetails> days = skyvane::ReadDayDetails(fetched, language);
  if (!days.empty() && days.front().date.isValid()) {
    const QString kept = QString::fromStdString(skyvane::KeptDayDetailsText(days));
    const std::size_t most = static_cast<std::size_t>(skyvane::kKeptDetailDays);
    if (skyvane::ReadKeptDayDetails(kept, days.front().date, skyvane::kKeptDetailDays, language)
            .size() > std::min(days.size(), most)) {
      std::abort();
    }
  }
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
