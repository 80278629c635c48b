#include "panel/skyvane_form.h"
#include "panel/skyvane_accessible.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QTimeZone>
#include <QToolTip>
#include <chrono>
#include <cstdio>
#include <utility>

#include "panel/controls/icon_path.h"
#include "panel/places/saved_place.h"
#include "panel/places/zone_reference.h"
#include "panel/texts/terminal_text.h"
#include "panel/window/desktop_manners.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

// The form's font: the platform's default family at the size of a common
// dialog font (about 8 points at 96 dots per inch), so that a temperature
// such as "18℃-24℃" fits its label.
constexpr int kFormFontPixelSize = 11;

QString Text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

template <typename Control>
Control* Element(const std::array<Control*, kColumnCount>& array, int index) {
  if (index < 0 || index >= kColumnCount) {
    Raise(ErrorNumber::kSubscriptOutOfRange, QStringLiteral("control index %1 outside 0 to %2")
                                                 .arg(index)
                                                 .arg(kColumnCount - 1)
                                                 .toStdString());
  }
  return array[static_cast<std::size_t>(index)];
}

}  // namespace

Skyvane::Skyvane(SkyvaneOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      options_(std::move(options)),
      scale_(options_.scale ? *options_.scale
                            : TwipScale::ForScreen(QGuiApplication::primaryScreen())),
      own_clock_(options_.clock ? nullptr : std::make_unique<SystemScheduleClock>()),
      clock_(options_.clock ? options_.clock : own_clock_.get()),
      schedule_(clock_) {
  if (options_.icon_folder.isEmpty()) {
    options_.icon_folder = IconFolder(FindIconBase(QCoreApplication::applicationDirPath()));
  }
  GiveDesktopManners(*this);
  setObjectName(Text(kFormDesign.name));
  InstallFormAccessibility();
  setAccessibleName(QCoreApplication::translate("Skyvane", "Seven-day weather forecast"));
  setWindowTitle(Text(kFormDesign.caption));
  setFixedSize(scale_.ToPixels(QSize(kFormDesign.width, kFormDesign.height)));
  QPalette form_palette = palette();
  form_palette.setColor(QPalette::Window, BgrToColor(kFormDesign.back_color));
  setPalette(form_palette);
  setAutoFillBackground(true);
  QFont form_font = font();
  form_font.setPixelSize(kFormFontPixelSize);
  setFont(form_font);

  shown_ = CreateColumnSet(this, scale_);
  for (PanelControl* control : shown_.in_order) control->installEventFilter(this);
  schedule_.SetInterval(std::chrono::minutes(options_.refresh_minutes));
  connect(&schedule_, &RefreshSchedule::due, this, &Skyvane::Refresh);
}

void Skyvane::Form_Load() {
  ApplyWindowSteps(*this, scale_, Positions());
  RunRefreshes(true);
}

void Skyvane::Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers /*shift*/,
                             const QPointF& position) {
  if (!drag_) drag_ = std::make_unique<PanelDrag>(this, scale_, &Positions());
  drag_->Press(mapToGlobal(position).toPoint(), button);
}

PositionStore& Skyvane::Positions() {
  // Made on first use, so that creating the form touches no settings.
  if (!position_store_) {
    position_store_ = options_.position_file.isEmpty()
                          ? std::make_unique<PositionStore>()
                          : std::make_unique<PositionStore>(options_.position_file);
  }
  return *position_store_;
}

void Skyvane::mousePressEvent(QMouseEvent* event) {
  Form_MouseDown(event->button(), event->modifiers(), event->position());
  event->accept();
}

SettingsStore Skyvane::Settings() const {
  return options_.position_file.isEmpty() ? SettingsStore() : SettingsStore(options_.position_file);
}

SourceChoice Skyvane::CurrentSourceChoice() const {
  SourceChoice choice;
  choice.url = options_.url;
  choice.location = options_.location;
  choice.saved = ReadSavedPlace(Settings());
  choice.built_in_address = DefaultRequestAddress();
  choice.forecast_service = options_.services.forecast;
  choice.zone_id = options_.zone_id.isEmpty() ? QString::fromUtf8(QTimeZone::systemTimeZoneId())
                                              : options_.zone_id;
  choice.tzdata_folder = options_.tzdata_folder.isEmpty() ? TzdataFolder() : options_.tzdata_folder;
  choice.unit = CurrentShowing().unit;
  return choice;
}

ForecastShowing Skyvane::CurrentShowing() const {
  const QString language =
      options_.language_code.isEmpty() ? InterfaceLanguageCode() : options_.language_code;
  ForecastShowing showing;
  showing.language = WeatherLanguageOf(language);
  // The unit follows the locale's measurement (C: metric) even where the
  // captions fall back to another language's.
  const QLocale locale = options_.locale.value_or(QLocale::system());
  showing.locale = QLocale::languageToCode(locale.language(), QLocale::ISO639Part1) == language
                       ? locale
                       : QLocale(language);
  const QString kept = Settings().Read(QLatin1String(kUnitsKey));
  showing.unit = UnitNamed(kept).value_or(UnitOfLocale(locale));
  return showing;
}

void Skyvane::Refresh() {
  if (refreshing_) {
    refresh_again_ = true;
    return;
  }
  if (!loaded_) return;  // Form_Load refreshes with whatever is set by then
  RunRefreshes(false);
}

void Skyvane::RunRefreshes(bool at_load) {
  refreshing_ = true;
  schedule_.RefreshStarted();
  RefreshSchedule::Outcome outcome = RefreshOnce(!at_load);
  loaded_ = true;
  while (refresh_again_ && !close_requested_) {
    refresh_again_ = false;
    outcome = RefreshOnce(true);
  }
  refresh_again_ = false;
  refreshing_ = false;
  schedule_.RefreshEnded(outcome);
  PublishStatus();
  if (close_requested_) close();
}

RefreshSchedule::Outcome Skyvane::RefreshOnce(bool staged) {
  bool unanswered = false;
  const TextFetch fetch = [this, &unanswered](const QString& url) {
    FetchResult fetched = XMLHttpGET(url, options_.fetch_limits);
    if (!fetched.problem.isEmpty()) unanswered = true;
    return fetched;
  };
  source_ = ChooseForecastSource(CurrentSourceChoice());
  const ForecastShowing weather_language = CurrentShowing();
  if (staged) {
    // Read into hidden controls first; the screen changes only when the
    // whole forecast was read.
    QWidget stage(this);
    stage.hide();
    stage.resize(size());
    const ColumnSet staged_set = CreateColumnSet(&stage, scale_);
    refresh_stop_ = RefreshFromSource(source_, fetch, weather_language, options_.today(),
                                      options_.icon_folder, staged_set.columns);
    if (!refresh_stop_) CopyColumns(staged_set.columns, shown_.columns);
  } else {
    refresh_stop_ = RefreshFromSource(source_, fetch, weather_language, options_.today(),
                                      options_.icon_folder, shown_.columns);
  }
  if (refresh_stop_) {
    std::fprintf(stderr, "%s\n", RefreshStopLine(*refresh_stop_).toLocal8Bit().constData());
    std::fflush(stderr);
    problem_ = RefreshStopText(*refresh_stop_);
    return unanswered ? RefreshSchedule::Outcome::kNoAnswer : RefreshSchedule::Outcome::kFailed;
  }
  updated_ = clock_->Now();
  problem_.reset();
  return RefreshSchedule::Outcome::kUpdated;
}

PanelStatus Skyvane::Status() const {
  return PanelStatus{EscapeControls(source_.Name()), updated_, problem_, schedule_.Next()};
}

void Skyvane::PublishStatus() {
  const PanelStatus status = Status();
  setToolTip(PlainToolTip(StatusText(status)));
  setAccessibleDescription(StatusText(status));
  AnnounceFormChange(this);
  emit statusChanged(status);
  const PanelImage& today = *shown_.columns.image1[0];
  emit todayIconChanged(today.HasPicture() ? QIcon(today.pixmap()) : QIcon());
}

bool Skyvane::eventFilter(QObject* watched, QEvent* event) {
  auto* label = qobject_cast<PanelLabel*>(watched);
  if (event->type() != QEvent::ToolTip || label == nullptr || !label->IsElided()) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* help = static_cast<const QHelpEvent*>(event);
  QToolTip::showText(help->globalPos(),
                     PlainToolTip(label->Caption() + QStringLiteral("\n\n") + StatusText(Status())),
                     label);
  return true;
}

void Skyvane::SetUrl(const QString& url) {
  options_.url = url;
}

void Skyvane::SetLocation(const std::optional<GeoPlace>& location) {
  options_.url.reset();
  options_.location = location;
}

void Skyvane::SetRefreshMinutes(int minutes) {
  options_.refresh_minutes = minutes;
  schedule_.SetInterval(std::chrono::minutes(minutes));
  if (loaded_ && !refreshing_) PublishStatus();
}

void Skyvane::MachineWoke() {
  schedule_.Woke();
}

void Skyvane::ResetPosition() {
  if (!Positions().Forget()) {
    std::fprintf(stderr, "skyvane: cannot forget the saved position: %s\n",
                 Positions().LastError().toLocal8Bit().constData());
  }
  ApplyWindowSteps(*this, scale_, Positions());
}

void Skyvane::ReportProblem(const QString& problem) {
  problem_ = EscapeControls(problem);
  if (!refreshing_) PublishStatus();
}

void Skyvane::RequestClose() {
  close_requested_ = true;
  if (!refreshing_) close();
}

PanelImage* Skyvane::Image1(int index) const {
  return Element(shown_.columns.image1, index);
}
PanelLabel* Skyvane::Label1(int index) const {
  return Element(shown_.columns.label1, index);
}
PanelLabel* Skyvane::Label2(int index) const {
  return Element(shown_.columns.label2, index);
}
PanelLabel* Skyvane::Label3(int index) const {
  return Element(shown_.columns.label3, index);
}

ColumnControls Skyvane::Columns() const {
  return shown_.columns;
}

std::vector<ControlState> Skyvane::ControlStates() const {
  std::vector<ControlState> states;
  states.reserve(shown_.in_order.size() + 1);
  states.push_back(ControlState{objectName(), std::nullopt, windowTitle(), std::nullopt,
                                scale_.ToTwips(geometry()), std::nullopt, false});
  for (const PanelControl* control : shown_.in_order) states.push_back(control->State());
  return states;
}

}  // namespace skyvane
