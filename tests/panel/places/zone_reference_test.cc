// The reference place of a time zone: ISO 6709 coordinates, rows of the zone
// tables, links, and the order in which the tables are asked.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "panel/places/zone_reference.h"

namespace skyvane {
namespace {

TEST(ZoneReferenceTest, ReadsIso6709InDegreesMinutesAndSeconds) {
  struct Case {
    const char* text;
    bool valid;
    double latitude;
    double longitude;
  };
  const Case cases[] = {
      {"+5230+01322", true, 52.5, 13.366667},
      {"+404251-0740023", true, 40.714167, -74.006389},
      {"-3352+15113", true, -33.866667, 151.216667},
      {"-0000+00000", true, 0.0, 0.0},
      {"+5230+0132", false, 0, 0},     // longitude needs three degree digits
      {"+404251-07400", false, 0, 0},  // seconds on one side only
      {"5230+01322", false, 0, 0},     // no sign
      {"+9130+01322", false, 0, 0},    // out of range
      {"+5230+01322 ", false, 0, 0},
      {"", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<GeoPlace> place = ReadIso6709(QString::fromLatin1(c.text));
    ASSERT_EQ(place.has_value(), c.valid);
    if (!place) continue;
    EXPECT_NEAR(place->latitude, c.latitude, 1e-6);
    EXPECT_NEAR(place->longitude, c.longitude, 1e-6);
  }
}

constexpr char kTable[] =
    "# comment\tline\tEurope/Fake\n"
    "#codes\tcoordinates\tTZ\tcomments\n"
    "DE,DK\t+5230+01322\tEurope/Berlin\tmost of Germany\n"
    "US\t+404251-0740023\tAmerica/New_York\tEastern (most areas)\n"
    "XX\tbad\tEurope/Broken\n"
    "IN\t+2232+08822\tAsia/Kolkata\r\n";

TEST(ZoneReferenceTest, FindsTheRowOfAZoneAndNothingElse) {
  const QString table = QString::fromLatin1(kTable);
  const std::optional<GeoPlace> berlin = FindZoneRow(table, QStringLiteral("Europe/Berlin"));
  ASSERT_TRUE(berlin.has_value());
  EXPECT_NEAR(berlin->latitude, 52.5, 1e-9);
  const std::optional<GeoPlace> kolkata = FindZoneRow(table, QStringLiteral("Asia/Kolkata"));
  ASSERT_TRUE(kolkata.has_value());
  EXPECT_NEAR(kolkata->longitude, 88.366667, 1e-6);
  for (const char* absent : {"Europe/Fake", "Europe/Broken", "Europe", "Berlin", "", "TZ"}) {
    EXPECT_FALSE(FindZoneRow(table, QString::fromLatin1(absent)).has_value()) << absent;
  }
}

TEST(ZoneReferenceTest, FollowsLinkLinesOnly) {
  const QString links = QStringLiteral(
      "Z America/New_York -4:56:2 - LMT 1883 N 18 17u\n"
      "L America/New_York US/Eastern\n"
      "L Etc/UTC UTC\n"
      "R US 1967 2006 - O lSu 2 0 S\n");
  EXPECT_EQ(FindZoneLinkTarget(links, QStringLiteral("US/Eastern")),
            QStringLiteral("America/New_York"));
  EXPECT_EQ(FindZoneLinkTarget(links, QStringLiteral("UTC")), QStringLiteral("Etc/UTC"));
  EXPECT_TRUE(FindZoneLinkTarget(links, QStringLiteral("America/New_York")).isEmpty());
  EXPECT_TRUE(FindZoneLinkTarget(links, QStringLiteral("US")).isEmpty());
}

class ZoneFolderTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void Write(const char* name, const char* text) {
    QFile file(QDir(dir_.path()).filePath(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  std::optional<GeoPlace> Place(const char* zone) {
    return ZoneReferencePlace(QString::fromLatin1(zone), dir_.path());
  }
  QTemporaryDir dir_;
};

TEST_F(ZoneFolderTest, AsksZone1970ThenZoneTabThenTheLinkTarget) {
  Write(kZone1970Table, "DE,NO\t+5230+01322\tEurope/Berlin\n");
  Write(kZoneTable,
        "DE\t+5200+01300\tEurope/Berlin\n"
        "NO\t+5955+01045\tEurope/Oslo\n");
  Write(kZoneLinks,
        "L Europe/Berlin Europe/Tiergarten\n"
        "L Europe/Tiergarten Europe/Zoo\n"
        "L Etc/UTC UTC\n");
  struct Case {
    const char* zone;
    bool found;
    double latitude;
    const char* name;
  };
  const Case cases[] = {
      {"Europe/Berlin", true, 52.5, "Berlin (Europe/Berlin)"},  // zone1970.tab wins
      {"Europe/Oslo", true, 59.916667, "Oslo (Europe/Oslo)"},
      {"Europe/Zoo", true, 52.5, "Berlin (Europe/Zoo)"},  // a link to a link
      {"UTC", false, 0, ""},
      {"Etc/GMT+5", false, 0, ""},
      {"", false, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.zone);
    const std::optional<GeoPlace> place = Place(c.zone);
    ASSERT_EQ(place.has_value(), c.found);
    if (!place) continue;
    EXPECT_NEAR(place->latitude, c.latitude, 1e-6);
    EXPECT_EQ(place->name, QString::fromLatin1(c.name));
  }
}

TEST_F(ZoneFolderTest, ALinkLoopEnds) {
  Write(kZone1970Table, "");
  Write(kZoneLinks, "L Loop/B Loop/A\nL Loop/A Loop/B\n");
  EXPECT_FALSE(Place("Loop/A").has_value());
}

TEST_F(ZoneFolderTest, NoTablesNoPlace) {
  EXPECT_FALSE(Place("Europe/Berlin").has_value());
}

// The tables the system's tzdata package installs.
TEST(SystemZoneTablesTest, PlaceTheCommonZones) {
  const QString folder = QLatin1String(kDefaultTzdataFolder);
  if (!QFile::exists(QDir(folder).filePath(QLatin1String(kZone1970Table)))) {
    GTEST_SKIP() << "tzdata is not installed";
  }
  const std::optional<GeoPlace> new_york =
      ZoneReferencePlace(QStringLiteral("America/New_York"), folder);
  ASSERT_TRUE(new_york.has_value());
  EXPECT_NEAR(new_york->latitude, 40.714167, 1e-6);
  EXPECT_NEAR(new_york->longitude, -74.006389, 1e-6);
  EXPECT_EQ(new_york->name, QStringLiteral("New York (America/New_York)"));
  const std::optional<GeoPlace> eastern = ZoneReferencePlace(QStringLiteral("US/Eastern"), folder);
  ASSERT_TRUE(eastern.has_value());
  EXPECT_EQ(eastern->name, QStringLiteral("New York (US/Eastern)"));
  EXPECT_TRUE(ZoneReferencePlace(QStringLiteral("Asia/Shanghai"), folder).has_value());
  EXPECT_TRUE(ZoneReferencePlace(QStringLiteral("Asia/Calcutta"), folder).has_value());
  EXPECT_FALSE(ZoneReferencePlace(QStringLiteral("Etc/UTC"), folder).has_value());
  EXPECT_FALSE(ZoneReferencePlace(QStringLiteral("UTC"), folder).has_value());
}

}  // namespace
}  // namespace skyvane
