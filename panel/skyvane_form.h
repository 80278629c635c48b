// The form `Skyvane`: the panel's one borderless window with its 28
// controls, and its load handler.
//
// Constructing the form creates the window and every control with the
// stored design (layout_table.h), nothing else: no network, no settings.
// Form_Load then fills the columns. The form is shown by its owner after
// Form_Load returns, so it is first drawn with its columns written.
#ifndef SKYVANE_PANEL_SKYVANE_FORM_H_
#define SKYVANE_PANEL_SKYVANE_FORM_H_

#include <QDate>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "panel/forecast/forecast_services.h"
#include "panel/forecast/forecast_source.h"
#include "panel/forecast/geo_place.h"
#include "panel/forecast_refresh.h"
#include "panel/http_fetch.h"
#include "panel/panel_controls.h"
#include "panel/panel_window.h"
#include "panel/position_store.h"
#include "panel/twips.h"

namespace skyvane {

struct SkyvaneOptions {
  // The whole address of the panel's own forecast document (--url); it
  // comes before every other source. Nothing: the source is chosen by
  // ChooseForecastSource.
  std::optional<QString> url;
  // The place given at start (--location), already looked up.
  std::optional<GeoPlace> location;
  // Where Open-Meteo is asked.
  ForecastServices services = ForecastServices::FromEnvironment();
  // The system time zone, e.g. "Europe/Berlin"; empty:
  // QTimeZone::systemTimeZoneId().
  QString zone_id;
  // The folder of tzdata's zone tables; empty: TzdataFolder().
  QString tzdata_folder;
  // The language of weather texts and place names, e.g. "zh"; empty:
  // InterfaceLanguageCode().
  QString language_code;
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
};

class Skyvane : public QWidget {
  Q_OBJECT
 public:
  explicit Skyvane(SkyvaneOptions options = {}, QWidget* parent = nullptr);

  // The load handler. Gives the window its look and place
  // (ApplyWindowSteps), then runs the forecast refresh from the source
  // ChooseForecastSource picks (kept in Source()). A refresh that stops
  // early leaves what it wrote, writes one line to standard error and is
  // kept in RefreshStopped(); the form stays usable either way.
  void Form_Load();

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
  // The source of the last refresh (kNone before the first).
  const ForecastSource& Source() const { return source_; }

 protected:
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void RefreshForecastColumns();
  // What the source is chosen from now: the options and the saved place.
  SourceChoice CurrentSourceChoice() const;

  SkyvaneOptions options_;
  TwipScale scale_;
  std::array<PanelImage*, kColumnCount> image1_{};
  std::array<PanelLabel*, kColumnCount> label1_{};
  std::array<PanelLabel*, kColumnCount> label2_{};
  std::array<PanelLabel*, kColumnCount> label3_{};
  // Every control in creation order; owned by the form as Qt children.
  std::vector<PanelControl*> controls_;
  std::optional<RefreshStop> refresh_stop_;
  ForecastSource source_;
  std::unique_ptr<PositionStore> position_store_;
  std::unique_ptr<PanelDrag> drag_;
};

}  // namespace skyvane

#endif  // SKYVANE_PANEL_SKYVANE_FORM_H_
