// A later start's command as one line of JSON, both ways, and the lines a
// panel refuses.
#include <gtest/gtest.h>

#include <QByteArray>
#include <optional>
#include <vector>

#include "panel/instance/panel_command.h"

namespace skyvane {
namespace {

PanelCommand With(void (*set)(PanelCommand&)) {
  PanelCommand command;
  set(command);
  return command;
}

TEST(PanelCommand, EncodesOnlyWhatIsSetOnOneLine) {
  EXPECT_EQ(EncodeCommand(PanelCommand{}), QByteArray("{}\n"));
  PanelCommand command;
  command.refresh = true;
  command.url = QStringLiteral("http://127.0.0.1:8080/api?a=1&b=\"2\"\n");
  command.refresh_minutes = 15;
  EXPECT_EQ(EncodeCommand(command),
            QByteArray(R"({"refresh":true,"url":"http://127.0.0.1:8080/api?a=1&b=\"2\"\n",)"
                       R"("refreshMinutes":15})"
                       "\n"));
}

TEST(PanelCommand, EveryCommandReadsBackAsItWasWritten) {
  const std::vector<PanelCommand> commands = {
      PanelCommand{},
      With([](PanelCommand& c) { c.status = true; }),
      With([](PanelCommand& c) { c.quit = true; }),
      With([](PanelCommand& c) { c.refresh = true; }),
      With([](PanelCommand& c) { c.reset_position = true; }),
      With([](PanelCommand& c) { c.url = QStringLiteral("file:///tmp/forecast.json"); }),
      With([](PanelCommand& c) { c.location = QStringLiteral("北京"); }),
      With([](PanelCommand& c) { c.location = QString(); }),  // forget the place
      With([](PanelCommand& c) { c.refresh_minutes = 0; }),
      With([](PanelCommand& c) { c.refresh_minutes = kMaxRefreshMinutes; }),
      With([](PanelCommand& c) {
        c.reset_position = true;
        c.url = QStringLiteral("http://h/\x01\x7f\u2028");
        c.refresh_minutes = 30;
      }),
  };
  for (const PanelCommand& command : commands) {
    const QByteArray line = EncodeCommand(command);
    QString problem;
    const std::optional<PanelCommand> read = DecodeCommand(line, &problem);
    ASSERT_TRUE(read) << line.constData() << problem.toStdString();
    EXPECT_EQ(*read, command) << line.constData();
  }
}

TEST(PanelCommand, AppliesOptionsOnlyForTheStartOptions) {
  EXPECT_FALSE(With([](PanelCommand& c) {
                 c.refresh = true;
                 c.reset_position = true;
               }).AppliesOptions());
  EXPECT_TRUE(With([](PanelCommand& c) { c.url = QString(); }).AppliesOptions());
  EXPECT_TRUE(With([](PanelCommand& c) { c.location = QString(); }).AppliesOptions());
  EXPECT_TRUE(With([](PanelCommand& c) { c.refresh_minutes = 0; }).AppliesOptions());
}

TEST(PanelCommand, IgnoresMembersItDoesNotKnow) {
  const std::optional<PanelCommand> read =
      DecodeCommand(R"({"refresh":true,"colour":"blue","nested":{"a":[1,2]}})");
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, With([](PanelCommand& c) { c.refresh = true; }));
}

TEST(PanelCommand, RefusesWhatIsNoCommand) {
  const char* const lines[] = {
      "",
      "refresh",
      "[true]",
      R"({"refresh":"yes"})",
      R"({"quit":1})",
      R"({"url":null})",
      R"({"location":["Berlin"]})",
      R"({"refreshMinutes":"15"})",
      R"({"refreshMinutes":-1})",
      R"({"refreshMinutes":1.5})",
      R"({"refreshMinutes":10081})",
      R"({"refreshMinutes":99999999999999999999999})",
  };
  for (const char* line : lines) {
    QString problem;
    EXPECT_FALSE(DecodeCommand(QByteArray(line), &problem)) << line;
    EXPECT_FALSE(problem.isEmpty()) << line;
  }
  QByteArray huge = R"({"url":")";
  huge += QByteArray(kMaxCommandBytes, 'a') + "\"}";
  EXPECT_FALSE(DecodeCommand(huge));
}

}  // namespace
}  // namespace skyvane
