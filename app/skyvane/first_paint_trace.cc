#include "app/skyvane/first_paint_trace.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <cstdio>

namespace skyvane {

namespace {

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(const QWidget& window, std::chrono::steady_clock::time_point main_started)
      : QObject(qApp), window_(window), main_started_(main_started) {}

  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Paint || !object->isWidgetType() ||
        static_cast<QWidget*>(object)->window() != &window_) {
      return false;
    }
    const auto now = std::chrono::steady_clock::now();
    std::fprintf(stderr,
                 "skyvane: first paint at %.1f ms of the monotonic clock, %.1f ms after main\n",
                 Milliseconds(now.time_since_epoch()), Milliseconds(now - main_started_));
    std::fflush(stderr);
    qApp->removeEventFilter(this);
    deleteLater();
    return false;
  }

 private:
  const QWidget& window_;
  std::chrono::steady_clock::time_point main_started_;
};

}  // namespace

void TraceFirstPaint(const QWidget& window, std::chrono::steady_clock::time_point main_started) {
  if (!qEnvironmentVariableIsSet(kTraceStartVariable)) return;
  qApp->installEventFilter(new FirstPaintWatch(window, main_started));
}

}  // namespace skyvane
