// Finding the place of --location: coordinates as they stand, names through
// the geocoding search (its address, its first result, the name shown), and
// the one-line reasons when nothing is found or the search fails.
#include <gtest/gtest.h>

#include <QString>
#include <QUrl>
#include <QUrlQuery>
#include <optional>

#include "panel/places/open_meteo_geocoding.h"
#include "panel/places/place_lookup.h"
#include "tests/panel/sources/recordings.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

const QString kService = QStringLiteral("http://127.0.0.1:9");

// Looks `text` up against a search that answers `fetched`; the failure's
// description when it raises.
struct Lookup {
  std::optional<GeoPlace> place;
  std::string failure;
  QString asked;
};

Lookup LookUp(const QString& text, const FetchResult& fetched, const QString& language = "en") {
  Lookup lookup;
  try {
    lookup.place = LookUpPlace(text, kService, language, [&](const QString& url) {
      lookup.asked = url;
      return fetched;
    });
  } catch (const RunError& error) {
    EXPECT_EQ(error.Number(), ErrorNumber::kInvalidArgument);
    lookup.failure = error.what();
  }
  return lookup;
}

FetchResult Answer(const char* recording) {
  return FetchResult{Recording(recording), QString()};
}

TEST(GeocodingAddressTest, EncodesTheNameAndAsksForOneResultInTheLanguage) {
  EXPECT_EQ(GeocodingAddress(QStringLiteral("https://geocoding-api.open-meteo.com"),
                             QStringLiteral("Berlin"), QStringLiteral("en")),
            QStringLiteral("https://geocoding-api.open-meteo.com/v1/search?name=Berlin&count=1&"
                           "language=en&format=json"));
  const QUrl address(GeocodingAddress(kService + u'/', QStringLiteral("São Paulo & Co+1 #2"),
                                      QStringLiteral("zh")));
  EXPECT_EQ(address.path(), QStringLiteral("/v1/search"));
  const QUrlQuery query(address);
  EXPECT_EQ(query.queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded),
            QStringLiteral("São Paulo & Co+1 #2"));
  EXPECT_EQ(query.queryItemValue(QStringLiteral("language")), QStringLiteral("zh"));
  EXPECT_EQ(query.queryItemValue(QStringLiteral("count")), QStringLiteral("1"));
  EXPECT_EQ(query.queryItemValue(QStringLiteral("format")), QStringLiteral("json"));
}

TEST(PlaceDisplayNameTest, JoinsNameRegionAndCountryWithoutRepeating) {
  struct Case {
    const char* name;
    const char* admin1;
    const char* country;
    const char* shown;
  };
  const Case cases[] = {
      {"Berlin", "Land Berlin", "Germany", "Berlin, Germany"},
      {"Tokyo", "Tokyo", "Japan", "Tokyo, Japan"},
      {"Springfield", "Illinois", "United States", "Springfield, Illinois, United States"},
      {"Monaco", "", "Monaco", "Monaco, Monaco"},
      {"Null Island", "", "", "Null Island"},
      {" Paris ", " Île-de-France ", " France ", "Paris, Île-de-France, France"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlaceDisplayName(QString::fromUtf8(c.name), QString::fromUtf8(c.admin1),
                               QString::fromUtf8(c.country)),
              QString::fromUtf8(c.shown))
        << c.name;
  }
}

TEST(PlaceLookupTest, TakesTheFirstResultOfTheSearch) {
  const Lookup lookup = LookUp(QStringLiteral("Berlin"), Answer("geocoding-berlin.json"));
  ASSERT_TRUE(lookup.place.has_value()) << lookup.failure;
  EXPECT_EQ(lookup.place->name, QStringLiteral("Berlin, Germany"));
  EXPECT_DOUBLE_EQ(lookup.place->latitude, 52.52437);
  EXPECT_DOUBLE_EQ(lookup.place->longitude, 13.41053);
  EXPECT_EQ(lookup.place->zone_id, QStringLiteral("Europe/Berlin"));
  EXPECT_EQ(lookup.asked, GeocodingAddress(kService, QStringLiteral("Berlin"), "en"));

  const Lookup chinese =
      LookUp(QStringLiteral(" 柏林 "), Answer("geocoding-berlin-zh.json"), QStringLiteral("zh"));
  ASSERT_TRUE(chinese.place.has_value()) << chinese.failure;
  EXPECT_EQ(chinese.place->name, QStringLiteral("柏林, 德国"));
  EXPECT_EQ(chinese.asked, GeocodingAddress(kService, QStringLiteral("柏林"), "zh"));
}

TEST(PlaceLookupTest, CoordinatesNeedNoSearch) {
  const Lookup lookup = LookUp(QStringLiteral("52.52,13.41"), FetchResult{});
  ASSERT_TRUE(lookup.place.has_value());
  EXPECT_EQ(lookup.place->name, QStringLiteral("52.52,13.41"));
  EXPECT_TRUE(lookup.asked.isEmpty());
}

TEST(PlaceLookupTest, FailuresAreOneLineThatSaysWhat) {
  struct Case {
    const char* text;
    FetchResult fetched;
    std::string failure;
  };
  const Case cases[] = {
      {"95,13", {}, "latitude 95 is outside -90 to 90"},
      {"Atlantis", Answer("geocoding-none.json"), "no place called \"Atlantis\" was found"},
      {"  ", {}, "no place called \"\" was found"},
      {"Berlin", FetchResult{QString(), QStringLiteral("Connection refused")},
       "cannot look up \"Berlin\": no answer: Connection refused"},
      {"Berlin", Answer("geocoding-error.json"),
       "cannot look up \"Berlin\": the geocoding service refused the request: Parameter count "
       "must be between 1 and 100."},
      {"Berlin", FetchResult{QStringLiteral("<html>"), QString()},
       "cannot look up \"Berlin\": the answer of the geocoding service is not JSON: "},
      {"Berlin",
       FetchResult{QStringLiteral("<html>"), QString(), 503, QStringLiteral("Service Unavailable")},
       "cannot look up \"Berlin\": the answer of the geocoding service is not JSON: Invalid JSON "
       "(the server answered HTTP 503 Service Unavailable)"},
      {"Berlin", FetchResult{QStringLiteral("{}"), QString(), 404, QStringLiteral("Not Found")},
       "cannot look up \"Berlin\": the geocoding service answered HTTP 404 Not Found"},
      {"Berlin", FetchResult{QStringLiteral(R"({"results":[{"name":"Berlin"}]})"), QString()},
       "cannot look up \"Berlin\": the first result of the geocoding service has no coordinates"},
      {"Berlin",
       FetchResult{QStringLiteral(R"({"results":[{"name":"X","latitude":91,"longitude":0}]})"),
                   QString()},
       "cannot look up \"Berlin\": the first result of the geocoding service has bad "
       "coordinates: latitude 91 is outside -90 to 90"},
      {"Berlin",
       FetchResult{QStringLiteral(R"({"results":[{"latitude":1,"longitude":0}]})"), QString()},
       "cannot look up \"Berlin\": the first result of the geocoding service has no name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const Lookup lookup = LookUp(QString::fromUtf8(c.text), c.fetched);
    EXPECT_FALSE(lookup.place.has_value());
    EXPECT_EQ(lookup.failure.substr(0, c.failure.size()), c.failure);
    EXPECT_EQ(lookup.failure.find('\n'), std::string::npos);
  }
}

TEST(PlaceLookupTest, AFailingFetchIsAFailedSearch) {
  std::string failure;
  try {
    LookUpPlace(QStringLiteral("Berlin"), kService, QStringLiteral("en"),
                [](const QString&) -> FetchResult {
                  Raise(ErrorNumber::kInvalidArgument, "the answer is larger than 8 bytes");
                });
  } catch (const RunError& error) {
    failure = error.what();
  }
  EXPECT_EQ(failure, "cannot look up \"Berlin\": the answer is larger than 8 bytes");
}

}  // namespace
}  // namespace skyvane
