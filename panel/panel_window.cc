#include "panel/panel_window.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <cstdio>

namespace skyvane {

namespace {

void Report(const QString& line) {
  std::fprintf(stderr, "skyvane: %s\n", line.toLocal8Bit().constData());
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

OpeningPlace ApplyWindowSteps(QWidget& form, const PositionStore& store) {
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
  const OpeningPlace chosen = ChooseOpeningPlace(primary->geometry(), screens, form.size(), saved,
                                                 TwipScale::ForScreen(primary));
  if (chosen.source == OpeningPlace::Source::kSavedUnreachable) {
    Report(QStringLiteral("the saved position (formX %1, formY %2) lies off every screen; "
                          "opening at the default place")
               .arg(saved_x, saved_y));
  }
  form.move(chosen.pixels);
  return chosen;
}

PanelPlace CurrentPlace(const QWidget& form) {
  return PixelsToPlace(form.pos(), TwipScale::ForScreen(form.screen()));
}

PanelDrag::PanelDrag(QWidget* form, PositionStore* store) : form_(form), store_(store) {
  settle_.setSingleShot(true);
  settle_.setInterval(kMoveSettleMs);
  connect(&settle_, &QTimer::timeout, this, [this] {
    if (moved_since_save_) Save();
  });
  form_->installEventFilter(this);
}

PanelDrag::~PanelDrag() {
  form_->removeEventFilter(this);
}

void PanelDrag::Press(const QPoint& global_pos) {
  settle_.stop();
  following_ = false;
  system_move_ = false;
  QWindow* window = form_->windowHandle();
  if (window != nullptr && window->startSystemMove()) {
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
        // The pointer is ours again: the window system's move is over.
        EndSystemMove();
      }
      break;
    case QEvent::MouseButtonRelease:
      if (following_) {
        following_ = false;
        Save();
      } else if (system_move_) {
        EndSystemMove();
      }
      break;
    default:
      break;
  }
  return false;
}

void PanelDrag::EndSystemMove() {
  system_move_ = false;
  settle_.stop();
  if (moved_since_save_) Save();
}

void PanelDrag::Save() {
  moved_since_save_ = false;
  if (store_->Save(CurrentPlace(*form_))) return;
  const QString error = store_->LastError();
  if (error == reported_error_) return;
  reported_error_ = error;
  Report(QStringLiteral("cannot save the panel's position: %1").arg(error));
}

}  // namespace skyvane
