#include "settings/SettingsStore.h"

namespace kea {

bool MemorySettingsStore::open(SettingsMode mode) {
  open_ = writable_ = false;
  if (openFails_) return false;
  if (mode == SettingsMode::Read && !keyExists_) return false;
  keyExists_ = true;
  open_ = true;
  writable_ = mode == SettingsMode::Write;
  return true;
}

bool MemorySettingsStore::readInt(std::string_view name, std::int32_t& value) {
  if (!open_) return false;
  const auto it = values_.find(name);
  if (it == values_.end()) return false;
  const auto* number = std::get_if<std::int32_t>(&it->second);
  if (number == nullptr) return false;
  value = *number;
  return true;
}

bool MemorySettingsStore::readString(std::string_view name, std::string& value) {
  if (!open_) return false;
  const auto it = values_.find(name);
  if (it == values_.end()) return false;
  const auto* text = std::get_if<std::string>(&it->second);
  if (text == nullptr) return false;
  value = *text;
  return true;
}

bool MemorySettingsStore::writeInt(std::string_view name, std::int32_t value) {
  if (!writable_) return false;
  putInt(name, value);
  return true;
}

bool MemorySettingsStore::writeString(std::string_view name, std::string_view text) {
  if (!writable_) return false;
  putString(name, text);
  return true;
}

void MemorySettingsStore::close() { open_ = writable_ = false; }

void MemorySettingsStore::putInt(std::string_view name, std::int32_t value) {
  keyExists_ = true;
  values_.insert_or_assign(std::string(name), Value(value));
}

void MemorySettingsStore::putString(std::string_view name, std::string_view text) {
  keyExists_ = true;
  values_.insert_or_assign(std::string(name), Value(std::string(text)));
}

void MemorySettingsStore::remove(std::string_view name) {
  const auto it = values_.find(name);
  if (it != values_.end()) values_.erase(it);
}

bool MemorySettingsStore::has(std::string_view name) const { return values_.find(name) != values_.end(); }

const std::int32_t* MemorySettingsStore::intValue(std::string_view name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? nullptr : std::get_if<std::int32_t>(&it->second);
}

const std::string* MemorySettingsStore::stringValue(std::string_view name) const {
  const auto it = values_.find(name);
  return it == values_.end() ? nullptr : std::get_if<std::string>(&it->second);
}

}  // namespace kea
