// The external lookup methods the user has set up: four styles (web search,
// DDE, window message, program) of four methods each, which of them are
// offered, which one is the default, and the word the setup dialog tests
// with. Loaded once with the workspace, with built-in methods on first use;
// written back only when the user saves the settings as defaults.
//
// It also picks and performs a lookup through a LookupLauncher, and
// describes the External Lookup submenu for the desktop program to draw.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "settings/SettingsStore.h"

namespace kea {

class LookupLauncher;

enum class LookupStyle { WebSearch = 0, Dde = 1, Message = 2, Program = 3 };

// Command numbers of lookups.
namespace lookup_commands {
inline constexpr int kDefaultMethod = 12710;     // External Lookup with the default method
inline constexpr int kFirstMenuMethod = 13120;   // enabled method k of the submenu is this + k
inline constexpr int kSetup = 5140;
}  // namespace lookup_commands

class LookupConfiguration {
 public:
  static constexpr int kStyleCount = 4;
  static constexpr int kMethodsPerStyle = 4;

  struct LookupEntry {
    int enabled = 0;     // 0 or 1
    std::string label;   // menu text, may hold "&"
    std::string first;   // address template, DDE service, window title or program path
    std::string second;  // unused, DDE topic, command number or encoding "0"/"1"
  };

  struct LookupStyleEntries {
    std::string_view enabledKey, labelKey, firstKey, secondKey;  // secondKey empty for the web style
    std::array<LookupEntry, kMethodsPerStyle> entries;
  };

  // One line of the External Lookup submenu.
  struct MenuItem {
    enum class Kind { Method, Separator, Setup };
    Kind kind = Kind::Method;
    int command = 0;         // 0 for the separator
    std::string text;
    bool radioTicked = false;  // a method item that is the default
    bool enabled = true;
  };

  LookupConfiguration(SettingsStore& settings, LookupLauncher& launcher);

  void load();
  void save();

  // `number` counts 0-3 within the style; out of range throws std::out_of_range.
  LookupEntry& entry(LookupStyle style, int number);
  const LookupEntry& entry(LookupStyle style, int number) const;
  const LookupStyleEntries& style(LookupStyle style) const;

  const std::string& testWord() const { return testWord_; }
  void setTestWord(std::string_view word) { testWord_ = word; }
  const std::string& defaultLabel() const { return defaultLabel_; }
  void setDefaultLabel(std::string_view label) { defaultLabel_ = label; }

  int enabledCount() const;
  // The first enabled method whose label is the default label, or nothing.
  // Two methods may share a label; only the first of them is the default.
  const LookupEntry* defaultMethod() const;
  // Makes sure the default label names an enabled method when any is enabled.
  void effectiveDefault();
  // The submenu: one radio item per enabled method, then the separator and
  // "&Setup...". `lookupPossible` false greys the method items.
  std::vector<MenuItem> buildMenu(bool lookupPossible);

  // Looks `word` up with the default method (command 12710) or enabled
  // method k (13120 + k); true when the target reported success.
  bool lookup(std::string_view word, int command);

 private:
  const LookupEntry* chooseMethod(int command, LookupStyle& style) const;
  bool perform(LookupStyle style, const LookupEntry& method, std::string_view word);

  SettingsStore& settings_;
  LookupLauncher& launcher_;
  std::array<LookupStyleEntries, kStyleCount> styles_;
  std::string testWord_ = "example";
  std::string defaultLabel_;
};

}  // namespace kea
