// Where settings live: a flat set of named integer and text values under one
// per-user key. The desktop program stores them through the GUI toolkit; the
// in-memory store below serves the tests and any tool that must not touch the
// user's real settings. Everything above this interface reads and writes
// through Persist, which never lets a broken store stop the program.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>

namespace kea {

enum class SettingsMode {
  Read,   // the key must exist; values are only read
  Write,  // the key is created when missing; values are read and written
};

// The maker and product under which the program's settings are kept.
inline constexpr std::string_view kSettingsOrganisation = "Gridsmith";
inline constexpr std::string_view kSettingsApplication = "KEA 2.11";

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // Opens the settings key. In read mode a missing key is a failure; in
  // write mode the key is created. Returns false when it cannot be opened.
  virtual bool open(SettingsMode mode) = 0;
  // False when the value is missing, is not an integer, or nothing is open.
  virtual bool readInt(std::string_view name, std::int32_t& value) = 0;
  // False when the value is missing, is not a text, or nothing is open.
  virtual bool readString(std::string_view name, std::string& value) = 0;
  // False when nothing is open for writing or the store refused the value.
  virtual bool writeInt(std::string_view name, std::int32_t value) = 0;
  virtual bool writeString(std::string_view name, std::string_view text) = 0;
  virtual void close() = 0;
};

// A store held in memory. It behaves as the real one does: reading needs an
// existing key, writing creates it, and a value has one type. It can also be
// made to refuse to open, and values of any type can be planted directly to
// stand for what an earlier run, another version or a damaged store left.
class MemorySettingsStore : public SettingsStore {
 public:
  bool open(SettingsMode mode) override;
  bool readInt(std::string_view name, std::int32_t& value) override;
  bool readString(std::string_view name, std::string& value) override;
  bool writeInt(std::string_view name, std::int32_t value) override;
  bool writeString(std::string_view name, std::string_view text) override;
  void close() override;

  // Every open fails from now on (a key that cannot be opened or created).
  void setOpenFails(bool fails) { openFails_ = fails; }

  // Plants a value without opening; the key then exists.
  void putInt(std::string_view name, std::int32_t value);
  void putString(std::string_view name, std::string_view text);
  void remove(std::string_view name);

  bool keyExists() const { return keyExists_; }
  bool isOpen() const { return open_; }
  bool has(std::string_view name) const;
  // The stored value, when it exists with that type.
  const std::int32_t* intValue(std::string_view name) const;
  const std::string* stringValue(std::string_view name) const;
  std::size_t valueCount() const { return values_.size(); }

 private:
  using Value = std::variant<std::int32_t, std::string>;
  std::map<std::string, Value, std::less<>> values_;
  bool keyExists_ = false;
  bool openFails_ = false;
  bool open_ = false;
  bool writable_ = false;
};

}  // namespace kea
