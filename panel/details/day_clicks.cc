#include "panel/details/day_clicks.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <utility>

#include "panel/controls/panel_controls.h"

namespace skyvane {

namespace {

// The screen rectangle of column `column`'s controls.
QRect ColumnRect(const ColumnControls& columns, int column) {
  const auto i = static_cast<std::size_t>(column);
  QRect area;
  for (const QWidget* control : {static_cast<const QWidget*>(columns.label1[i]),
                                 static_cast<const QWidget*>(columns.label2[i]),
                                 static_cast<const QWidget*>(columns.image1[i]),
                                 static_cast<const QWidget*>(columns.label3[i])}) {
    area |= QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
  }
  return area;
}

}  // namespace

DayClicks::DayClicks(QWidget* panel, const ColumnControls& columns,
                     std::function<QDateTime()> now_utc)
    : panel_(panel), columns_(columns), now_utc_(std::move(now_utc)) {
  for (int column = 0; column < kColumnCount; ++column) {
    const auto i = static_cast<std::size_t>(column);
    for (QObject* control :
         {static_cast<QObject*>(columns.label1[i]), static_cast<QObject*>(columns.label2[i]),
          static_cast<QObject*>(columns.image1[i]), static_cast<QObject*>(columns.label3[i])}) {
      column_of_.insert(control, column);
      control->installEventFilter(this);
    }
  }
}

DayClicks::~DayClicks() = default;

void DayClicks::SetDays(std::vector<DayDetails> days) {
  Close();
  days_ = std::move(days);
}

std::optional<int> DayClicks::CurrentHour(const DayDetails& day, const QDateTime& now_utc) {
  // Shifted by the place's offset, a UTC time's fields are the place's clock.
  const QDateTime clock = day.utc_offset_seconds ? now_utc.toUTC().addSecs(*day.utc_offset_seconds)
                                                 : now_utc.toLocalTime();
  if (clock.date() != day.date) return std::nullopt;
  return clock.time().hour();
}

bool DayClicks::Open(int column) {
  if (column < 0 || column >= static_cast<int>(days_.size()) || column >= kColumnCount) {
    return false;
  }
  const DayDetails& day = days_[static_cast<std::size_t>(column)];
  if (!popup_) {
    popup_ = std::make_unique<DayPopup>(panel_);
    connect(popup_.get(), &DayPopup::closed, this, [this] { open_column_.reset(); });
    connect(popup_.get(), &DayPopup::pressedOutside, this, &DayClicks::PressedOutside);
  }
  popup_->hide();
  popup_->SetDay(day, CurrentHour(day, now_utc_()));
  const QRect anchor = ColumnRect(columns_, column);
  popup_->SetAnchor(anchor);
  const QScreen* screen = panel_->screen();
  const QRect usable = screen != nullptr ? screen->availableGeometry() : QRect();
  const QRect panel_rect = panel_->frameGeometry();
  popup_->move(usable.isEmpty() ? panel_rect.topLeft()
                                : PopupPlace(panel_rect, anchor, popup_->size(), usable));
  popup_->show();
  open_column_ = column;
  return true;
}

void DayClicks::Close() {
  if (popup_ && popup_->isVisible()) popup_->close();
  open_column_.reset();
}

DayPopup* DayClicks::ShownPopup() const {
  return popup_ && popup_->isVisible() ? popup_.get() : nullptr;
}

std::optional<int> DayClicks::OpenColumn() const {
  return ShownPopup() != nullptr ? open_column_ : std::nullopt;
}

std::optional<int> DayClicks::ColumnAt(const QPoint& global_pos) const {
  for (int column = 0; column < kColumnCount; ++column) {
    if (ColumnRect(columns_, column).contains(global_pos)) return column;
  }
  return std::nullopt;
}

void DayClicks::PressedOutside(const QPoint& global_pos) {
  // The press closes the popup and reaches no control, nor does its
  // release: a press on another column opens that column's popup at once,
  // once this one has closed.
  pressed_column_.reset();
  const std::optional<int> column = ColumnAt(global_pos);
  if (!column || column == open_column_) return;
  QTimer::singleShot(0, this, [this, other = *column] { Open(other); });
}

bool DayClicks::eventFilter(QObject* watched, QEvent* event) {
  const auto found = column_of_.constFind(watched);
  if (found == column_of_.constEnd()) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        pressed_column_ = *found;
        press_point_ = mouse->globalPosition().toPoint();
      } else {
        pressed_column_.reset();
      }
      break;
    }
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      if (pressed_column_ && (mouse->globalPosition().toPoint() - press_point_).manhattanLength() >
                                 QApplication::startDragDistance()) {
        pressed_column_.reset();
      }
      break;
    }
    case QEvent::MouseButtonRelease: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool click = pressed_column_ == *found && mouse->button() == Qt::LeftButton &&
                         (mouse->globalPosition().toPoint() - press_point_).manhattanLength() <=
                             QApplication::startDragDistance();
      pressed_column_.reset();
      if (!click) break;
      if (OpenColumn() == *found) {
        Close();
      } else {
        Open(*found);
      }
      break;
    }
    default:
      break;
  }
  return false;  // the controls still swallow what they swallow
}

}  // namespace skyvane
