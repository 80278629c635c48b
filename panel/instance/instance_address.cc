#include "panel/instance/instance_address.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>

#include "text/run_error.h"

namespace skyvane {

namespace {

constexpr char kRuntimeDirVariable[] = "XDG_RUNTIME_DIR";
constexpr char kDefaultDisplayName[] = "default";
// Only the owner may read, write or enter the folder.
constexpr mode_t kPrivateFolderMode = S_IRWXU;
constexpr mode_t kGroupAndOtherBits = S_IRWXG | S_IRWXO;

bool IsFileNameCharacter(QChar c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
         c == u'.' || c == u'_' || c == u'-';
}

[[noreturn]] void Fail(const QString& folder, const QString& why) {
  Raise(ErrorNumber::kInvalidArgument,
        QStringLiteral("cannot use %1 for the panel's socket: %2").arg(folder, why).toStdString());
}

// The stand-in for XDG_RUNTIME_DIR, made when missing, checked in any case
// without following a link: someone else's folder, or one others may enter,
// could hand the panel's commands to another program.
QString PrivateTemporaryFolder() {
  const QString folder =
      QDir(QDir::tempPath()).filePath(QStringLiteral("skyvane-%1").arg(getuid()));
  const QByteArray native = QFile::encodeName(folder);
  if (mkdir(native.constData(), kPrivateFolderMode) != 0 && errno != EEXIST) {
    Fail(folder, QString::fromLocal8Bit(std::strerror(errno)));
  }
  struct stat info {};
  if (lstat(native.constData(), &info) != 0) {
    Fail(folder, QString::fromLocal8Bit(std::strerror(errno)));
  }
  if (!S_ISDIR(info.st_mode)) Fail(folder, QStringLiteral("it is no folder"));
  if (info.st_uid != getuid()) Fail(folder, QStringLiteral("it belongs to another user"));
  if ((info.st_mode & kGroupAndOtherBits) != 0) {
    Fail(folder, QStringLiteral("others may enter it"));
  }
  return folder;
}

}  // namespace

QString DisplayFileName(const QString& display) {
  QString name = display;
  const qsizetype colon = name.lastIndexOf(u':');
  if (colon >= 0) {
    const QString host = name.left(colon);
    QString number = name.mid(colon + 1);
    const qsizetype dot = number.indexOf(u'.');
    if (dot >= 0) number.truncate(dot);
    name = host.isEmpty() ? number : host + u'_' + number;
  }
  for (QChar& c : name) {
    if (!IsFileNameCharacter(c)) c = u'_';
  }
  return name.isEmpty() ? QLatin1String(kDefaultDisplayName) : name;
}

QString PanelSocketPath(const QString& display) {
  const QString runtime = qEnvironmentVariable(kRuntimeDirVariable);
  const QString folder = runtime.isEmpty() ? PrivateTemporaryFolder() : runtime;
  return QDir(folder).filePath(QStringLiteral("skyvane-%1.sock").arg(DisplayFileName(display)));
}

}  // namespace skyvane
