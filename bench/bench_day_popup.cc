// The time from a click on a column of the panel to its details popup
// exposed on the display, 11 times, with the median, and the program's
// resident memory with the popup open. Runs the real form on the display
// in DISPLAY (a virtual one will do) with the details of a recorded
// Open-Meteo answer; the click goes through Qt's event delivery, so the time
// covers the click's handling, the popup's making and drawing and the
// display's round trip. A figure, not a test.
//
//   bench_day_popup OPEN_METEO_ANSWER.json
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "panel/details/day_clicks.h"
#include "panel/skyvane_form.h"
#include "panel/sources/day_details.h"

namespace {

// The VmRSS line of this process.
std::string ResidentMemory() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return line;
  }
  return "VmRSS: unknown";
}

// Runs the event loop until `done` or two seconds pass.
template <typename Done>
bool WaitUntil(Done done) {
  QElapsedTimer limit;
  limit.start();
  while (!done()) {
    if (limit.elapsed() > 2000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: bench_day_popup OPEN_METEO_ANSWER.json\n");
    return 2;
  }
  QFile file(QString::fromLocal8Bit(argv[1]));
  if (!file.open(QIODevice::ReadOnly)) return 1;
  const std::vector<skyvane::DayDetails> days =
      skyvane::ReadDayDetails(skyvane::FetchResult{QString::fromUtf8(file.readAll()), QString()},
                              skyvane::WeatherLanguage::kEnglish);

  QTemporaryDir settings;
  skyvane::SkyvaneOptions options;
  options.position_file = settings.filePath(QStringLiteral("settings.conf"));
  skyvane::Skyvane form(options);
  form.DayPopups().SetDays(days);
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  std::printf("RSS with the panel shown: %s\n", ResidentMemory().c_str());

  std::vector<double> times;
  std::string open_memory;
  for (int run = 0; run < 11; ++run) {
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(form.Label2(1), Qt::LeftButton);
    const bool shown = WaitUntil([&] {
      const skyvane::DayPopup* popup = form.DayPopups().ShownPopup();
      return popup != nullptr && popup->windowHandle() != nullptr &&
             popup->windowHandle()->isExposed();
    });
    times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    if (!shown) {
      std::fprintf(stderr, "the popup did not show\n");
      return 1;
    }
    open_memory = ResidentMemory();
    form.DayPopups().Close();
    WaitUntil([&] { return form.DayPopups().ShownPopup() == nullptr; });
    QTest::qWait(100);
  }
  std::printf("click to popup exposed (ms):");
  for (double t : times) std::printf(" %.1f", t);
  std::sort(times.begin(), times.end());
  std::printf("\nmedian of 11: %.1f ms\nRSS with the popup open: %s\n", times[5],
              open_memory.c_str());
  return 0;
}
