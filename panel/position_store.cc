#include "panel/position_store.h"

namespace skyvane {

namespace {

QString SectionKey(const QString& key) {
  return QString::fromLatin1(kSettingsSection) + QLatin1Char('/') + key;
}

}  // namespace

PositionStore::PositionStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            QString::fromLatin1(kSettingsOrganization),
                                            QString::fromLatin1(kSettingsApplication))) {}

PositionStore::PositionStore(const QString& path)
    : settings_(std::make_unique<QSettings>(path, QSettings::IniFormat)) {}

PositionStore::~PositionStore() = default;

QString PositionStore::Read(const QString& key) const {
  return settings_->value(SectionKey(key)).toString();
}

std::optional<PanelPlace> PositionStore::SavedPlace() const {
  return ParseSavedPlace(Read(QString::fromLatin1(kLeftKey)), Read(QString::fromLatin1(kTopKey)));
}

bool PositionStore::Save(const PanelPlace& place) {
  settings_->setValue(SectionKey(QString::fromLatin1(kLeftKey)), SaveText(place.left));
  settings_->setValue(SectionKey(QString::fromLatin1(kTopKey)), SaveText(place.top));
  return Flush();
}

bool PositionStore::Forget() {
  settings_->remove(QString::fromLatin1(kSettingsSection));
  return Flush();
}

QString PositionStore::FileName() const {
  return settings_->fileName();
}

bool PositionStore::Flush() {
  settings_->sync();
  switch (settings_->status()) {
    case QSettings::NoError:
      last_error_.clear();
      return true;
    case QSettings::AccessError:
      last_error_ = QStringLiteral("cannot write %1").arg(FileName());
      return false;
    case QSettings::FormatError:
      last_error_ = QStringLiteral("%1 is not a settings file").arg(FileName());
      return false;
  }
  return false;
}

}  // namespace skyvane
