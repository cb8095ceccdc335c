// The program's settings on disk: QSettings under organisation "Gridsmith"
// and application "KEA 2.11", which on Linux is the INI file
// ~/.config/Gridsmith/KEA 2.11.conf (the folder follows XDG_CONFIG_HOME).
//
// INI files hold text only. Integers are written as numbers and texts as
// texts; reading an integer accepts only a whole decimal number in the
// 32-bit range, and reading a text accepts only a single text that
// Windows-1252 can hold. Anything else (a list, a binary value, a word
// where a number belongs) reads as missing, so the caller's default stays.
#pragma once

#include <QSettings>
#include <memory>

#include "settings/SettingsStore.h"

namespace kea::ui {

class QtSettingsStore : public SettingsStore {
 public:
  bool open(SettingsMode mode) override;
  bool readInt(std::string_view name, std::int32_t& value) override;
  bool readString(std::string_view name, std::string& value) override;
  bool writeInt(std::string_view name, std::int32_t value) override;
  bool writeString(std::string_view name, std::string_view text) override;
  void close() override;

  // The file the settings live in.
  static QString fileName();

 private:
  std::unique_ptr<QSettings> settings_;
  bool writable_ = false;
};

}  // namespace kea::ui
