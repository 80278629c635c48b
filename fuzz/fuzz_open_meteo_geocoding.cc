// Fuzzes the Open-Meteo geocoding adapter with the input as the body of an
// HTTP 200 answer. Either a place, no place or a RunError (the reason) comes
// out; a place must have a name and lie on the globe.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "fuzz/fuzz_answer.h"
#include "panel/fetch/http_fetch.h"
#include "panel/places/open_meteo_geocoding.h"
#include "text/run_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const skyvane::FetchResult fetched = AnswerOf(data, size);

  try {
    const std::optional<skyvane::GeoPlace> place = skyvane::ReadGeocodingAnswer(fetched);
    if (place && (place->name.isEmpty() || !(place->latitude >= -90 && place->latitude <= 90) ||
                  !(place->longitude >= -180 && place->longitude <= 180))) {
      std::abort();
    }
  } catch (const skyvane::RunError&) {
  }
  return 0;
}
