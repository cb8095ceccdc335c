#include "settings/Persist.h"

#include <cstdint>

namespace kea {

Persist::Persist(SettingsStore& store, SettingsMode mode) : store_(store), mode_(mode) {
  open_ = store_.open(mode);
}

Persist::~Persist() { close(); }

void Persist::close() {
  if (open_) store_.close();
  open_ = false;
}

bool Persist::readInt(std::string_view name, int& value) {
  std::int32_t stored = 0;
  if (!open_ || !store_.readInt(name, stored)) return false;
  value = stored;
  return true;
}

bool Persist::readFlag(std::string_view name, bool& value) {
  int stored = 0;
  if (!readInt(name, stored)) return false;
  value = stored != 0;
  return true;
}

bool Persist::readString(std::string_view name, std::string& value) {
  std::string stored;
  if (!open_ || !store_.readString(name, stored)) return false;
  const std::size_t zero = stored.find('\0');
  if (zero != std::string::npos) stored.resize(zero);
  // Room for the terminating zero as well, as the stored form has it.
  if (stored.size() >= kMaxStringBytes) return false;
  value = std::move(stored);
  return true;
}

bool Persist::readFont(std::string_view name, std::string_view defaultText, FontSetting& font) {
  std::string text;
  const bool stored = readString(name, text);
  font = parseFont(stored ? std::string_view(text) : defaultText);
  return stored;
}

bool Persist::readColour(std::string_view name, Colour& colour) {
  std::string text;
  if (!readString(name, text)) return false;
  colour = parseColour(text);
  return true;
}

bool Persist::readPosition(std::string_view name, WindowPosition& position) {
  std::string text;
  if (!readString(name, text)) return false;
  position = parsePosition(text);
  return true;
}

void Persist::writeInt(std::string_view name, int value) {
  if (open_ && mode_ == SettingsMode::Write) store_.writeInt(name, value);
}

void Persist::writeString(std::string_view name, std::string_view text) {
  if (open_ && mode_ == SettingsMode::Write) store_.writeString(name, text);
}

}  // namespace kea
