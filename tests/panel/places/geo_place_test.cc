// Coordinates as texts: reading degrees and "LAT,LON", the range check, and
// the one spelling they are written in.
#include <gtest/gtest.h>

#include <QString>
#include <optional>

#include "panel/places/geo_place.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

TEST(GeoPlaceTest, ReadsPlainSignedDecimalsOnly) {
  struct Case {
    const char* text;
    std::optional<double> degrees;
  };
  const Case cases[] = {
      {"52.52", 52.52}, {"-74", -74.0}, {"+13.5", 13.5}, {".5", 0.5}, {"5.", 5.0},   {"0", 0.0},
      {"", {}},         {"-", {}},      {".", {}},       {"1e2", {}}, {"inf", {}},   {"nan", {}},
      {" 1", {}},       {"1,5", {}},    {"0x10", {}},    {"--1", {}}, {"1.2.3", {}}, {"١٢", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadDegrees(QString::fromUtf8(c.text)), c.degrees) << c.text;
  }
}

TEST(GeoPlaceTest, CoordinatePairsAreReadOrLeftForTheNameSearch) {
  struct Case {
    const char* text;
    bool is_pair;
    double latitude;
    double longitude;
    const char* name;
  };
  const Case cases[] = {
      {"52.52,13.41", true, 52.52, 13.41, "52.52,13.41"},
      {" 52.52 , 13.41 ", true, 52.52, 13.41, "52.52,13.41"},
      {"-33.8688,151.2093", true, -33.8688, 151.2093, "-33.8688,151.2093"},
      {"90,-180", true, 90.0, -180.0, "90,-180"},
      {"+40.0,-074.0", true, 40.0, -74.0, "40,-74"},
      {"Berlin", false, 0, 0, ""},
      {"Washington, D.C.", false, 0, 0, ""},
      {"52.52", false, 0, 0, ""},
      {"52.52,", false, 0, 0, ""},
      {"1,2,3", false, 0, 0, ""},
      {"52.52;13.41", false, 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<GeoPlace> place = ReadCoordinatePair(QString::fromUtf8(c.text));
    ASSERT_EQ(place.has_value(), c.is_pair);
    if (!place) continue;
    EXPECT_DOUBLE_EQ(place->latitude, c.latitude);
    EXPECT_DOUBLE_EQ(place->longitude, c.longitude);
    EXPECT_EQ(place->name, QString::fromUtf8(c.name));
  }
}

TEST(GeoPlaceTest, CoordinatesOutOfRangeAreRefusedWithTheReason) {
  struct Case {
    const char* text;
    const char* reason;
  };
  const Case cases[] = {
      {"95,10", "latitude 95 is outside -90 to 90"},
      {"-90.5,0", "latitude -90.5 is outside -90 to 90"},
      {"10,180.01", "longitude 180.01 is outside -180 to 180"},
      {"10,-200", "longitude -200 is outside -180 to 180"},
  };
  for (const Case& c : cases) {
    try {
      ReadCoordinatePair(QString::fromUtf8(c.text));
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const RunError& error) {
      EXPECT_EQ(error.Number(), ErrorNumber::kInvalidArgument);
      EXPECT_STREQ(error.what(), c.reason);
    }
  }
  EXPECT_TRUE(CoordinateProblem(90, 180).isEmpty());
  EXPECT_TRUE(CoordinateProblem(-90, -180).isEmpty());
}

TEST(GeoPlaceTest, DegreesAreWrittenWithSixPlacesAtMostAndNoTrailingZeros) {
  struct Case {
    double degrees;
    const char* text;
  };
  const Case cases[] = {
      {52.52, "52.52"},
      {-74.0, "-74"},
      {0.0, "0"},
      {-0.0, "0"},
      {-0.0000001, "0"},
      {13.41053, "13.41053"},
      {40.7141667, "40.714167"},
      {179.9999999, "180"},
      {-33.8688, "-33.8688"},
  };
  for (const Case& c : cases) EXPECT_EQ(DegreesText(c.degrees), QLatin1String(c.text)) << c.text;
}

}  // namespace
}  // namespace skyvane
