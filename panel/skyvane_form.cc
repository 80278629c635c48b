#include "panel/skyvane_form.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QTimeZone>
#include <cstdio>
#include <utility>

#include "panel/desktop_manners.h"
#include "panel/forecast/saved_place.h"
#include "panel/forecast/zone_reference.h"
#include "panel/icon_path.h"
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
                            : TwipScale::ForScreen(QGuiApplication::primaryScreen())) {
  if (options_.icon_folder.isEmpty()) {
    options_.icon_folder = IconFolder(FindIconBase(QCoreApplication::applicationDirPath()));
  }
  GiveDesktopManners(*this);
  setObjectName(Text(kFormDesign.name));
  setWindowTitle(Text(kFormDesign.caption));
  setFixedSize(scale_.ToPixels(QSize(kFormDesign.width, kFormDesign.height)));
  QPalette form_palette = palette();
  form_palette.setColor(QPalette::Window, BgrToColor(kFormDesign.back_color));
  setPalette(form_palette);
  setAutoFillBackground(true);
  QFont form_font = font();
  form_font.setPixelSize(kFormFontPixelSize);
  setFont(form_font);

  controls_.reserve(kControlDesigns.size());
  for (const ControlDesign& design : kControlDesigns) {
    const auto index = static_cast<std::size_t>(design.index);
    if (design.kind == ControlKind::kImage) {
      image1_[index] = new PanelImage(design, scale_, this);
      controls_.push_back(image1_[index]);
      continue;
    }
    auto* label = new PanelLabel(design, scale_, this);
    if (design.array == "Label1") {
      label1_[index] = label;
    } else if (design.array == "Label2") {
      label2_[index] = label;
    } else {
      label3_[index] = label;
    }
    controls_.push_back(label);
  }
}

void Skyvane::Form_Load() {
  ApplyWindowSteps(*this, scale_, Positions());
  RefreshForecastColumns();
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
  return choice;
}

void Skyvane::RefreshForecastColumns() {
  const TextFetch fetch = [this](const QString& url) {
    return XMLHttpGET(url, options_.fetch_limits);
  };
  source_ = ChooseForecastSource(CurrentSourceChoice());
  const QString language =
      options_.language_code.isEmpty() ? InterfaceLanguageCode() : options_.language_code;
  refresh_stop_ = RefreshFromSource(source_, fetch, WeatherLanguageOf(language), options_.today(),
                                    options_.icon_folder, Columns());
  if (refresh_stop_) {
    std::fprintf(stderr, "%s\n", RefreshStopLine(*refresh_stop_).toLocal8Bit().constData());
    std::fflush(stderr);
  }
}

PanelImage* Skyvane::Image1(int index) const {
  return Element(image1_, index);
}
PanelLabel* Skyvane::Label1(int index) const {
  return Element(label1_, index);
}
PanelLabel* Skyvane::Label2(int index) const {
  return Element(label2_, index);
}
PanelLabel* Skyvane::Label3(int index) const {
  return Element(label3_, index);
}

ColumnControls Skyvane::Columns() const {
  return ColumnControls{label1_, label2_, image1_, label3_};
}

std::vector<ControlState> Skyvane::ControlStates() const {
  std::vector<ControlState> states;
  states.reserve(controls_.size() + 1);
  states.push_back(ControlState{objectName(), std::nullopt, windowTitle(), std::nullopt,
                                scale_.ToTwips(geometry()), std::nullopt, false});
  for (const PanelControl* control : controls_) states.push_back(control->State());
  return states;
}

}  // namespace skyvane
