// The settings accessor every part of the program reads and writes through.
// It opens the store for the life of the object and turns every problem
// (no key, a store that cannot be opened, a missing value, a value of the
// wrong type, a text too long to be a setting) into "value missing", so the
// caller's default simply stays in place. Writes to a store that could not
// be opened, or that was opened for reading, are skipped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "settings/SettingsStore.h"
#include "settings/TextForms.h"

namespace kea {

class Persist {
 public:
  // The longest text value accepted, terminating zero included.
  static constexpr std::size_t kMaxStringBytes = 65536;

  Persist(SettingsStore& store, SettingsMode mode);
  ~Persist();
  Persist(const Persist&) = delete;
  Persist& operator=(const Persist&) = delete;

  bool isOpen() const { return open_; }
  SettingsMode mode() const { return mode_; }

  // Each read returns false and leaves `value` untouched when the value
  // cannot be read.
  bool readInt(std::string_view name, int& value);
  // A flag is on when its integer is not 0.
  bool readFlag(std::string_view name, bool& value);
  // A text ends at its first zero byte, as a stored text does.
  bool readString(std::string_view name, std::string& value);
  // Parses the stored text, or `defaultText` when there is none; returns
  // whether the stored text was used.
  bool readFont(std::string_view name, std::string_view defaultText, FontSetting& font);
  bool readColour(std::string_view name, Colour& colour);
  bool readPosition(std::string_view name, WindowPosition& position);

  void writeInt(std::string_view name, int value);
  void writeFlag(std::string_view name, bool value) { writeInt(name, value ? 1 : 0); }
  void writeString(std::string_view name, std::string_view text);
  void writeFont(std::string_view name, const FontSetting& font) { writeString(name, formatFont(font)); }
  void writeColour(std::string_view name, Colour colour) { writeString(name, formatColour(colour)); }
  void writePosition(std::string_view name, const WindowPosition& position) {
    writeString(name, formatPosition(position));
  }

  // Also done on destruction; later reads report missing values.
  void close();

 private:
  SettingsStore& store_;
  SettingsMode mode_;
  bool open_ = false;
};

}  // namespace kea
