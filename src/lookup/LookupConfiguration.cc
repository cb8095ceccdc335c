#include "lookup/LookupConfiguration.h"

#include <stdexcept>

#include "lookup/LookupEncoding.h"
#include "lookup/LookupLauncher.h"
#include "settings/Persist.h"
#include "text/StringTable.h"

namespace kea {

namespace {

// The methods a first run starts with; the rows left out have none.
struct DefaultRow {
  LookupStyle style;
  int number;  // 0-3
  std::string_view label, first, second;
};

constexpr DefaultRow kDefaultRows[] = {
    {LookupStyle::WebSearch, 0, "&Google", "https://www.google.com/search?q=%22{entry}%22", ""},
    {LookupStyle::WebSearch, 1, "&OneLook", "https://www.onelook.com/?w={entry}&ls=a", ""},
    {LookupStyle::WebSearch, 2, "&Wikipedia", "https://en.wikipedia.org/wiki/{entry}", ""},
    {LookupStyle::Dde, 0, "&Chambers", "CompLex", "WinWord"},
    {LookupStyle::Dde, 1, "O&xford Compendium", "Oxford", "WinWord"},
    {LookupStyle::Dde, 2, "&AND Compendium", "CompLex3", "WinWord6"},
    {LookupStyle::Dde, 3, "S&horter Oxford", "NewSOED", "WinWord6"},
    {LookupStyle::Message, 0, "A&merican Heritage", "The American Heritage Dictionary", "2026"},
};

constexpr std::string_view kTestWordKey = "LookupTestWord";
constexpr std::string_view kDefaultLabelKey = "LookupDefaultLabel";

const DefaultRow* defaultRow(LookupStyle style, int number) {
  for (const DefaultRow& row : kDefaultRows) {
    if (row.style == style && row.number == number) return &row;
  }
  return nullptr;
}

std::string numbered(std::string_view base, int number) {
  std::string name(base);
  name += static_cast<char>('1' + number);
  return name;
}

constexpr LookupStyle kStyles[] = {LookupStyle::WebSearch, LookupStyle::Dde, LookupStyle::Message,
                                   LookupStyle::Program};

}  // namespace

LookupConfiguration::LookupConfiguration(SettingsStore& settings, LookupLauncher& launcher)
    : settings_(settings), launcher_(launcher) {
  styles_[0].enabledKey = "LookupWebSearchEnabled";
  styles_[0].labelKey = "LookupWebSearchLabel";
  styles_[0].firstKey = "LookupWebSearchScript";
  styles_[1].enabledKey = "LookupDDEEnabled";
  styles_[1].labelKey = "LookupDDELabel";
  styles_[1].firstKey = "LookupDDEService";
  styles_[1].secondKey = "DDETopic";
  styles_[2].enabledKey = "LookupMessageEnabled";
  styles_[2].labelKey = "LookupMessageLabel";
  styles_[2].firstKey = "LookupMessageWindow";
  styles_[2].secondKey = "MessageCommand";
  styles_[3].enabledKey = "LookupExecEnabled";
  styles_[3].labelKey = "LookupExecLabel";
  styles_[3].firstKey = "LookupExecProgram";
  styles_[3].secondKey = "ExecEncoding";
  for (LookupEntry& method : styles_[3].entries) method.second = "0";
}

LookupConfiguration::LookupEntry& LookupConfiguration::entry(LookupStyle style, int number) {
  return styles_.at(static_cast<std::size_t>(style)).entries.at(static_cast<std::size_t>(number));
}

const LookupConfiguration::LookupEntry& LookupConfiguration::entry(LookupStyle style, int number) const {
  return styles_.at(static_cast<std::size_t>(style)).entries.at(static_cast<std::size_t>(number));
}

const LookupConfiguration::LookupStyleEntries& LookupConfiguration::style(LookupStyle style) const {
  return styles_.at(static_cast<std::size_t>(style));
}

void LookupConfiguration::load() {
  Persist persist(settings_, SettingsMode::Read);
  testWord_ = "example";
  defaultLabel_.clear();
  const bool firstUse = !persist.readString(kTestWordKey, testWord_);

  for (const LookupStyle style : kStyles) {
    LookupStyleEntries& entries = styles_[static_cast<std::size_t>(style)];
    for (int i = 0; i < kMethodsPerStyle; ++i) {
      const DefaultRow* row = firstUse ? defaultRow(style, i) : nullptr;
      LookupEntry method;
      if (row) {
        method.label = row->label;
        method.first = row->first;
        method.second = row->second;
      }
      persist.readString(numbered(entries.labelKey, i), method.label);
      persist.readString(numbered(entries.firstKey, i), method.first);
      if (!entries.secondKey.empty() && !persist.readString(numbered(entries.secondKey, i), method.second) &&
          style == LookupStyle::Program) {
        method.second = "0";
      }
      if (!method.label.empty()) {
        int enabled = 0;
        if (persist.readInt(numbered(entries.enabledKey, i), enabled)) {
          // Any stored number other than 0 means on; the member holds 0 or 1.
          method.enabled = enabled != 0 ? 1 : 0;
        } else if (row && style == LookupStyle::WebSearch) {
          method.enabled = 1;
        }
      }
      entries.entries[static_cast<std::size_t>(i)] = std::move(method);
    }
  }

  if (!persist.readString(kDefaultLabelKey, defaultLabel_) && firstUse) {
    defaultLabel_ = kDefaultRows[0].label;
  }
}

void LookupConfiguration::save() {
  Persist persist(settings_, SettingsMode::Write);
  for (const LookupStyleEntries& entries : styles_) {
    for (int i = 0; i < kMethodsPerStyle; ++i) {
      const LookupEntry& method = entries.entries[static_cast<std::size_t>(i)];
      persist.writeInt(numbered(entries.enabledKey, i), method.enabled);
      persist.writeString(numbered(entries.labelKey, i), method.label);
      persist.writeString(numbered(entries.firstKey, i), method.first);
      if (!entries.secondKey.empty()) persist.writeString(numbered(entries.secondKey, i), method.second);
    }
  }
  persist.writeString(kTestWordKey, testWord_);
  persist.writeString(kDefaultLabelKey, defaultLabel_);
}

int LookupConfiguration::enabledCount() const {
  int count = 0;
  for (const LookupStyleEntries& entries : styles_) {
    for (const LookupEntry& method : entries.entries) count += method.enabled != 0 ? 1 : 0;
  }
  return count;
}

const LookupConfiguration::LookupEntry* LookupConfiguration::defaultMethod() const {
  for (const LookupStyleEntries& entries : styles_) {
    for (const LookupEntry& method : entries.entries) {
      if (method.enabled != 0 && method.label == defaultLabel_) return &method;
    }
  }
  return nullptr;
}

void LookupConfiguration::effectiveDefault() {
  const LookupEntry* firstEnabled = nullptr;
  for (const LookupStyleEntries& entries : styles_) {
    for (const LookupEntry& method : entries.entries) {
      if (method.enabled == 0) continue;
      if (method.label == defaultLabel_) return;
      if (!firstEnabled) firstEnabled = &method;
    }
  }
  if (firstEnabled) defaultLabel_ = firstEnabled->label;
}

std::vector<LookupConfiguration::MenuItem> LookupConfiguration::buildMenu(bool lookupPossible) {
  effectiveDefault();
  const LookupEntry* const byDefault = defaultMethod();
  std::vector<MenuItem> items;
  int k = 0;
  for (const LookupStyleEntries& entries : styles_) {
    for (const LookupEntry& method : entries.entries) {
      if (method.enabled == 0) continue;
      MenuItem item;
      item.command = lookup_commands::kFirstMenuMethod + k++;
      item.radioTicked = &method == byDefault;
      item.text = method.label;
      item.enabled = lookupPossible;
      items.push_back(std::move(item));
    }
  }
  items.push_back({MenuItem::Kind::Separator, 0, {}, false, true});
  items.push_back({MenuItem::Kind::Setup, lookup_commands::kSetup, std::string(texts::kLookupSetupItem), false, true});
  return items;
}

const LookupConfiguration::LookupEntry* LookupConfiguration::chooseMethod(int command, LookupStyle& chosen) const {
  const bool byDefault = command == lookup_commands::kDefaultMethod;
  int k = 0;
  for (const LookupStyle style : kStyles) {
    for (const LookupEntry& method : styles_[static_cast<std::size_t>(style)].entries) {
      if (method.enabled == 0) continue;
      const int counted = k++;
      const bool wanted = byDefault ? (defaultLabel_.empty() || method.label == defaultLabel_)
                                    : command == lookup_commands::kFirstMenuMethod + counted;
      if (!wanted) continue;
      // A web method with no address cannot be opened; a later method may
      // still answer to the same rule.
      if (style == LookupStyle::WebSearch && method.first.empty()) continue;
      chosen = style;
      return &method;
    }
  }
  return nullptr;
}

bool LookupConfiguration::lookup(std::string_view word, int command) {
  // Only the default command and the submenu's numbers are lookups; any
  // other number fails without costing the user the default.
  const bool menuMethod = command >= lookup_commands::kFirstMenuMethod &&
                          command < lookup_commands::kFirstMenuMethod + kStyleCount * kMethodsPerStyle;
  if (command != lookup_commands::kDefaultMethod && !menuMethod) return false;
  LookupStyle style = LookupStyle::WebSearch;
  const LookupEntry* method = chooseMethod(command, style);
  if (!method) {
    defaultLabel_.clear();
    if (command != lookup_commands::kDefaultMethod) return false;
    method = chooseMethod(command, style);
    if (!method) return false;
  }
  return perform(style, *method, word);
}

bool LookupConfiguration::perform(LookupStyle style, const LookupEntry& method, std::string_view word) {
  switch (style) {
    case LookupStyle::WebSearch:
      return launcher_.openAddress(lookupAddress(method.first, word));
    case LookupStyle::Dde:
      return launcher_.ddeExecute(method.first, method.second, word) == LookupLauncher::DdeResult::Success;
    case LookupStyle::Message:
      return launcher_.sendWindowCommand(method.first, messageCommandNumber(method.second), word);
    case LookupStyle::Program:
      // No program to start is a failure of its own; it is not handed on.
      if (method.first.empty()) return false;
      return launcher_.startProgram(method.first, programArgument(word, method.second));
  }
  return false;
}

}  // namespace kea
