// The form after its load: later refreshes that show a forecast only when
// all of it was read, the status they leave, the schedule that starts them,
// refreshes and closes asked for while one runs, and the commands a later
// start or the tray give it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QScreen>
#include <QTemporaryDir>
#include <QToolTip>
#include <chrono>
#include <memory>
#include <vector>

#include "panel/places/geo_place.h"
#include "panel/skyvane_form.h"
#include "tests/panel/fake_schedule_clock.h"
#include "tests/panel/forecast_server.h"
#include "tests/panel/test_files.h"

namespace skyvane {
namespace {

using std::chrono::minutes;

// A seven-day forecast (or `days` days) whose weather texts are `weather`
// and the day's number, with the icon `icon` on the last day.
QByteArray Forecast(const QString& weather, const QString& tem2 = QStringLiteral("20℃"),
                    int days = kColumnCount, const QString& icon = QStringLiteral("yu")) {
  QStringList records;
  for (int day = 1; day <= days; ++day) {
    records.append(QStringLiteral(R"({"wea":"%1 %2","wea_img":"%3","tem1":"30℃","tem2":"%4"})")
                       .arg(weather)
                       .arg(day)
                       .arg(day == kColumnCount ? icon : QStringLiteral("qing"), tem2));
  }
  return QStringLiteral(R"({"data":[%1]})").arg(records.join(u',')).toUtf8();
}

class FormRefreshTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    server_.SetBody(Forecast(QStringLiteral("Sun")));
  }

  Skyvane& MakeForm(int refresh_minutes = 0) {
    SkyvaneOptions options;
    options.scale = TwipScale();
    options.url = server_.Url();
    options.position_file = dir_.filePath(QStringLiteral("Skyvane.conf"));
    options.today = [] { return QDate(2024, 1, 15); };
    options.clock = &clock_;
    options.refresh_minutes = refresh_minutes;
    form_ = std::make_unique<Skyvane>(options);
    QObject::connect(form_.get(), &Skyvane::statusChanged,
                     [this](const PanelStatus& status) { published_.push_back(status); });
    return *form_;
  }

  QStringList Weather() const {
    QStringList texts;
    for (int c = 0; c < kColumnCount; ++c) texts.append(form_->Label2(c)->Caption());
    return texts;
  }

  static std::vector<QString> Describe(const std::vector<ControlState>& states) {
    std::vector<QString> lines;
    for (const ControlState& s : states) {
      lines.push_back(QStringLiteral("%1 %2 %3 %4 %5")
                          .arg(s.control, s.caption.value_or(QString()))
                          .arg(s.fore_color.value_or(0))
                          .arg(s.picture.value_or(QString()))
                          .arg(s.twips.width()));
    }
    return lines;
  }

  QTemporaryDir dir_;
  ForecastServer server_;
  FakeScheduleClock clock_{At(10, 0)};
  std::unique_ptr<Skyvane> form_;
  std::vector<PanelStatus> published_;
};

TEST_F(FormRefreshTest, ALaterRefreshShowsTheWholeNewForecast) {
  server_.SetBody(Forecast(QStringLiteral("Sun"), QStringLiteral("10℃")));
  Skyvane& form = MakeForm();
  form.Form_Load();
  EXPECT_EQ(form.Label3(0)->ForeColor(), kColdColor);

  server_.SetBody(Forecast(QStringLiteral("Rain"), QStringLiteral("20℃")));
  clock_.Advance(minutes(5));
  form.Refresh();
  EXPECT_EQ(server_.Requests(), 2);
  EXPECT_EQ(Weather(),
            QStringList({"Rain 1", "Rain 2", "Rain 3", "Rain 4", "Rain 5", "Rain 6", "Rain 7"}));
  EXPECT_EQ(form.Label3(6)->Caption(), "20℃-30℃");
  // A temperature between cold and hot is black again, not yesterday's blue.
  EXPECT_EQ(form.Label3(0)->ForeColor(), kBgrBlack);
  EXPECT_TRUE(form.Image1(6)->PicturePath().endsWith("/yu.gif"));
  EXPECT_EQ(form.Status().updated, At(10, 5));
  EXPECT_FALSE(form.Status().problem);
  EXPECT_FALSE(form.RefreshStopped());
}

TEST_F(FormRefreshTest, ALaterRefreshThatFailsKeepsTheLastGoodForecast) {
  struct Case {
    const char* what;
    QByteArray body;
    const char* problem;
  };
  const Case cases[] = {
      {"an error page", "<html>Service Unavailable</html>", "stopped at column 0:"},
      {"five days", Forecast(QStringLiteral("Rain"), QStringLiteral("20℃"), 5),
       "stopped at column 5: the forecast has only 5 day records"},
      {"a missing icon on the last day",
       Forecast(QStringLiteral("Rain"), QStringLiteral("20℃"), kColumnCount,
                QStringLiteral("missing")),
       "stopped at column 6:"},
      {"a temperature that is no number", Forecast(QStringLiteral("Rain"), QStringLiteral("warm")),
       "stopped at column 0:"},
  };
  for (const Case& c : cases) {
    server_.SetBody(Forecast(QStringLiteral("Sun"), QStringLiteral("10℃")));
    Skyvane& form = MakeForm();
    form.Form_Load();
    const std::vector<QString> shown = Describe(form.ControlStates());
    const QDateTime updated = *form.Status().updated;

    server_.SetBody(c.body);
    clock_.Advance(minutes(5));
    form.Refresh();
    EXPECT_EQ(Describe(form.ControlStates()), shown) << c.what;
    const PanelStatus status = form.Status();
    EXPECT_EQ(status.updated, updated) << c.what;
    ASSERT_TRUE(status.problem) << c.what;
    EXPECT_TRUE(status.problem->startsWith("forecast refresh stopped at column"))
        << status.problem->toStdString();
    EXPECT_TRUE(status.problem->contains(QString::fromUtf8(c.problem)))
        << c.what << ": " << status.problem->toStdString();
  }
}

TEST_F(FormRefreshTest, AStartThatFailsWritesWhatItReadAndSaysSo) {
  server_.SetBody("<html>Service Unavailable</html>");
  Skyvane& form = MakeForm();
  form.Form_Load();
  // The start writes as it goes: the day of the first column, nothing more.
  EXPECT_EQ(form.Label1(0)->Caption(), QStringLiteral("15号"));
  EXPECT_EQ(form.Label2(0)->Caption(), "Label2");
  const PanelStatus status = form.Status();
  EXPECT_EQ(status.source, server_.Url());
  EXPECT_FALSE(status.updated);
  ASSERT_TRUE(status.problem);
  EXPECT_TRUE(status.problem->startsWith("forecast refresh stopped at column 0: "));
  EXPECT_FALSE(status.next) << "nothing is planned without an interval";
  ASSERT_EQ(published_.size(), 1u);
  EXPECT_EQ(published_.back(), status);
}

TEST_F(FormRefreshTest, RefreshesWhenTheScheduleSaysSo) {
  Skyvane& form = MakeForm(30);
  form.Form_Load();
  EXPECT_EQ(form.Status().updated, At(10, 0));
  EXPECT_EQ(form.Status().next, At(10, 30));

  server_.SetBody(Forecast(QStringLiteral("Rain")));
  clock_.Advance(minutes(29));
  EXPECT_EQ(server_.Requests(), 1);
  clock_.Advance(minutes(1));
  EXPECT_EQ(server_.Requests(), 2);
  EXPECT_EQ(form.Label2(0)->Caption(), "Rain 1");
  EXPECT_EQ(form.Status().updated, At(10, 30));
  EXPECT_EQ(form.Status().next, At(11, 0));
  EXPECT_EQ(published_.back(), form.Status());
}

TEST_F(FormRefreshTest, RetriesSoonAfterAFetchThatGotNoAnswer) {
  Skyvane& form = MakeForm(30);
  form.SetUrl(QStringLiteral("http://127.0.0.1:1/api"));  // nothing listens there
  form.Form_Load();
  ASSERT_TRUE(form.Status().problem);
  EXPECT_EQ(form.Status().next, At(10, 1));

  form.SetUrl(server_.Url());
  clock_.Advance(minutes(1));
  EXPECT_EQ(server_.Requests(), 1);
  EXPECT_FALSE(form.Status().problem);
  EXPECT_EQ(form.Status().updated, At(10, 1));
  EXPECT_EQ(form.Status().next, At(10, 31));
}

TEST_F(FormRefreshTest, RefreshesAskedForDuringOneFollowItOnce) {
  Skyvane& form = MakeForm();
  form.Form_Load();
  server_.OnRequest([&] {
    server_.OnRequest(nullptr);
    form.Refresh();
    form.Refresh();
    form.Refresh();
  });
  form.Refresh();
  EXPECT_EQ(server_.Requests(), 3);
}

TEST_F(FormRefreshTest, AnAddressGivenDuringTheLoadsFetchIsFetchedRightAfterIt) {
  ForecastServer other;
  other.SetBody(Forecast(QStringLiteral("Snow")));
  Skyvane& form = MakeForm();
  server_.OnRequest([&] {
    server_.OnRequest(nullptr);
    form.SetUrl(other.Url());
    form.Refresh();
  });
  form.Form_Load();
  EXPECT_EQ(server_.Requests(), 1);
  EXPECT_EQ(other.Requests(), 1);
  EXPECT_EQ(form.Label2(0)->Caption(), "Snow 1");
  EXPECT_EQ(form.Status().source, other.Url());
}

TEST_F(FormRefreshTest, ARefreshAskedForBeforeTheLoadIsTheLoadsOwn) {
  Skyvane& form = MakeForm(30);
  form.Refresh();
  form.MachineWoke();
  EXPECT_EQ(server_.Requests(), 0);
  form.Form_Load();
  EXPECT_EQ(server_.Requests(), 1);
}

TEST_F(FormRefreshTest, ACloseAskedForDuringARefreshWaitsForItsEnd) {
  Skyvane& form = MakeForm();
  form.Form_Load();
  form.show();
  bool visible_while_fetching = false;
  server_.OnRequest([&] {
    form.RequestClose();
    form.Refresh();  // not after a close
    visible_while_fetching = form.isVisible();
  });
  server_.SetBody(Forecast(QStringLiteral("Rain")));
  form.Refresh();
  EXPECT_TRUE(visible_while_fetching);
  EXPECT_EQ(server_.Requests(), 2);
  EXPECT_EQ(form.Label2(0)->Caption(), "Rain 1");
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(form.CloseRequested());
}

TEST_F(FormRefreshTest, AWakeFromSuspendRefreshesOnlyWhenRefreshesArePlanned) {
  Skyvane& still = MakeForm(0);
  still.Form_Load();
  still.MachineWoke();
  EXPECT_EQ(server_.Requests(), 1);

  Skyvane& planned = MakeForm(30);
  planned.Form_Load();
  planned.MachineWoke();
  EXPECT_EQ(server_.Requests(), 3);
}

TEST_F(FormRefreshTest, ANewIntervalIsPlannedAndShownAtOnce) {
  Skyvane& form = MakeForm();
  form.Form_Load();
  EXPECT_FALSE(form.Status().next);
  form.SetRefreshMinutes(15);
  EXPECT_EQ(form.Status().next, At(10, 15));
  EXPECT_EQ(published_.back().next, At(10, 15));
  form.SetRefreshMinutes(0);
  EXPECT_FALSE(published_.back().next);
}

TEST_F(FormRefreshTest, AReportedProblemLastsUntilTheNextRefresh) {
  Skyvane& form = MakeForm();
  form.Form_Load();
  form.ReportProblem(QStringLiteral("no place called \"Atlantis\"\x1b[2J was found"));
  EXPECT_EQ(published_.back().problem,
            QStringLiteral("no place called \"Atlantis\"\\x1b[2J was found"));
  EXPECT_TRUE(published_.back().updated);
  form.Refresh();
  EXPECT_FALSE(published_.back().problem);
}

TEST_F(FormRefreshTest, TheStatusWritesControlCharactersOfItsSourceEscaped) {
  Skyvane& form = MakeForm();
  form.SetUrl(server_.Url() + QStringLiteral("?\x1b]0;title\x07"));
  form.Form_Load();
  EXPECT_EQ(form.Status().source, server_.Url() + QStringLiteral("?\\x1b]0;title\\x07"));
  EXPECT_EQ(StatusJson(form.Status()).find('\x1b'), std::string::npos);
}

TEST_F(FormRefreshTest, TheStatusIsTheTooltipOverTheWholePanel) {
  Skyvane& form = MakeForm();
  form.Form_Load();
  form.show();
  const QString status = StatusText(form.Status());
  EXPECT_TRUE(form.toolTip().contains("Updated")) << form.toolTip().toStdString();
  for (QWidget* over : std::vector<QWidget*>{&form, form.Label2(3), form.Image1(0)}) {
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), over->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(over, &help);
    EXPECT_TRUE(QToolTip::isVisible()) << over->objectName().toStdString();
    EXPECT_EQ(QToolTip::text(), form.toolTip()) << over->objectName().toStdString();
    QToolTip::hideText();
  }
}

TEST_F(FormRefreshTest, OverACutCaptionTheWholeCaptionComesBeforeTheStatus) {
  server_.SetBody(Forecast(QStringLiteral("Thunderstorms turning to heavy rain in the evening")));
  Skyvane& form = MakeForm();
  form.Form_Load();
  form.show();
  PanelLabel& cut = *form.Label2(0);
  ASSERT_TRUE(cut.IsElided());
  QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), cut.mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(&cut, &help);
  EXPECT_EQ(QToolTip::text(), PlainToolTip(cut.Caption() + "\n\n" + StatusText(form.Status())));
  QToolTip::hideText();
}

TEST_F(FormRefreshTest, ResettingThePositionForgetsItAndMovesToTheDefaultPlace) {
  WriteFile(dir_.filePath(QStringLiteral("Skyvane.conf")), "[set]\nformX=300\nformY=450\n");
  Skyvane& form = MakeForm();
  form.Form_Load();
  EXPECT_EQ(form.pos(), QPoint(20, 30));
  form.ResetPosition();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(form.pos(),
            screen.topLeft() +
                PlaceToPixels(DefaultPlacement(screen.width(), screen.height()), TwipScale()));
  EXPECT_FALSE(ReadFile(dir_.filePath(QStringLiteral("Skyvane.conf"))).contains("formX"));
}

TEST_F(FormRefreshTest, ALocationReplacesTheAddressItWouldComeAfter) {
  Skyvane& form = MakeForm();
  form.SetLocation(GeoPlace{QStringLiteral("Berlin"), 52.52, 13.41});
  EXPECT_FALSE(form.Options().url);
  ASSERT_TRUE(form.Options().location);
  EXPECT_EQ(form.Options().location->name, "Berlin");
  form.SetUrl(server_.Url());
  EXPECT_EQ(form.Options().url, server_.Url());
}

}  // namespace
}  // namespace skyvane
