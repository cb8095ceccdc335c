#include "ui/QtSettingsStore.h"

#include <QFileInfo>

#include "ui/QtText.h"

namespace kea::ui {

namespace {

std::unique_ptr<QSettings> makeSettings() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, toQString(kSettingsOrganisation),
                                     toQString(kSettingsApplication));
}

QString key(std::string_view name) { return toQString(name); }

}  // namespace

QString QtSettingsStore::fileName() { return makeSettings()->fileName(); }

bool QtSettingsStore::open(SettingsMode mode) {
  close();
  auto settings = makeSettings();
  const QFileInfo file(settings->fileName());
  // A settings name that stands for a named pipe or a device would hold
  // the program at start-up: such settings are neither read nor replaced.
  if (file.exists() && !file.isFile()) return false;
  if (mode == SettingsMode::Read) {
    // Reading needs the settings to exist; a first run has none.
    if (!file.exists()) return false;
  } else if (!settings->isWritable()) {
    return false;
  }
  settings_ = std::move(settings);
  writable_ = mode == SettingsMode::Write;
  return true;
}

bool QtSettingsStore::readInt(std::string_view name, std::int32_t& value) {
  if (!settings_) return false;
  const QVariant stored = settings_->value(key(name));
  bool ok = false;
  int number = 0;
  switch (stored.typeId()) {
    case QMetaType::QString:  // as read from the file
      number = stored.toString().toInt(&ok, 10);
      break;
    case QMetaType::Int:  // as written by this process
      number = stored.toInt(&ok);
      break;
    default:
      break;
  }
  if (!ok) return false;
  value = number;
  return true;
}

bool QtSettingsStore::readString(std::string_view name, std::string& value) {
  if (!settings_) return false;
  const QVariant stored = settings_->value(key(name));
  if (stored.typeId() != QMetaType::QString) return false;
  auto text = fromQString(stored.toString());
  if (!text) return false;
  value = std::move(*text);
  return true;
}

bool QtSettingsStore::writeInt(std::string_view name, std::int32_t value) {
  if (!settings_ || !writable_) return false;
  settings_->setValue(key(name), value);
  return true;
}

bool QtSettingsStore::writeString(std::string_view name, std::string_view text) {
  if (!settings_ || !writable_) return false;
  settings_->setValue(key(name), toQString(text));
  return true;
}

void QtSettingsStore::close() {
  if (settings_ && writable_) settings_->sync();
  settings_.reset();
  writable_ = false;
}

}  // namespace kea::ui
