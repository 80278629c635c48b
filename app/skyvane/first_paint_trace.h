// For timing a start: when SKYVANE_TRACE_START is set in the environment,
// the first paint of the panel's window is reported on standard error, as
// one line
//   skyvane: first paint at 81234567.8 ms of the monotonic clock, 92.4 ms after main
// The first figure is CLOCK_MONOTONIC (std::chrono::steady_clock), for a
// caller that took the same clock when it started the process; the second
// is counted from `main_started`. Without the variable nothing is watched.
#ifndef SKYVANE_APP_SKYVANE_FIRST_PAINT_TRACE_H_
#define SKYVANE_APP_SKYVANE_FIRST_PAINT_TRACE_H_

#include <chrono>

class QWidget;

namespace skyvane {

inline constexpr char kTraceStartVariable[] = "SKYVANE_TRACE_START";

// Watches for the first paint event of `window` or any widget in it, once.
// Call before the window is shown; `window` must outlive the event loop.
// The watch is owned by the application and ends with the first paint.
void TraceFirstPaint(const QWidget& window, std::chrono::steady_clock::time_point main_started);

}  // namespace skyvane

#endif  // SKYVANE_APP_SKYVANE_FIRST_PAINT_TRACE_H_
