#include "panel/fetch/local_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace skyvane {

namespace {

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

LocalFileRead Refuse(LocalFileRead::Outcome outcome, const QString& problem) {
  return LocalFileRead{outcome, QByteArray(), problem};
}

QString ErrnoText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

LocalFileRead ReadLocalFile(const QString& path, int64_t max_bytes) {
  using Outcome = LocalFileRead::Outcome;
  const QByteArray name = QFile::encodeName(path);
  // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; it
  // changes nothing for a regular file.
  const Descriptor fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (fd.get() < 0) {
    const int error = errno;
    return Refuse(error == ENOENT ? Outcome::kMissing : Outcome::kUnreadable,
                  QStringLiteral("cannot open %1: %2").arg(path, ErrnoText(error)));
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    return Refuse(Outcome::kUnreadable,
                  QStringLiteral("cannot read %1: %2").arg(path, ErrnoText(errno)));
  }
  if (!S_ISREG(info.st_mode)) {
    return Refuse(Outcome::kNotRegular, QStringLiteral("%1 is not a regular file").arg(path));
  }
  const QString too_large = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(max_bytes);
  if (info.st_size > max_bytes) return Refuse(Outcome::kTooLarge, too_large);

  // One byte more than the limit tells a file that grew since fstat.
  QByteArray bytes(static_cast<qsizetype>(info.st_size) + 1, Qt::Uninitialized);
  qsizetype filled = 0;
  for (;;) {
    if (filled == bytes.size()) {
      if (filled > max_bytes) return Refuse(Outcome::kTooLarge, too_large);
      bytes.resize(qMin<qsizetype>(bytes.size() * 2, static_cast<qsizetype>(max_bytes) + 1));
    }
    const ssize_t got =
        ::read(fd.get(), bytes.data() + filled, static_cast<std::size_t>(bytes.size() - filled));
    if (got < 0) {
      if (errno == EINTR) continue;
      return Refuse(Outcome::kUnreadable,
                    QStringLiteral("cannot read %1: %2").arg(path, ErrnoText(errno)));
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.truncate(filled);
  return LocalFileRead{Outcome::kRead, bytes, QString()};
}

QString WriteLocalFileAtomically(const QString& path, const QByteArray& bytes) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
    return QStringLiteral("cannot make the folder of %1").arg(path);
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
  }
  return QString();
}

}  // namespace skyvane
