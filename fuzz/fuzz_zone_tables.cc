// Fuzzes the readers of the time-zone tables. The input's first line is a
// zone name, the rest the text of a table (read both as a zone table and as
// a table of links). A row found must lie on the globe; every read must
// return.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "panel/places/zone_reference.h"

namespace {

bool OnTheGlobe(const std::optional<skyvane::GeoPlace>& place) {
  return !place || (place->latitude >= -90 && place->latitude <= 90 && place->longitude >= -180 &&
                    place->longitude <= 180);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString input =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const qsizetype line_end = input.indexOf(u'\n');
  const QString zone_id = line_end < 0 ? input : input.left(line_end);
  const QString table = line_end < 0 ? QString() : input.mid(line_end + 1);

  if (!OnTheGlobe(skyvane::ReadIso6709(zone_id))) std::abort();
  if (!OnTheGlobe(skyvane::FindZoneRow(table, zone_id))) std::abort();
  const QString target = skyvane::FindZoneLinkTarget(table, zone_id);
  if (target.contains(u'\n')) std::abort();
  return 0;
}
