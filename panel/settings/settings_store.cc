#include "panel/settings/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

#include "panel/fetch/local_file.h"

namespace skyvane {

namespace {

// How long a write waits for another program's write to the file to end.
constexpr int kLockWaitMs = 2000;
constexpr char kLockSuffix[] = ".lock";
constexpr char kFileSuffix[] = ".conf";
constexpr QByteArrayView kForbiddenInKey = " \t=[;#\r\n";

bool IsUsableKey(const QByteArray& key) {
  if (key.isEmpty()) return false;
  for (const char c : key) {
    if (kForbiddenInKey.contains(c)) return false;
  }
  return true;
}

// Writes go to the file a symbolic link points at, so the link stays.
QString WriteTarget(const QString& file) {
  const QFileInfo info(file);
  return info.isSymLink() ? info.symLinkTarget() : file;
}

}  // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(const QString& path) : path_(path) {}

QString SettingsStore::UserFileName() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
         QLatin1String(kSettingsOrganization) + u'/' + QLatin1String(kSettingsApplication) +
         QLatin1String(kFileSuffix);
}

QString SettingsStore::FileName() const {
  return path_.isEmpty() ? UserFileName() : path_;
}

QString SettingsStore::Read(const QString& key) const {
  const LocalFileRead file = ReadLocalFile(FileName(), kMaxSettingsFileBytes);
  if (file.outcome != LocalFileRead::Outcome::kRead) return QString();
  return FindSetting(file.bytes, kSettingsSection, key.toUtf8()).value_or(QString());
}

QString SettingsStore::ReadProblem() const {
  const LocalFileRead file = ReadLocalFile(FileName(), kMaxSettingsFileBytes);
  const bool unreadable = file.outcome != LocalFileRead::Outcome::kRead &&
                          file.outcome != LocalFileRead::Outcome::kMissing;
  return unreadable ? file.problem : QString();
}

bool SettingsStore::Write(const QString& key, const QString& value) {
  return Apply({SettingChange{key.toUtf8(), value}});
}

bool SettingsStore::Write(const QList<QPair<QString, QString>>& values) {
  QList<SettingChange> changes;
  for (const auto& [key, value] : values) changes.append(SettingChange{key.toUtf8(), value});
  return Apply(changes);
}

bool SettingsStore::Remove(const QString& key) {
  return Remove(QStringList{key});
}

bool SettingsStore::Remove(const QStringList& keys) {
  QList<SettingChange> changes;
  for (const QString& key : keys) changes.append(SettingChange{key.toUtf8(), std::nullopt});
  return Apply(changes);
}

bool SettingsStore::Fail(const QString& error) {
  last_error_ = error;
  return false;
}

bool SettingsStore::Apply(const QList<SettingChange>& changes) {
  const QString file = FileName();
  for (const SettingChange& change : changes) {
    if (!IsUsableKey(change.key)) {
      return Fail(QStringLiteral("cannot write %1: \"%2\" is not a usable key")
                      .arg(file, QString::fromUtf8(change.key)));
    }
  }
  const QString target = WriteTarget(file);
  const bool only_removals = std::none_of(
      changes.begin(), changes.end(), [](const SettingChange& c) { return c.value.has_value(); });
  if (only_removals && !QFileInfo::exists(target)) {
    last_error_.clear();
    return true;
  }
  if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
    return Fail(QStringLiteral("cannot write %1: cannot create its folder").arg(file));
  }
  QLockFile lock(target + QLatin1String(kLockSuffix));
  if (!lock.tryLock(kLockWaitMs)) {
    return Fail(lock.error() == QLockFile::LockFailedError
                    ? QStringLiteral("cannot write %1: another program is writing it").arg(file)
                    : QStringLiteral("cannot write %1: cannot create its lock file").arg(file));
  }

  const LocalFileRead current = ReadLocalFile(target, kMaxSettingsFileBytes);
  if (current.outcome != LocalFileRead::Outcome::kRead &&
      current.outcome != LocalFileRead::Outcome::kMissing) {
    return Fail(current.problem + QStringLiteral("; left unchanged"));
  }
  const QByteArray updated = ApplySettingChanges(current.bytes, kSettingsSection, changes);
  if (updated == current.bytes) {
    last_error_.clear();
    return true;
  }
  QSaveFile save(target);
  if (!save.open(QIODevice::WriteOnly) || save.write(updated) != updated.size() || !save.commit()) {
    return Fail(QStringLiteral("cannot write %1: %2").arg(file, save.errorString()));
  }
  last_error_.clear();
  return true;
}

}  // namespace skyvane
