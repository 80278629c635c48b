#include "panel/details/day_popup.h"

#include <QFont>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace skyvane {

namespace {

constexpr int kMargin = 12;
constexpr int kLineHeight = 17;
// The chart: the temperature line above, the bars of the chances beneath.
constexpr QRect kLineArea{40, DayPopup::kChartTop, 286,
                          DayPopup::kChartBottom - DayPopup::kChartTop + 1};
constexpr QRect kBarArea{40, 156, 286, 32};
constexpr int kHourMarkEvery = 3;

const QColor kLineColor(224, 96, 16);
const QColor kBarColor(48, 128, 224, 170);

std::optional<double> ValueOf(const std::optional<Decimal>& value) {
  if (!value) return std::nullopt;
  return value->ToDouble();
}

QString Dash() {
  return QStringLiteral("–");
}

QString Degrees(const std::optional<Decimal>& value) {
  if (!value) return Dash();
  return QLocale().toString(static_cast<int>(std::lround(value->ToDouble()))) + u'°';
}

double HourX(int hour) {
  return kLineArea.left() + (hour + 0.5) * kLineArea.width() / kHoursPerDay;
}

// The unit as the popup writes it: the service spells miles per hour "mp/h".
QString UnitText(const QString& unit) {
  return unit == QLatin1String("mp/h") ? QStringLiteral("mph") : unit;
}

QString CompassText(const char* point) {
  const QString code = QLatin1String(point);
  if (code == QLatin1String("N")) return DayPopup::tr("N", "compass point");
  if (code == QLatin1String("NE")) return DayPopup::tr("NE", "compass point");
  if (code == QLatin1String("E")) return DayPopup::tr("E", "compass point");
  if (code == QLatin1String("SE")) return DayPopup::tr("SE", "compass point");
  if (code == QLatin1String("S")) return DayPopup::tr("S", "compass point");
  if (code == QLatin1String("SW")) return DayPopup::tr("SW", "compass point");
  if (code == QLatin1String("W")) return DayPopup::tr("W", "compass point");
  return DayPopup::tr("NW", "compass point");
}

// The hourly temperatures as a line; an absent hour breaks it, and an hour
// alone between gaps is a dot.
void DrawTemperatures(QPainter& painter, const DayDetails& day) {
  double low = 1e9;
  double high = -1e9;
  for (const std::optional<Decimal>& value : day.hourly_temperature) {
    if (!value) continue;
    low = std::min(low, value->ToDouble());
    high = std::max(high, value->ToDouble());
  }
  // At least four degrees from bottom to top, so that a flat day is flat.
  const double middle = (low + high) / 2;
  const double half = std::max((high - low) / 2, 2.0);
  low = middle - half;
  high = middle + half;
  auto y_of = [&](double t) {
    return kLineArea.bottom() - (t - low) / (high - low) * (kLineArea.height() - 8) - 4;
  };

  painter.drawText(QRectF(0, kLineArea.top() - 4, kLineArea.left() - 4, kLineHeight),
                   Qt::AlignRight | Qt::AlignVCenter,
                   QLocale().toString(static_cast<int>(std::lround(high))) + u'°');
  painter.drawText(
      QRectF(0, kLineArea.bottom() - kLineHeight + 4, kLineArea.left() - 4, kLineHeight),
      Qt::AlignRight | Qt::AlignVCenter,
      QLocale().toString(static_cast<int>(std::lround(low))) + u'°');

  QPainterPath path;
  bool drawing = false;
  for (int hour = 0; hour < kHoursPerDay; ++hour) {
    const std::optional<double> t = ValueOf(day.hourly_temperature[static_cast<std::size_t>(hour)]);
    if (!t) {
      drawing = false;
      continue;
    }
    const QPointF point(HourX(hour), y_of(*t));
    const bool alone = !drawing && (hour + 1 >= kHoursPerDay ||
                                    !day.hourly_temperature[static_cast<std::size_t>(hour + 1)]);
    if (alone) {
      painter.setPen(Qt::NoPen);
      painter.setBrush(kLineColor);
      painter.drawEllipse(point, 2.5, 2.5);
      painter.setBrush(Qt::NoBrush);
    }
    if (drawing) {
      path.lineTo(point);
    } else {
      path.moveTo(point);
    }
    drawing = true;
  }
  painter.setPen(QPen(kLineColor, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPath(path);
}

void DrawChances(QPainter& painter, const DayDetails& day) {
  const double slot = static_cast<double>(kBarArea.width()) / kHoursPerDay;
  painter.setPen(Qt::NoPen);
  painter.setBrush(kBarColor);
  for (int hour = 0; hour < kHoursPerDay; ++hour) {
    const std::optional<double> chance =
        ValueOf(day.hourly_precipitation_chance[static_cast<std::size_t>(hour)]);
    if (!chance || *chance <= 0) continue;
    const double height = std::clamp(*chance, 0.0, 100.0) / 100.0 * kBarArea.height();
    painter.drawRect(QRectF(kBarArea.left() + hour * slot + 1, kBarArea.bottom() + 1 - height,
                            slot - 2, height));
  }
  painter.setBrush(Qt::NoBrush);
}

}  // namespace

DayPopup::DayPopup(QWidget* parent) : QWidget(parent, Qt::Popup) {
  setFixedSize(kSize);
  setAutoFillBackground(true);
  setAttribute(Qt::WA_DeleteOnClose, false);
}

double DayPopup::ChartX(int hour) {
  return HourX(hour);
}

QColor DayPopup::LineColor() {
  return kLineColor;
}

QString DayPopup::FullDateText(QDate date) {
  return QLocale().toString(date, QLocale::LongFormat);
}

void DayPopup::SetDay(const DayDetails& details, std::optional<int> current_hour) {
  details_ = details;
  current_hour_ = current_hour;
  const QString date = FullDateText(details.date);
  setWindowTitle(date);
  setAccessibleName(date + QStringLiteral(": ") + details.weather_text);
  update();
}

void DayPopup::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor text = palette().color(QPalette::WindowText);
  QColor faint = text;
  faint.setAlphaF(0.35F);
  painter.setPen(QPen(faint, 1));
  painter.drawRect(QRectF(0.5, 0.5, width() - 1, height() - 1));

  const DayDetails& day = details_;
  QFont bold = font();
  bold.setBold(true);
  bold.setPixelSize(14);
  painter.setFont(bold);
  painter.setPen(text);
  painter.drawText(QRect(kMargin, 8, width() - 2 * kMargin, 20), Qt::AlignLeft | Qt::AlignVCenter,
                   FullDateText(day.date));
  QFont plain = font();
  plain.setPixelSize(12);
  painter.setFont(plain);
  painter.drawText(
      QRect(kMargin, 28, width() - 2 * kMargin, kLineHeight), Qt::AlignLeft | Qt::AlignVCenter,
      tr("%1, %2 to %3")
          .arg(day.weather_text, Degrees(day.temperature_min), Degrees(day.temperature_max)));

  // The chart's frame, the hour marks and the current hour.
  QFont small = plain;
  small.setPixelSize(10);
  painter.setFont(small);
  painter.setPen(QPen(faint, 1));
  painter.drawLine(QPointF(kLineArea.left(), kBarArea.bottom() + 1.5),
                   QPointF(kLineArea.right() + 1, kBarArea.bottom() + 1.5));
  for (int hour = 0; hour < kHoursPerDay; hour += kHourMarkEvery) {
    const double x = HourX(hour);
    painter.setPen(QPen(faint, 1, Qt::DotLine));
    painter.drawLine(QPointF(x, kLineArea.top()), QPointF(x, kBarArea.bottom() + 4));
    painter.setPen(text);
    painter.drawText(QRectF(x - 15, kBarArea.bottom() + 4, 30, 14), Qt::AlignCenter,
                     QStringLiteral("%1").arg(hour, 2, 10, QLatin1Char('0')));
  }
  if (current_hour_ && *current_hour_ >= 0 && *current_hour_ < kHoursPerDay) {
    const double x = HourX(*current_hour_);
    painter.setPen(QPen(text, 1.5));
    painter.drawLine(QPointF(x, kLineArea.top() - 4), QPointF(x, kBarArea.bottom() + 2));
    painter.drawText(QRectF(x - 30, kLineArea.top() - 16, 60, 12), Qt::AlignCenter, tr("now"));
  }
  painter.setFont(plain);
  if (day.HasHourlyTemperatures()) {
    DrawTemperatures(painter, day);
  } else {
    painter.setPen(text);
    painter.drawText(kLineArea, Qt::AlignCenter, tr("No hourly forecast"));
  }
  DrawChances(painter, day);

  // The day's figures, one line each.
  painter.setPen(text);
  // The locale's short time, to the minute (some locales' short form has
  // seconds).
  QString time_format = QLocale().timeFormat(QLocale::ShortFormat);
  time_format.remove(QStringLiteral(":ss"));
  const auto time_text = [&time_format](const std::optional<QTime>& time) {
    return time ? QLocale().toString(*time, time_format) : Dash();
  };
  QString wind = Dash();
  if (day.wind_speed_max) {
    wind = QStringLiteral("%1 %2")
               .arg(std::lround(day.wind_speed_max->ToDouble()))
               .arg(UnitText(day.wind_unit));
    if (day.wind_direction) {
      wind += QStringLiteral(" ") + CompassText(CompassPoint(day.wind_direction->ToDouble()));
    }
  }
  QString precipitation = Dash();
  if (day.precipitation_sum) {
    precipitation = QStringLiteral("%1 %2").arg(
        QLocale().toString(day.precipitation_sum->ToDouble(), 'f', 1), day.precipitation_unit);
  }
  if (day.precipitation_chance_max) {
    precipitation +=
        tr(", chance up to %1 %").arg(std::lround(day.precipitation_chance_max->ToDouble()));
  }
  const QString lines[] = {
      tr("Sunrise %1, sunset %2").arg(time_text(day.sunrise), time_text(day.sunset)),
      tr("Wind up to %1").arg(wind),
      tr("Precipitation %1").arg(precipitation),
      tr("Feels like %1 to %2").arg(Degrees(day.feels_like_min), Degrees(day.feels_like_max)),
  };
  int y = kBarArea.bottom() + 24;
  for (const QString& line : lines) {
    painter.drawText(QRect(kMargin, y, width() - 2 * kMargin, kLineHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, line);
    y += kLineHeight;
  }
}

void DayPopup::mousePressEvent(QMouseEvent* event) {
  if (rect().contains(event->position().toPoint())) {
    event->accept();
    return;
  }
  // A press on what opened the popup only closes it.
  setAttribute(Qt::WA_NoMouseReplay, anchor_.contains(event->globalPosition().toPoint()));
  if (event->button() == Qt::LeftButton) emit pressedOutside(event->globalPosition().toPoint());
  close();
}

void DayPopup::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit closed();
}

QPoint PopupPlace(const QRect& panel, const QRect& anchor, const QSize& popup,
                  const QRect& screen) {
  constexpr int kGap = 4;
  const int aligned_x = anchor.left();
  const int aligned_y = panel.top();
  const QPoint candidates[] = {
      {aligned_x, panel.top() - kGap - popup.height()},
      {aligned_x, panel.bottom() + 1 + kGap},
      {panel.left() - kGap - popup.width(), aligned_y},
      {panel.right() + 1 + kGap, aligned_y},
  };
  for (const QPoint& corner : candidates) {
    if (screen.contains(QRect(corner, popup))) return corner;
  }
  // Shifting along the panel may be all it takes; otherwise clamp.
  QPoint corner = candidates[0];
  corner.setX(std::clamp(corner.x(), screen.left(),
                         std::max(screen.left(), screen.right() + 1 - popup.width())));
  corner.setY(std::clamp(corner.y(), screen.top(),
                         std::max(screen.top(), screen.bottom() + 1 - popup.height())));
  if (screen.contains(QRect(corner, popup)) && !QRect(corner, popup).intersects(panel)) {
    return corner;
  }
  for (QPoint other : {candidates[1], candidates[2], candidates[3]}) {
    other.setX(std::clamp(other.x(), screen.left(),
                          std::max(screen.left(), screen.right() + 1 - popup.width())));
    other.setY(std::clamp(other.y(), screen.top(),
                          std::max(screen.top(), screen.bottom() + 1 - popup.height())));
    if (!QRect(other, popup).intersects(panel)) return other;
  }
  return corner;
}

}  // namespace skyvane
