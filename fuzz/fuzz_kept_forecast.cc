// Fuzzes the kept forecast file's reader with the input as the file's text.
// Either a forecast or a one-line problem naming the file comes out. A
// forecast read is written again and must read back as itself, and its text
// must then stay the same through a second write.
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "panel/keep/kept_forecast.h"

namespace {

bool Same(const skyvane::KeptForecast& a, const skyvane::KeptForecast& b) {
  return a.source == b.source && a.place.name == b.place.name &&
         skyvane::SamePlace(a.place, b.place) && a.fetched == b.fetched &&
         a.first_day == b.first_day && a.document == b.document;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString path = QStringLiteral("/cache/forecast-open-meteo.json");
  const skyvane::KeptRead read = skyvane::ReadKeptForecastText(bytes, path);
  if (!read.kept) {
    if (read.problem.isEmpty() || !read.problem.startsWith(path) || read.problem.contains(u'\n')) {
      std::abort();
    }
    return 0;
  }
  if (!read.problem.isEmpty()) std::abort();

  const QByteArray text = skyvane::KeptForecastText(*read.kept);
  // The writer refuses a text over the cap, so nothing of it is kept.
  if (text.size() > skyvane::kKeptForecastCap) return 0;
  const skyvane::KeptRead again = skyvane::ReadKeptForecastText(text, path);
  if (!again.kept || !Same(*read.kept, *again.kept)) std::abort();
  if (skyvane::KeptForecastText(*again.kept) != text) std::abort();
  return 0;
}
