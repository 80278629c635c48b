#include "panel/window/panel_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cstdio>

#include "panel/texts/terminal_text.h"
#include "panel/window/x11_move_cancel.h"

namespace skyvane {

namespace {

void Report(const QString& line) {
  std::fprintf(stderr, "skyvane: %s\n", EscapeControls(line).toLocal8Bit().constData());
}

}  // namespace

OpeningPlace ChooseOpeningPlace(const QRect& primary_screen, const QList<QRect>& screens,
                                const QSize& panel_size, const std::optional<PanelPlace>& saved,
                                const TwipScale& scale) {
  const PanelPlace fallback = DefaultPlacement(primary_screen.width(), primary_screen.height());
  OpeningPlace chosen{primary_screen.topLeft() + PlaceToPixels(fallback, scale),
                      OpeningPlace::Source::kDefault};
  if (!saved) return chosen;
  const QPoint saved_pixels = PlaceToPixels(*saved, scale);
  if (ShowsGrabStrip(QRect(saved_pixels, panel_size), screens)) {
    return {saved_pixels, OpeningPlace::Source::kSaved};
  }
  chosen.source = OpeningPlace::Source::kSavedUnreachable;
  return chosen;
}

OpeningPlace ApplyWindowSteps(QWidget& form, const TwipScale& scale, const PositionStore& store) {
  QPalette palette = form.palette();
  palette.setColor(QPalette::Window, Qt::white);
  form.setPalette(palette);
  form.setAutoFillBackground(true);
  form.setWindowOpacity(static_cast<double>(kPanelAlpha) / kOpaqueAlpha);

  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return {form.pos(), OpeningPlace::Source::kDefault};
  QList<QRect> screens;
  for (const QScreen* screen : QGuiApplication::screens()) screens.append(screen->geometry());

  const QString saved_x = store.Read(QString::fromLatin1(kLeftKey));
  const QString saved_y = store.Read(QString::fromLatin1(kTopKey));
  const std::optional<PanelPlace> saved = ParseSavedPlace(saved_x, saved_y);
  if (!saved && !saved_x.isEmpty()) {
    Report(QStringLiteral("the saved position in %1 is no number (formX \"%2\", formY \"%3\"); "
                          "opening at the default place")
               .arg(store.FileName(), saved_x, saved_y));
  }
  const OpeningPlace chosen =
      ChooseOpeningPlace(primary->geometry(), screens, form.size(), saved, scale);
  if (chosen.source == OpeningPlace::Source::kSavedUnreachable) {
    Report(QStringLiteral("the saved position (formX %1, formY %2) lies off every screen; "
                          "opening at the default place")
               .arg(saved_x, saved_y));
  }
  form.move(chosen.pixels);
  return chosen;
}

PanelPlace CurrentPlace(const QWidget& form, const TwipScale& scale) {
  return PixelsToPlace(form.pos(), scale);
}

PanelDrag::PanelDrag(QWidget* form, const TwipScale& scale, PositionStore* store)
    : form_(form), scale_(scale), store_(store) {
  settle_.setSingleShot(true);
  settle_.setInterval(kMoveSettleMs);
  connect(&settle_, &QTimer::timeout, this, &PanelDrag::Settled);
  form_->installEventFilter(this);
}

PanelDrag::~PanelDrag() {
  form_->removeEventFilter(this);
}

void PanelDrag::Press(const QPoint& global_pos, Qt::MouseButton button) {
  settle_.stop();
  following_ = false;
  system_move_ = false;
  system_move_ending_ = false;
  QWindow* window = form_->windowHandle();
  // Window systems end their move when the left button goes up (that is the
  // button the request names), so only a left press is handed to them.
  if (button == Qt::LeftButton && window != nullptr && window->startSystemMove()) {
    system_move_ = true;
  } else {
    following_ = true;
    grab_offset_ = global_pos - form_->pos();
  }
  Save();
}

bool PanelDrag::eventFilter(QObject* watched, QEvent* event) {
  if (watched != form_) return false;
  switch (event->type()) {
    case QEvent::Move:
      if (system_move_) {
        moved_since_save_ = true;
        settle_.start();
      } else if (following_) {
        moved_since_save_ = true;
      }
      break;
    case QEvent::MouseMove:
      if (following_) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        form_->move(mouse->globalPosition().toPoint() - grab_offset_);
      } else if (system_move_) {
        SystemMoveEnding();
      }
      break;
    case QEvent::MouseButtonRelease:
      if (following_) {
        following_ = false;
        Save();
      } else if (system_move_) {
        // The window manager takes the pointer for its move, so this
        // release came before it did: its move would wait for the next
        // click, holding the pointer and the keyboard until then.
        CancelX11SystemMove(form_);
        SystemMoveEnding();
      }
      break;
    case QEvent::Enter:
      if (system_move_) SystemMoveEnding();
      break;
    default:
      break;
  }
  return false;
}

void PanelDrag::SystemMoveEnding() {
  // The pointer is ours again, so the window system's move is over; its
  // last word on the window's place may still be on the way.
  system_move_ending_ = true;
  settle_.start();
}

void PanelDrag::Settled() {
  if (moved_since_save_) Save();
  if (system_move_ending_) {
    system_move_ = false;
    system_move_ending_ = false;
  }
}

void PanelDrag::Save() {
  moved_since_save_ = false;
  if (store_->Save(CurrentPlace(*form_, scale_))) return;
  const QString error = store_->LastError();
  if (error == reported_error_) return;
  reported_error_ = error;
  Report(QStringLiteral("cannot save the panel's position: %1").arg(error));
}

}  // namespace skyvane
