#include "panel/skyvane_form.h"
#include "panel/skyvane_accessible.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPalette>
#include <QTimeZone>
#include <QToolTip>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <utility>

#include "panel/controls/icon_path.h"
#include "panel/keep/kept_columns.h"
#include "panel/places/saved_place.h"
#include "panel/places/zone_reference.h"
#include "panel/sources/day_details.h"
#include "panel/sources/met_norway_forecast.h"
#include "panel/texts/terminal_text.h"
#include "panel/window/desktop_manners.h"
#include "text/run_error.h"

namespace skyvane {

namespace {

// The form's font: the platform's default family at the size of a common
// dialog font (about 8 points at 96 dots per inch), so that a temperature
// such as "18℃-24℃" fits its label.
constexpr int kFormFontPixelSize = 11;
// How long the refresh after a shown kept forecast waits for the first paint.
constexpr int kFirstPaintWait = 1000;  // milliseconds

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

// The short name a source's kept file is named after; empty for a source
// whose forecast is not kept (the panel's own document).
QString KeptSourceName(const ForecastSource& source) {
  switch (source.kind) {
    case ForecastSource::Kind::kOpenMeteo:
      return QStringLiteral("open-meteo");
    case ForecastSource::Kind::kMetNorway:
      return QStringLiteral("met-norway");
    default:
      return QString();
  }
}

// Statuses of an answer that asks to be tried again later.
bool IsBusyStatus(int status) {
  return status == 429 || status == 500 || status == 502 || status == 503 || status == 504;
}

// The stale mark: a small amber dot in the top right corner of the panel,
// over no control's text.
constexpr int kStaleMarkPixels = 7;
constexpr int kStaleMarkMargin = 3;

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
  day_clicks_ = std::make_unique<DayClicks>(this, shown_.columns);
  schedule_.SetInterval(std::chrono::minutes(options_.refresh_minutes));
  met_norway_ = std::make_unique<MetNorwayClient>(
      [this](const QString& url, const FetchHeaders& headers) {
        return XMLHttpGET(url, options_.fetch_limits, headers);
      },
      [this] { return clock_->Now(); });
  if (const QString folder =
          options_.kept_folder.isEmpty() ? KeptForecastFolder() : options_.kept_folder;
      !folder.isEmpty()) {
    // Beside the kept forecast: the terms outlive the run.
    met_norway_->KeepIn(QDir(folder).filePath(QStringLiteral("terms-met-norway.json")));
  }
  schedule_.SetRetryUnit(options_.retry_unit);
  schedule_.SetSpread(options_.spread);
  connect(&schedule_, &RefreshSchedule::due, this, &Skyvane::Refresh);

  stale_timer_ = new QTimer(this);
  stale_timer_->setSingleShot(true);
  stale_timer_->setTimerType(Qt::VeryCoarseTimer);
  connect(stale_timer_, &QTimer::timeout, this, &Skyvane::PublishStatus);
}

void Skyvane::Form_Load(bool refresh_after_show) {
  ApplyWindowSteps(*this, scale_, Positions());
  if (ShowKept(ChooseForecastSource(CurrentSourceChoice())) && refresh_after_show) {
    loaded_ = true;
    PublishStatus();
    // The kept days are painted before the first fetch starts: that fetch
    // waits in a nested loop (and loads TLS first), which would otherwise
    // hold the first paint back. A panel that is never painted refreshes
    // after kFirstPaintWait all the same.
    refresh_after_paint_ = true;
    QTimer::singleShot(kFirstPaintWait, this, &Skyvane::RefreshAfterFirstPaint);
    return;
  }
  RunRefreshes(true);
}

QString Skyvane::KeptPath(const ForecastSource& source) const {
  const QString name = KeptSourceName(source);
  const QString folder =
      options_.kept_folder.isEmpty() ? KeptForecastFolder() : options_.kept_folder;
  if (name.isEmpty() || folder.isEmpty()) return QString();
  return KeptForecastPath(folder, name);
}

bool Skyvane::ShowKept(const ForecastSource& source) {
  const QString path = KeptPath(source);
  if (path.isEmpty()) return false;
  KeptRead read = ReadKeptForecast(path);
  if (!read.problem.isEmpty()) {
    std::fprintf(stderr, "skyvane: the kept forecast is ignored: %s\n",
                 EscapeControls(read.problem).toLocal8Bit().constData());
    std::fflush(stderr);
    return false;
  }
  if (!read.kept || read.kept->source != KeptSourceName(source) ||
      !SamePlace(read.kept->place, source.place)) {
    return false;
  }
  const QDate today = options_.today();
  const int columns =
      ShowKeptForecast(*read.kept, today, options_.icon_folder, this, scale_, shown_.columns);
  if (columns == 0) return false;
  source_ = source;
  fetched_ = read.kept->fetched;
  shown_first_day_ = today;
  kept_shown_ = true;
  kept_ = std::move(read.kept);
  ShowKeptDetails(today, columns);
  return true;
}

void Skyvane::ShowKeptDetails(QDate today, int columns) {
  day_clicks_->SetDays(
      ReadKeptDayDetails(kept_->details, today, columns, CurrentShowing().language));
}

void Skyvane::Keep(const ForecastAnswer& answer) {
  const QString path = KeptPath(source_);
  if (path.isEmpty()) return;
  KeptForecast kept{KeptSourceName(source_),
                    source_.place,
                    *fetched_,
                    answer.first_day.value_or(options_.today()),
                    answer.fetched.text,
                    QString()};
  if (!day_clicks_->Days().empty()) {
    kept.details = QString::fromStdString(KeptDayDetailsText(day_clicks_->Days()));
  }
  const QString problem = WriteKeptForecast(path, kept);
  if (!problem.isEmpty()) {
    std::fprintf(stderr, "skyvane: the forecast is not kept: %s\n",
                 EscapeControls(problem).toLocal8Bit().constData());
    std::fflush(stderr);
  }
  kept_ = std::move(kept);
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
  const SettingsStore settings = Settings();
  choice.saved = ReadSavedPlace(settings);
  if (!choice.saved.zone_problem.isEmpty() && choice.saved.zone_problem != zone_warned_) {
    // Said once, not at every refresh.
    zone_warned_ = choice.saved.zone_problem;
    std::fprintf(stderr, "skyvane: %s\n", EscapeControls(zone_warned_).toLocal8Bit().constData());
    std::fflush(stderr);
  }
  choice.built_in_address = DefaultRequestAddress();
  choice.forecast_service = options_.services.forecast;
  choice.met_norway_service = options_.services.met_norway;
  const QString kept_source = settings.Read(QLatin1String(kSourceKey));
  const std::optional<SourcePreference> preference = ReadSourcePreference(kept_source);
  choice.preference = preference.value_or(SourcePreference::kAuto);
  if (!preference && !kept_source.isEmpty()) {
    NoteUnusableSetting(kSourceKey, kept_source, SourcePreferenceText(choice.preference));
  }
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
  const std::optional<TemperatureUnit> kept_unit = UnitNamed(kept);
  showing.unit = kept_unit.value_or(UnitOfLocale(locale));
  if (!kept_unit && !kept.isEmpty()) {
    NoteUnusableSetting(kUnitsKey, kept, UnitName(showing.unit) + QStringLiteral(", the locale's"));
  }
  return showing;
}

void Skyvane::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (refresh_after_paint_) {
    QTimer::singleShot(0, this, &Skyvane::RefreshAfterFirstPaint);
  }
}

void Skyvane::RefreshAfterFirstPaint() {
  if (!refresh_after_paint_) return;
  refresh_after_paint_ = false;
  Refresh();
}

void Skyvane::NoteUnusableSetting(const char* key, const QString& value,
                                  const QString& used) const {
  const QString setting = QLatin1String(key) + u'=' + value;
  if (noted_settings_.contains(setting)) return;
  noted_settings_.insert(setting);
  std::fprintf(stderr, "skyvane: the kept setting %s is not understood; using %s\n",
               EscapeControls(setting).toLocal8Bit().constData(),
               EscapeControls(used).toLocal8Bit().constData());
  std::fflush(stderr);
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
  refresh_after_paint_ = false;  // this is that refresh, or a later one
  refreshing_ = true;
  schedule_.RefreshStarted();
  RefreshSchedule::Outcome outcome = RefreshOnce(!at_load || kept_shown_);
  loaded_ = true;
  while (refresh_again_ && !close_requested_) {
    refresh_again_ = false;
    outcome = RefreshOnce(true);
  }
  refresh_again_ = false;
  refreshing_ = false;
  // A place's forecast is retried, and moved on after midnight, whatever
  // the interval; the panel's own document only at an interval.
  schedule_.SetRetryByDefault(source_.kind != ForecastSource::Kind::kPanelDocument &&
                              source_.kind != ForecastSource::Kind::kNone);
  // A failed refresh on a new day moves the kept days on to it.
  const QDate today = options_.today();
  if (refresh_stop_ && kept_ && shown_first_day_.isValid() && shown_first_day_ != today &&
      KeptSourceName(source_) == kept_->source && SamePlace(kept_->place, source_.place)) {
    const int columns =
        ShowKeptForecast(*kept_, today, options_.icon_folder, this, scale_, shown_.columns);
    if (columns > 0) {
      shown_first_day_ = today;
      ShowKeptDetails(today, columns);
    }
  }
  schedule_.RefreshEnded(outcome, retry_after_);
  PublishStatus();
  if (close_requested_) close();
}

RefreshSchedule::Outcome Skyvane::RefreshOnce(bool staged) {
  bool unanswered = false;
  bool busy = false;
  retry_after_.reset();
  const TextFetch fetch = [this, &unanswered, &busy](const QString& url) {
    FetchResult fetched = XMLHttpGET(url, options_.fetch_limits);
    if (!fetched.problem.isEmpty()) unanswered = true;
    if (IsBusyStatus(fetched.status)) {
      busy = true;
      retry_after_ = fetched.retry_after;
    }
    return fetched;
  };
  ForecastAnswer answered;
  source_ = ChooseForecastSource(CurrentSourceChoice());
  const ForecastShowing weather_language = CurrentShowing();
  std::vector<DayDetails> details;
  if (staged) {
    // Read into hidden controls first; the screen changes only when the
    // whole forecast was read.
    QWidget stage(this);
    stage.hide();
    stage.resize(size());
    const ColumnSet staged_set = CreateColumnSet(&stage, scale_);
    refresh_stop_ =
        RefreshFromSource(source_, fetch, weather_language, options_.today(), options_.icon_folder,
                          staged_set.columns, met_norway_.get(), &report_, &details, &answered);
    if (!refresh_stop_) {
      CopyColumns(staged_set.columns, shown_.columns);
      day_clicks_->SetDays(std::move(details));
    }
  } else {
    refresh_stop_ =
        RefreshFromSource(source_, fetch, weather_language, options_.today(), options_.icon_folder,
                          shown_.columns, met_norway_.get(), &report_, &details, &answered);
    day_clicks_->SetDays(std::move(details));
  }
  if (refresh_stop_) {
    std::fprintf(stderr, "%s\n", RefreshStopLine(*refresh_stop_).toLocal8Bit().constData());
    std::fflush(stderr);
    problem_ = RefreshStopText(*refresh_stop_);
    if (unanswered) return RefreshSchedule::Outcome::kNoAnswer;
    return busy ? RefreshSchedule::Outcome::kBusy : RefreshSchedule::Outcome::kFailed;
  }
  updated_ = clock_->Now();
  fetched_ = updated_;
  shown_first_day_ = options_.today();
  kept_shown_ = false;
  problem_.reset();
  Keep(answered);
  return RefreshSchedule::Outcome::kUpdated;
}

bool Skyvane::Stale() const {
  return fetched_ && (kept_shown_ || fetched_->secsTo(clock_->Now()) > kStaleAfterSeconds);
}

void Skyvane::UpdateStaleMark() {
  const bool stale = Stale();
  if (stale && stale_mark_ == nullptr) {
    // Made when first needed, so that a panel that never shows a stale
    // forecast holds its 28 controls and nothing else.
    stale_mark_ = new QFrame(this);
    stale_mark_->setObjectName(QStringLiteral("StaleMark"));
    stale_mark_->setAttribute(Qt::WA_TransparentForMouseEvents);
    stale_mark_->setStyleSheet(
        QStringLiteral("background: #E0A000; border-radius: %1px;").arg(kStaleMarkPixels / 2));
    stale_mark_->setGeometry(width() - kStaleMarkPixels - kStaleMarkMargin, kStaleMarkMargin,
                             kStaleMarkPixels, kStaleMarkPixels);
  }
  if (stale_mark_ != nullptr) {
    stale_mark_->setVisible(stale);
    stale_mark_->raise();
  }
  stale_timer_->stop();
  if (!stale && fetched_) {
    const qint64 left = clock_->Now().msecsTo(fetched_->addSecs(kStaleAfterSeconds));
    stale_timer_->start(std::chrono::milliseconds(std::max<qint64>(left, 0) + 1000));
  }
}

PanelStatus Skyvane::Status() const {
  // The place, then which service answered when that is not plain
  // Open-Meteo, its credit, and what its terms said.
  QString source = source_.Name();
  const bool met_norway = report_.answered_by == QLatin1String(kMetNorwayName);
  if (met_norway || !report_.first_failure.isEmpty()) {
    source += QStringLiteral(", from ") + report_.Text();
  }
  if (met_norway) source += QStringLiteral("; ") + QLatin1String(kMetNorwayCredit);
  if (!report_.note.isEmpty()) source += QStringLiteral("; ") + report_.note;
  return PanelStatus{EscapeControls(source), updated_, problem_,
                     schedule_.Next(),       fetched_, Stale()};
}

void Skyvane::PublishStatus() {
  UpdateStaleMark();
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
  if (event->type() != QEvent::ToolTip || label == nullptr || !label->ShowsLess()) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* help = static_cast<const QHelpEvent*>(event);
  QToolTip::showText(
      help->globalPos(),
      PlainToolTip(label->WholeText() + QStringLiteral("\n\n") + StatusText(Status())), label);
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

void Skyvane::SetOnline(bool online) {
  schedule_.SetOnline(online);
  if (loaded_ && !refreshing_) PublishStatus();
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
