// One panel per user and display: the socket's address, claiming it (also
// from a panel that died, and by two starts at once), and handing commands
// over to the panel that listens.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <chrono>
#include <cstring>
#include <future>
#include <latch>
#include <optional>
#include <utility>
#include <vector>

#include "panel/instance/instance_address.h"
#include "panel/instance/instance_channel.h"
#include "text/run_error.h"

namespace skyvane {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kLimit{10'000};

// Runs `work` on a thread of its own while this thread's event loop runs,
// so that a panel on this thread can answer a start on the other; returns
// what `work` returned.
template <typename Work>
auto WhileEventsRun(Work work) {
  auto result = std::async(std::launch::async, std::move(work));
  const QDeadlineTimer deadline(kLimit);
  while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (deadline.hasExpired()) ADD_FAILURE() << "the other thread did not finish in time";
  }
  return result.get();
}

// Processes events until `done` holds or the limit passes.
template <typename Done>
bool ProcessEventsUntil(Done done) {
  const QDeadlineTimer deadline(kLimit);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}

// Sets an environment variable for the life of the object.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const QByteArray& value)
      : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
    qputenv(name, value);
  }
  ~ScopedVariable() {
    if (had_) {
      qputenv(name_, old_);
    } else {
      qunsetenv(name_);
    }
  }

 private:
  const char* name_;
  bool had_;
  QByteArray old_;
};

TEST(InstanceAddress, NamesTheDisplayWithoutItsScreen) {
  const std::pair<const char*, const char*> cases[] = {
      {":0", "0"},
      {":0.0", "0"},
      {":10.2", "10"},
      {"localhost:10.0", "localhost_10"},
      {"unix/host:1", "unix_host_1"},
      {"wayland-0", "wayland-0"},
      {"/run/user/1000/wayland-1", "_run_user_1000_wayland-1"},
      {"../..", ".._.."},
      {"", "default"},
  };
  for (const auto& [display, name] : cases) {
    EXPECT_EQ(DisplayFileName(QString::fromUtf8(display)), QString::fromUtf8(name)) << display;
  }
}

TEST(InstanceAddress, LiesInTheRuntimeFolder) {
  QTemporaryDir runtime;
  ASSERT_TRUE(runtime.isValid());
  const ScopedVariable variable("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
  EXPECT_EQ(PanelSocketPath(QStringLiteral(":1.0")), runtime.path() + "/skyvane-1.sock");
}

class PrivateFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp_.isValid());
    folder_ = temp_.path() + QStringLiteral("/skyvane-%1").arg(getuid());
  }

  QTemporaryDir temp_;
  ScopedVariable no_runtime_{"XDG_RUNTIME_DIR", QByteArray()};
  ScopedVariable tmpdir_{"TMPDIR", temp_.path().toLocal8Bit()};
  QString folder_;
};

TEST_F(PrivateFolderTest, IsMadeForTheUserAloneWithoutARuntimeFolder) {
  EXPECT_EQ(PanelSocketPath(QStringLiteral(":0")), folder_ + "/skyvane-0.sock");
  struct stat info {};
  ASSERT_EQ(lstat(QFile::encodeName(folder_).constData(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  // A second start finds it as it was left.
  EXPECT_EQ(PanelSocketPath(QStringLiteral(":0")), folder_ + "/skyvane-0.sock");
}

TEST_F(PrivateFolderTest, IsRefusedWhenOthersMayEnterIt) {
  ASSERT_EQ(mkdir(QFile::encodeName(folder_).constData(), 0755), 0);
  ASSERT_EQ(chmod(QFile::encodeName(folder_).constData(), 0755), 0);
  EXPECT_THROW(PanelSocketPath(QStringLiteral(":0")), RunError);
}

TEST_F(PrivateFolderTest, IsRefusedWhenItIsALink) {
  QTemporaryDir elsewhere;
  ASSERT_TRUE(QFile::link(elsewhere.path(), folder_));
  EXPECT_THROW(PanelSocketPath(QStringLiteral(":0")), RunError);
}

TEST_F(PrivateFolderTest, IsRefusedWhenItBelongsToAnotherUser) {
  if (getuid() != 0) GTEST_SKIP() << "only root can give a folder away";
  ASSERT_EQ(mkdir(QFile::encodeName(folder_).constData(), 0700), 0);
  constexpr uid_t kSomeoneElse = 4242;
  ASSERT_EQ(chown(QFile::encodeName(folder_).constData(), kSomeoneElse, kSomeoneElse), 0);
  EXPECT_THROW(PanelSocketPath(QStringLiteral(":0")), RunError);
}

class InstanceChannelTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(runtime_.isValid()); }

  QString Socket() const { return runtime_.path() + QStringLiteral("/skyvane-0.sock"); }

  HandOverResult HandOverFromAnotherThread(const PanelCommand& command) {
    const QString socket = Socket();
    return WhileEventsRun([socket, command] { return HandOver(socket, command, kLimit); });
  }

  QTemporaryDir runtime_;
};

TEST_F(InstanceChannelTest, WithoutAPanelNobodyAnswers) {
  EXPECT_EQ(HandOver(Socket(), PanelCommand{}, kLimit).outcome, HandOverResult::kNoPanel);
}

TEST_F(InstanceChannelTest, APanelAnswersWithItsStatusAndThenActs) {
  InstanceChannel panel(Socket());
  ASSERT_EQ(panel.Listen(), InstanceChannel::Claim::kListening);
  PanelStatus status;
  status.source = QStringLiteral("Berlin");
  status.problem = QStringLiteral("no answer");
  panel.SetStatus(status);
  std::vector<PanelCommand> received;
  QObject::connect(&panel, &InstanceChannel::commandReceived,
                   [&](const PanelCommand& command) { received.push_back(command); });

  PanelCommand command;
  command.reset_position = true;
  command.url = QStringLiteral("http://127.0.0.1:9/");
  const HandOverResult handed = HandOverFromAnotherThread(command);
  ASSERT_EQ(handed.outcome, HandOverResult::kAnswered);
  EXPECT_EQ(handed.reply, QByteArray::fromStdString(StatusJson(status)));
  ASSERT_TRUE(ProcessEventsUntil([&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<PanelCommand>{command});
}

TEST_F(InstanceChannelTest, AskingForTheStatusIsNoCommand) {
  InstanceChannel panel(Socket());
  ASSERT_EQ(panel.Listen(), InstanceChannel::Claim::kListening);
  int received = 0;
  QObject::connect(&panel, &InstanceChannel::commandReceived, [&] { ++received; });
  PanelCommand status;
  status.status = true;
  status.quit = true;  // ignored beside a request for the status
  EXPECT_EQ(HandOverFromAnotherThread(status).reply,
            QByteArray::fromStdString(StatusJson(PanelStatus{})));
  QCoreApplication::processEvents();
  EXPECT_EQ(received, 0);
}

TEST_F(InstanceChannelTest, ALineThatIsNoCommandIsAnsweredWithAnError) {
  InstanceChannel panel(Socket());
  ASSERT_EQ(panel.Listen(), InstanceChannel::Claim::kListening);
  int received = 0;
  QObject::connect(&panel, &InstanceChannel::commandReceived, [&] { ++received; });
  const QString socket_path = Socket();
  const QByteArray reply = WhileEventsRun([socket_path] {
    QLocalSocket socket;
    socket.connectToServer(socket_path);
    if (!socket.waitForConnected(kLimit.count())) return QByteArray("no connection");
    socket.write("{\"quit\":\"please\"}\n");
    QByteArray answer;
    while (!answer.endsWith('\n') && socket.waitForReadyRead(kLimit.count())) {
      answer += socket.readAll();
    }
    return answer + socket.readAll();
  });
  EXPECT_TRUE(reply.startsWith("{\"error\":\"")) << reply.constData();
  EXPECT_TRUE(reply.endsWith("\"}\n")) << reply.constData();
  QCoreApplication::processEvents();
  EXPECT_EQ(received, 0);
}

TEST_F(InstanceChannelTest, ASecondClaimFindsTheFirstPanel) {
  InstanceChannel first(Socket());
  ASSERT_EQ(first.Listen(), InstanceChannel::Claim::kListening);
  InstanceChannel second(Socket());
  EXPECT_EQ(second.Listen(), InstanceChannel::Claim::kAnotherPanel);
}

TEST_F(InstanceChannelTest, TakesOverTheSocketOfAPanelThatDied) {
  // What a killed panel leaves: a socket file that nobody listens at.
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray path = QFile::encodeName(Socket());
  std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
  ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  close(fd);
  ASSERT_TRUE(QFileInfo::exists(Socket()));
  EXPECT_EQ(HandOver(Socket(), PanelCommand{}, kLimit).outcome, HandOverResult::kNoPanel);

  InstanceChannel panel(Socket());
  ASSERT_EQ(panel.Listen(), InstanceChannel::Claim::kListening);
  EXPECT_EQ(HandOverFromAnotherThread(PanelCommand{}).outcome, HandOverResult::kAnswered);
}

TEST_F(InstanceChannelTest, RemovesItsSocketWhenItEnds) {
  {
    InstanceChannel panel(Socket());
    ASSERT_EQ(panel.Listen(), InstanceChannel::Claim::kListening);
    EXPECT_TRUE(QFileInfo::exists(Socket()));
  }
  EXPECT_FALSE(QFileInfo::exists(Socket()));
}

TEST_F(InstanceChannelTest, OfStartsAtTheSameMomentOneBecomesThePanel) {
  constexpr int kStarts = 4;
  std::latch claimed(kStarts);
  std::vector<std::future<InstanceChannel::Claim>> claims;
  const QString socket_path = Socket();
  for (int i = 0; i < kStarts; ++i) {
    claims.push_back(std::async(std::launch::async, [&claimed, socket_path] {
      InstanceChannel channel(socket_path);
      const InstanceChannel::Claim claim = channel.Listen();
      // Every start keeps what it claimed until all have claimed.
      claimed.arrive_and_wait();
      return claim;
    }));
  }
  int panels = 0;
  for (auto& claim : claims) {
    if (claim.get() == InstanceChannel::Claim::kListening) ++panels;
  }
  EXPECT_EQ(panels, 1);
}

TEST_F(InstanceChannelTest, APanelThatDoesNotAnswerIsToldApart) {
  InstanceChannel panel(Socket());
  ASSERT_EQ(panel.Listen(), InstanceChannel::Claim::kListening);
  // No events run here, so the panel never reads the command.
  EXPECT_EQ(HandOver(Socket(), PanelCommand{}, milliseconds(300)).outcome,
            HandOverResult::kNoAnswer);
}

}  // namespace
}  // namespace skyvane
