#include "panel/desktop/autostart_entry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <utility>

#include "panel/desktop/desktop_exec.h"
#include "panel/desktop/menu_entry_template.h"

namespace skyvane {

namespace {

constexpr char kAutostartFolder[] = "autostart";
constexpr char kMainGroup[] = "[Desktop Entry]";
constexpr char kExecKey[] = "Exec";
constexpr char kHiddenKey[] = "Hidden";
// Names a program to look for before starting the entry: the installed
// one, which need not be the one running.
constexpr char kTryExecKey[] = "TryExec";
// An installed menu entry larger than this is no menu entry of ours.
constexpr qint64 kMaxMenuEntryBytes = 64 * 1024;

// The key of a "Key=value" line, without blanks; empty for other lines.
QString KeyOf(const QString& line) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals <= 0) return QString();
  return line.left(equals).trimmed();
}

}  // namespace

QString MenuEntryText() {
  const QString installed = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                                   QLatin1String(kDesktopEntryName));
  if (!installed.isEmpty()) {
    QFile file(installed);
    if (file.size() <= kMaxMenuEntryBytes && file.open(QIODevice::ReadOnly)) {
      return QString::fromUtf8(file.readAll());
    }
  }
  return QString::fromUtf8(kMenuEntryTemplate);
}

AutostartEntry::AutostartEntry(QString path) : path_(std::move(path)) {}

QString AutostartEntry::UserFileName() {
  const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return QDir(config).filePath(QLatin1String(kAutostartFolder) + u'/' +
                               QLatin1String(kDesktopEntryName));
}

QString AutostartEntry::FileName() const {
  return path_.isEmpty() ? UserFileName() : path_;
}

bool AutostartEntry::IsOn() const {
  QFile file(FileName());
  if (file.size() > kMaxMenuEntryBytes || !file.open(QIODevice::ReadOnly)) return false;
  const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
  bool in_main_group = false;
  for (const QString& line : lines) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'[')) in_main_group = trimmed == QLatin1String(kMainGroup);
    if (in_main_group && KeyOf(trimmed) == QLatin1String(kHiddenKey) &&
        trimmed.section(u'=', 1).trimmed() == QLatin1String("true")) {
      return false;
    }
  }
  return true;
}

bool AutostartEntry::Write(const QString& menu_entry, const QStringList& command) {
  const QString exec_line = QLatin1String(kExecKey) + u'=' + DesktopExecValue(command);
  QStringList lines;
  bool in_main_group = false;
  qsizetype main_group_line = -1;
  bool has_exec = false;
  for (const QString& line : menu_entry.split(u'\n')) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'[')) {
      in_main_group = trimmed == QLatin1String(kMainGroup);
      if (in_main_group) main_group_line = lines.size();
    }
    const QString key = in_main_group ? KeyOf(trimmed) : QString();
    if (key == QLatin1String(kHiddenKey) || key == QLatin1String(kTryExecKey)) continue;
    if (key == QLatin1String(kExecKey)) {
      lines.append(exec_line);
      has_exec = true;
      continue;
    }
    lines.append(line);
  }
  if (main_group_line < 0) {
    lines.prepend(QLatin1String(kMainGroup));
    main_group_line = 0;
  }
  if (!has_exec) lines.insert(main_group_line + 1, exec_line);
  QString text = lines.join(u'\n');
  if (!text.endsWith(u'\n')) text += u'\n';

  const QString path = FileName();
  if (!QDir().mkpath(QFileInfo(path).path())) {
    last_error_ = QStringLiteral("cannot make the folder of %1").arg(path);
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
    last_error_ = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
  }
  last_error_.clear();
  return true;
}

bool AutostartEntry::Remove() {
  const QString path = FileName();
  QFile file(path);
  if (file.exists() && !file.remove()) {
    last_error_ = QStringLiteral("cannot remove %1: %2").arg(path, file.errorString());
    return false;
  }
  last_error_.clear();
  return true;
}

}  // namespace skyvane
