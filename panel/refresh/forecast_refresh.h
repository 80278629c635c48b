// The forecast refresh: fetch the seven-day forecast and write it into the
// panel's seven columns.
//
// Column c (0 .. 6) is written from day record c + 1 of the document's
// "data" list, field by field: the day of the month with "号", the weather
// text, the icon, the temperature text "tem2-tem1", and the temperature
// colour (blue when the first two characters of tem2 read as a number of
// at most 15, red when at least 25, untouched otherwise). A source that
// knows more may add, neither of which the panel's own service writes: a
// document-level "day_captions" list whose item c + 1 replaces the day
// text of column c, and a record member "tem_tone" ("cold", "hot", or
// anything else for neither) that decides the colour in place of tem2's
// first characters, which do not measure a ℉ caption. The first step that
// fails ends the refresh; everything written before it stays, every field
// after it keeps what it held. A column whose texts were all read gets its
// phrase for screen readers (column_speech.h) as the accessible name of its
// day label.
#ifndef SKYVANE_PANEL_REFRESH_FORECAST_REFRESH_H_
#define SKYVANE_PANEL_REFRESH_FORECAST_REFRESH_H_

#include <QDate>
#include <QString>
#include <array>
#include <functional>
#include <optional>

#include "panel/controls/layout_table.h"
#include "panel/fetch/http_fetch.h"
#include "text/run_error.h"

namespace skyvane {

class PanelImage;
class PanelLabel;

// The request address without its host, which the build sets.
inline constexpr char kRequestPathAndQuery[] = "/api?version=v1&appid=48157302&appsecret=Qw7rZp2K";
// "http://" + the build's weather host + kRequestPathAndQuery.
QString DefaultRequestAddress();

inline constexpr BgrColor kColdColor = 0xFF0000;  // blue
inline constexpr BgrColor kHotColor = 0x0000FF;   // red
inline constexpr int kColdAtOrBelow = 15;
inline constexpr int kHotAtOrAbove = 25;
// How many leading characters of tem2 the colour test reads.
inline constexpr int kTemperatureTestLength = 2;
// The optional members a source other than the panel's own service writes
// (the own service's records have a "day" of their own, which the fill
// never reads), and the values of kToneKey that colour the temperature.
// kWholeWeatherKey holds the whole weather text of a record whose "wea" is
// its short form: the column shows "wea", its tooltip and the screen reader
// the whole text.
inline constexpr char16_t kDayCaptionsKey[] = u"day_captions";
inline constexpr char16_t kWholeWeatherKey[] = u"wea_whole";
inline constexpr char16_t kToneKey[] = u"tem_tone";
inline constexpr char kColdTone[] = "cold";
inline constexpr char kHotTone[] = "hot";
// Follows the day number: U+53F7, the sign for a day of the month.
inline constexpr char16_t kDaySign = u'号';

// The controls of the seven columns; element i of each array is column i.
// None may be null.
struct ColumnControls {
  std::array<PanelLabel*, kColumnCount> label1{};  // day
  std::array<PanelLabel*, kColumnCount> label2{};  // weather text
  std::array<PanelImage*, kColumnCount> image1{};  // icon
  std::array<PanelLabel*, kColumnCount> label3{};  // temperature
};

// The longest reason RefreshStopLine writes whole.
inline constexpr qsizetype kMaxStopReasonChars = 1000;

// Where and why a refresh ended early. A failure before the columns (the
// fetch) is reported at column 0.
struct RefreshStop {
  int column = 0;
  ErrorNumber number = ErrorNumber::kInvalidArgument;
  QString reason;
};

// The day text of `column` (0 .. 6) on `today`: column 0 is the day of the
// month with two digits ("08"), the others the day `column` days later with
// no leading zero ("9", "1").
QString DayText(QDate today, int column);

// Fills the columns from `forecast`, a JSON text. `today` is the local date
// the days count from; `icon_folder` ends in a separator (IconFolder).
// Raises the RunError of the first failing step: the text ends before the
// document closes, so it was cut short (kInvalidArgument, before anything
// is written), the text has no JSON object (kObjectRequired), "data" is no
// list or a record no object (kObjectRequired), the list has fewer than
// seven records (kSubscriptOutOfRange), a value is null or a container
// (kTypeMismatch), an icon is missing, unsafe or no picture
// (kInvalidArgument), tem2 does not start with a number (kTypeMismatch).
// `*column`, when given, holds the column being written, so after a raise
// the column that failed.
void FillColumns(const QString& forecast, QDate today, const QString& icon_folder,
                 const ColumnControls& controls, int* column = nullptr);

// The whole refresh: fetches `url` with `fetch`, then FillColumns. Returns
// nothing when all seven columns were written, otherwise where and why it
// stopped; a reason that follows a fetch that got no answer names that too,
// and one that follows an answer with a status outside 2xx names the status
// ("... (the server answered HTTP 503 Service Unavailable)").
// Exceptions other than RunError pass through.
std::optional<RefreshStop> RefreshForecast(const QString& url, const TextFetch& fetch, QDate today,
                                           const QString& icon_folder,
                                           const ColumnControls& controls);

// A forecast as a source hands it to the refresh: the fetch's result with
// its text in the panel's own document form, and the date of the first day
// record when the source names it (otherwise the days count from today).
struct ForecastAnswer {
  FetchResult fetched;
  std::optional<QDate> first_day;
};
// Obtains the forecast; raises RunError when there is none to be had.
using ForecastFetch = std::function<ForecastAnswer()>;

// The same refresh for a forecast that `fetch` obtains and may convert
// first: a RunError it raises stops the refresh at column 0. `answered`,
// when given, receives what `fetch` returned (left as it was when it
// raised).
std::optional<RefreshStop> RefreshForecast(const ForecastFetch& fetch, QDate today,
                                           const QString& icon_folder,
                                           const ColumnControls& controls,
                                           ForecastAnswer* answered = nullptr);

// The line the program writes to standard error for `stop`, without the
// line end: "skyvane: forecast refresh stopped at column N: REASON". The
// reason quotes texts from the network, so its control characters are
// written escaped (EscapeControls) and a reason longer than
// kMaxStopReasonChars is cut there and ends in "...".
QString RefreshStopLine(const RefreshStop& stop);
// The same line without the program's name, as the panel's status shows it:
// "forecast refresh stopped at column N: REASON".
QString RefreshStopText(const RefreshStop& stop);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_REFRESH_FORECAST_REFRESH_H_
