// The form `Skyvane`: the panel's one borderless window with its 28
// controls, and its load handler.
//
// Constructing the form creates the window and every control with the
// stored design (layout_table.h), nothing else: no network, no settings.
// Form_Load then fills the columns. The form is shown by its owner after
// Form_Load returns, so it is first drawn with its columns written.
//
// After that the form refreshes when it is asked to (Refresh) and when its
// RefreshSchedule says a refresh is due. A later refresh reads the whole
// forecast into a hidden second set of columns first and shows it only when
// it ran to the end; otherwise the columns keep the last good forecast. The
// form keeps a PanelStatus of its refreshes, shows it as the tooltip of the
// panel over every control, and tells its owner of each change
// (statusChanged). The form reacts to what its owner connects to its slots
// and never reaches into the tray, the command channel or the sleep watch.
#ifndef SKYVANE_PANEL_SKYVANE_FORM_H_
#define SKYVANE_PANEL_SKYVANE_FORM_H_

#include <QDate>
#include <QIcon>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "panel/controls/panel_controls.h"
#include "panel/details/day_clicks.h"
#include "panel/fetch/forecast_services.h"
#include "panel/fetch/http_fetch.h"
#include "panel/geometry/twips.h"
#include "panel/instance/panel_status.h"
#include "panel/keep/kept_forecast.h"
#include "panel/places/geo_place.h"
#include "panel/refresh/column_set.h"
#include "panel/refresh/forecast_refresh.h"
#include "panel/schedule/refresh_schedule.h"
#include "panel/schedule/schedule_clock.h"
#include "panel/settings/position_store.h"
#include "panel/sources/forecast_source.h"
#include "panel/window/panel_window.h"

namespace skyvane {

struct SkyvaneOptions {
  // The whole address of the panel's own forecast document (--url); it
  // comes before every other source. Nothing: the source is chosen by
  // ChooseForecastSource.
  std::optional<QString> url;
  // The place given at start (--location), already looked up.
  std::optional<GeoPlace> location;
  // Where Open-Meteo and MET Norway are asked.
  ForecastServices services = ForecastServices::FromEnvironment();
  // The system time zone, e.g. "Europe/Berlin"; empty:
  // QTimeZone::systemTimeZoneId().
  QString zone_id;
  // The folder of tzdata's zone tables; empty: TzdataFolder().
  QString tzdata_folder;
  // The language of weather texts and place names, e.g. "zh"; empty:
  // InterfaceLanguageCode().
  QString language_code;
  // The locale the temperature unit (when none is kept in the settings'
  // "units") and the day captions of Open-Meteo follow; empty: the system
  // locale, or the locale of language_code when that names another
  // language.
  std::optional<QLocale> locale;
  // Today's local date, asked once per refresh.
  std::function<QDate()> today = [] { return QDate::currentDate(); };
  // The folder the icons are loaded from, ending in a separator. Empty:
  // the icon folder beside the running program, or else the one in the
  // installed data folder (FindIconBase).
  QString icon_folder;
  FetchLimits fetch_limits;
  // Twips per pixel; empty: the scale of the primary screen.
  std::optional<TwipScale> scale;
  // The settings file the panel's place and the chosen forecast place are
  // kept in; empty: the user's own (SettingsStore()).
  QString position_file;
  // Minutes between refreshes after the one at start; 0: none
  // (RefreshSchedule).
  int refresh_minutes = 0;
  // The clock refreshes are planned on, which must outlive the form;
  // nullptr: a SystemScheduleClock of the form's own.
  ScheduleClock* clock = nullptr;
  // The folder a place's last whole forecast is kept in (kept_forecast.h);
  // empty: KeptForecastFolder().
  QString kept_folder;
  // The unit of the retries after a failed refresh (RefreshSchedule::
  // SetRetryUnit); a minute but in tests.
  std::chrono::milliseconds retry_unit = std::chrono::minutes(1);
  // Moves each planned refresh by a part of its delay (RefreshSchedule::
  // SetSpread); empty: none. The program gives a random one
  // (RandomRefreshSpread), so that many panels do not ask at once.
  RefreshSchedule::Spread spread;
};

class Skyvane : public QWidget {
  Q_OBJECT
 public:
  // Raises RunError kInvalidArgument when the refresh timer of a
  // SystemScheduleClock cannot be made.
  explicit Skyvane(SkyvaneOptions options = {}, QWidget* parent = nullptr);

  // The load handler. Gives the window its look and place
  // (ApplyWindowSteps), then runs the forecast refresh from the source
  // ChooseForecastSource picks (kept in Source()). A refresh that stops
  // early leaves what it wrote, writes one line to standard error and is
  // kept in RefreshStopped(); the form stays usable either way.
  //
  // For a place, the forecast kept from an earlier run for the same place
  // and source is shown first, moved on to today (ShowKeptForecast) with
  // its days' details (ShowKeptDetails); the refresh then reads into hidden
  // columns as a later one does, so that a failure keeps the kept days.
  // With `refresh_after_show`, that refresh runs from the event loop, after
  // the owner has shown the form.
  void Form_Load(bool refresh_after_show = false);

  // The press handler of the form's bare surface (presses on the controls
  // never get here): drags the panel with any button and saves its place,
  // right after the press and again when the drag ends (PanelDrag).
  // `position` is the press point in the form's pixels.
  void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, const QPointF& position);

  // Where the panel's place is kept (SkyvaneOptions::position_file).
  PositionStore& Positions();
  // The settings file the panel's place is kept in, for the other settings
  // (the chosen place of the forecast).
  SettingsStore Settings() const;

  // The control arrays. Raise RunError kSubscriptOutOfRange for an index
  // outside 0 .. 6.
  PanelImage* Image1(int index) const;
  PanelLabel* Label1(int index) const;
  PanelLabel* Label2(int index) const;
  PanelLabel* Label3(int index) const;
  ColumnControls Columns() const;

  // The form first, then the 28 controls in creation order.
  std::vector<ControlState> ControlStates() const;

  const TwipScale& Scale() const { return scale_; }
  const SkyvaneOptions& Options() const { return options_; }
  // Where the last refresh stopped, or nothing if it ran to the end or has
  // not run.
  const std::optional<RefreshStop>& RefreshStopped() const { return refresh_stop_; }
  // The day details of the forecast shown, column 0 first; none for the
  // panel's own forecast service. A click on a column opens its popup.
  const std::vector<DayDetails>& Details() const { return day_clicks_->Days(); }
  DayClicks& DayPopups() { return *day_clicks_; }
  // The source of the last refresh (kNone before the first).
  const ForecastSource& Source() const { return source_; }

  // What the panel tells about its forecast now.
  PanelStatus Status() const;
  // True once RequestClose asked for the end (whether or not the form has
  // closed yet).
  bool CloseRequested() const { return close_requested_; }

  // Changes of the options after start, as a later start makes them; the
  // next refresh uses them. Setting a location drops the --url address,
  // which would come before it.
  void SetUrl(const QString& url);
  void SetLocation(const std::optional<GeoPlace>& location);

 public slots:
  // Refreshes the forecast now. A refresh asked for while one runs (the
  // fetch keeps the event loop going; Form_Load's included) follows it, once
  // however often it was asked; one asked for before Form_Load is left to
  // Form_Load.
  void Refresh();
  // Sets the minutes between refreshes (0: none), planned from the end of
  // the last refresh.
  void SetRefreshMinutes(int minutes);
  // The machine woke from suspend: a refresh is due when refreshes are
  // planned at all.
  void MachineWoke();
  // The network went offline or came back (NetworkWatch): planned refreshes
  // wait while it is offline.
  void SetOnline(bool online);
  // Moves the panel to its default place and forgets the saved one.
  void ResetPosition();
  // Shows a problem that is not a refresh's (a place that could not be
  // looked up) in the status until the next refresh ends.
  void ReportProblem(const QString& problem);
  // Closes the form, at once or, while a refresh runs, when it has ended.
  void RequestClose();

 signals:
  void statusChanged(const skyvane::PanelStatus& status);
  // Today's weather icon after a refresh; a null icon while there is none.
  void todayIconChanged(const QIcon& icon);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  // Starts the refresh that waits for the first paint (see Form_Load).
  void paintEvent(QPaintEvent* event) override;
  // Over a cut caption, shows the whole caption and then the status.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Runs the refresh at load (writing straight into the columns) or a later
  // one (staged), then those asked for meanwhile; ends the schedule's
  // refresh and publishes the status.
  void RunRefreshes(bool at_load);
  // One refresh, its columns written straight or staged.
  RefreshSchedule::Outcome RefreshOnce(bool staged);
  void PublishStatus();
  // The refresh that waited for the first paint, once.
  void RefreshAfterFirstPaint();
  // What the source is chosen from now: the options and the saved place.
  SourceChoice CurrentSourceChoice() const;
  // Shows the kept forecast of `source` from today on; false when there is
  // none to show (a problem with its file is written to standard error).
  bool ShowKept(const ForecastSource& source);
  // Keeps the forecast the columns were just filled from, with the details
  // of its days.
  void Keep(const ForecastAnswer& answer);
  // Offers the details kept with kept_, from `today` on, to the columns the
  // kept forecast shows: `columns` of them.
  void ShowKeptDetails(QDate today, int columns);
  // The kept file of `source`; empty for a source that keeps none.
  QString KeptPath(const ForecastSource& source) const;
  bool Stale() const;
  // Shows or hides the stale mark and arms its timer for when the shown
  // forecast turns stale.
  void UpdateStaleMark();
  // How an Open-Meteo forecast is shown now: the language, the unit kept in
  // the settings or else the locale's, the locale of the day captions.
  ForecastShowing CurrentShowing() const;
  // Writes to standard error, once per key and value, that the kept setting
  // `key` holds `value`, which makes no sense, and that `used` is used
  // instead. The setting stays in the file as it is.
  void NoteUnusableSetting(const char* key, const QString& value, const QString& used) const;

  SkyvaneOptions options_;
  // The settings NoteUnusableSetting wrote about, as "key=value".
  mutable QSet<QString> noted_settings_;
  TwipScale scale_;
  // The controls on the screen.
  ColumnSet shown_;
  std::optional<RefreshStop> refresh_stop_;
  ForecastSource source_;
  // Which service answered the last refresh, and what its terms said.
  SourceReport report_;
  // MET Norway's terms, kept between refreshes.
  std::unique_ptr<MetNorwayClient> met_norway_;
  std::unique_ptr<PositionStore> position_store_;
  std::unique_ptr<PanelDrag> drag_;
  std::unique_ptr<DayClicks> day_clicks_;

  std::unique_ptr<ScheduleClock> own_clock_;
  ScheduleClock* clock_;
  RefreshSchedule schedule_;
  std::optional<QDateTime> updated_;
  std::optional<QString> problem_;
  // When the forecast on the screen was fetched, and the day its first
  // column shows.
  std::optional<QDateTime> fetched_;
  QDate shown_first_day_;
  // The columns show a kept forecast, not one fetched by this run.
  bool kept_shown_ = false;
  // The place's forecast as last kept, to move on to a new day.
  std::optional<KeptForecast> kept_;
  // The kept place's unknown time zone, as last said on stderr.
  mutable QString zone_warned_;
  std::optional<std::chrono::seconds> retry_after_;
  QWidget* stale_mark_ = nullptr;
  QTimer* stale_timer_ = nullptr;
  bool loaded_ = false;
  // A refresh waits for the panel's first paint (or kFirstPaintWait).
  bool refresh_after_paint_ = false;
  bool refreshing_ = false;
  bool refresh_again_ = false;
  bool close_requested_ = false;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SKYVANE_FORM_H_
