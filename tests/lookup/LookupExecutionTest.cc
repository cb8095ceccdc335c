// Performing an external lookup: which method a command picks, what the
// word becomes on its way (escaped address, hexadecimal argument), the
// calls that cannot succeed on this platform, and the External Lookup
// prompt with its messages.
#include <gtest/gtest.h>

#include "lookup/ExternalLookupPrompt.h"
#include "lookup/LookupConfiguration.h"
#include "lookup/LookupEncoding.h"
#include "lookup/RecordingLauncher.h"
#include "text/StringTable.h"

namespace kea {
namespace {

using S = LookupStyle;

struct Fixture {
  Fixture() { config.load(); }
  MemorySettingsStore store;
  testing::RecordingLauncher launcher;
  LookupConfiguration config{store, launcher};
};

TEST(LookupEncoding, WordsAreEscapedAndEncodedByteByByte) {
  const struct {
    std::string word, escaped, hex;
  } cases[] = {
      {"tail end", "tail%20end", "7461696C20656E64"},
      {"tail-end", "tail%2dend", "7461696C2D656E64"},
      {"caf\xE9", "caf%e9", "636166E9"},
      {"ab", "ab", "6162"},
      {"AZaz09", "AZaz09", "415A617A3039"},
      {"%{}&", "%25%7b%7d%26", "257B7D26"},
      {std::string("a\0b", 3), "a%00b", "610062"},
      {"\xFF\x80", "%ff%80", "FF80"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(urlEscape(c.word), c.escaped) << c.word;
    EXPECT_EQ(hexEncode(c.word), c.hex) << c.word;
  }
}

TEST(LookupEncoding, EveryEntryMarkerOfAnAddressIsReplaced) {
  const struct {
    const char *address, *word, *expected;
  } cases[] = {
      {"/wiki/{entry}", "tail-end", "/wiki/tail%2dend"},
      {"{entry}/{entry}", "a b", "a%20b/a%20b"},
      {"{entry}{entry}", "x", "xx"},
      {"/no/marker", "x", "/no/marker"},
      {"{entr{entry}y}", "x", "{entrxy}"},
      {"{entry", "x", "{entry"},
      {"", "x", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(lookupAddress(c.address, c.word), c.expected) << c.address;
}

TEST(LookupEncoding, ProgramArgumentAndCommandNumberReadTheirSettingsSafely) {
  EXPECT_EQ(programArgument("ab", "1"), "6162");
  EXPECT_EQ(programArgument("ab", "0"), "ab");
  EXPECT_EQ(programArgument("a b", "01"), "a b");
  EXPECT_EQ(programArgument("ab", ""), "ab");
  const struct {
    const char* text;
    int number;
  } cases[] = {{"2026", 2026}, {" 42x", 42}, {"-7", -7}, {"", 0}, {"abc", 0},
               {"99999999999999999999", 2147483647}, {"-99999999999", -2147483647 - 1}};
  for (const auto& c : cases) EXPECT_EQ(messageCommandNumber(c.text), c.number) << c.text;
}

TEST(LookupExecution, CommandsPickTheirMethod) {
  const struct {
    const char* defaultLabel;
    int command;
    const char* address;  // nullptr: the lookup fails
    const char* defaultAfter;
  } cases[] = {
      {"&Google", 12710, "https://www.google.com/search?q=%22w%22", "&Google"},
      {"&Wikipedia", 12710, "https://en.wikipedia.org/wiki/w", "&Wikipedia"},
      {"", 12710, "https://www.google.com/search?q=%22w%22", ""},
      {"&Chambers", 12710, "https://www.google.com/search?q=%22w%22", ""},  // names a disabled method
      {"&Google", 13121, "https://www.onelook.com/?w=w&ls=a", "&Google"},
      {"&Google", 13123, nullptr, ""},  // only three methods are enabled
      {"&Google", 7490, nullptr, "&Google"},  // not a lookup command
      {"&Google", 13136, nullptr, "&Google"},
      {"&Google", -2147483647 - 1, nullptr, "&Google"},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.config.setDefaultLabel(c.defaultLabel);
    const bool done = f.config.lookup("w", c.command);
    EXPECT_EQ(done, c.address != nullptr) << c.defaultLabel << ' ' << c.command;
    if (c.address) {
      ASSERT_EQ(f.launcher.addresses.size(), 1u);
      EXPECT_EQ(f.launcher.addresses[0], c.address);
    } else {
      EXPECT_TRUE(f.launcher.addresses.empty());
    }
    EXPECT_EQ(f.config.defaultLabel(), c.defaultAfter);
  }
}

TEST(LookupExecution, WebMethodsWithoutAnAddressArePassedOver) {
  Fixture f;
  f.config.entry(S::WebSearch, 0).first.clear();
  EXPECT_TRUE(f.config.lookup("w", 12710));  // the default has no address: the next enabled one
  ASSERT_EQ(f.launcher.addresses.size(), 1u);
  EXPECT_EQ(f.launcher.addresses[0], "https://www.onelook.com/?w=w&ls=a");
  EXPECT_EQ(f.config.defaultLabel(), "");
  // Its place in the submenu still counts.
  EXPECT_FALSE(f.config.lookup("w", 13120));
  EXPECT_TRUE(f.config.lookup("w", 13122));
  EXPECT_EQ(f.launcher.addresses.back(), "https://en.wikipedia.org/wiki/w");
}

TEST(LookupExecution, ProgramsGetTheWordAsOneArgument) {
  const struct {
    const char *word, *encoding, *argument;
  } cases[] = {{"ab", "1", "6162"}, {"tail end", "0", "tail end"}, {"caf\xE9", "1", "636166E9"}};
  for (const auto& c : cases) {
    Fixture f;
    f.config.entry(S::Program, 0) = {1, "&Local", "/opt/dict/bin/look up", c.encoding};
    f.config.setDefaultLabel("&Local");
    EXPECT_TRUE(f.config.lookup(c.word, 12710));
    ASSERT_EQ(f.launcher.programs.size(), 1u);
    EXPECT_EQ(f.launcher.programs[0].first, "/opt/dict/bin/look up");
    EXPECT_EQ(f.launcher.programs[0].second, c.argument);
    EXPECT_TRUE(f.launcher.addresses.empty());
  }
  Fixture f;
  f.config.entry(S::Program, 0) = {1, "&Local", "", "0"};
  f.config.setDefaultLabel("&Local");
  EXPECT_FALSE(f.config.lookup("w", 12710));  // nothing to start
  EXPECT_TRUE(f.launcher.programs.empty());
}

TEST(LookupExecution, DdeAndWindowMessagesFailAndKeepTheirSettings) {
  for (const S style : {S::Dde, S::Message}) {
    Fixture f;
    for (int i = 0; i < 3; ++i) f.config.entry(S::WebSearch, i).enabled = 0;
    f.config.entry(style, 0).enabled = 1;
    const auto before = f.config.entry(style, 0);
    EXPECT_FALSE(f.config.lookup("w", 12710));
    EXPECT_FALSE(f.config.lookup("w", 13120));
    EXPECT_TRUE(f.launcher.addresses.empty());
    EXPECT_TRUE(f.launcher.programs.empty());
    EXPECT_EQ(f.config.entry(style, 0).first, before.first);
    EXPECT_EQ(f.config.entry(style, 0).second, before.second);
    EXPECT_EQ(f.config.entry(style, 0).enabled, 1);
    f.config.save();
    EXPECT_EQ(*f.store.stringValue(style == S::Dde ? "DDETopic1" : "MessageCommand1"), before.second);
  }
}

TEST(LookupExecution, ALauncherThatFailsMakesTheLookupFailWithoutTouchingTheDefault) {
  Fixture f;
  f.launcher.succeeds = false;
  EXPECT_FALSE(f.config.lookup("w", 12710));
  EXPECT_EQ(f.config.defaultLabel(), "&Google");
  EXPECT_EQ(startExternalLookup(f.config, "w", 12710), ExternalLookupOutcome::Failed);
}

TEST(ExternalLookupPrompt, MessageDependsOnModeAndEnabledMethods) {
  const struct {
    ExternalLookupPrompt::Mode mode;
    bool anyEnabled;
    const char* message;
  } cases[] = {
      {ExternalLookupPrompt::Mode::Requested, true, "Would you like to try an external search for \"w x\" now?"},
      {ExternalLookupPrompt::Mode::Requested, false,
       "No external lookup methods are enabled.\n\nClick on the Setup... button and ensure one of the configured "
       "methods is checked if you would like to try an external search for \"w x\"."},
      {ExternalLookupPrompt::Mode::NoDefinitions, true,
       "No definitions for \"w x\" could be found in the KEA dictionaries.\n\nWould you like to try an external "
       "search?"},
      {ExternalLookupPrompt::Mode::NoDefinitions, false,
       "No definitions for \"w x\" could be found in the KEA dictionaries.\n\nClick on the Setup... button and "
       "ensure one of the configured methods is checked if you would like to try an external search."},
  };
  for (const auto& c : cases) {
    Fixture f;
    if (!c.anyEnabled) {
      for (int i = 0; i < 3; ++i) f.config.entry(S::WebSearch, i).enabled = 0;
    }
    ExternalLookupPrompt prompt(f.config, "w x", c.mode);
    EXPECT_EQ(prompt.caption(), "External Lookup - w x");
    EXPECT_EQ(prompt.message(), c.message);
    EXPECT_EQ(prompt.okEnabled(), c.anyEnabled);
    EXPECT_EQ(prompt.ok(), c.anyEnabled);
    EXPECT_EQ(f.launcher.addresses.size(), c.anyEnabled ? 1u : 0u);
  }
}

TEST(ExternalLookupPrompt, PromptFollowsASetupMadeWhileItIsOpen) {
  Fixture f;
  for (int i = 0; i < 3; ++i) f.config.entry(S::WebSearch, i).enabled = 0;
  EXPECT_EQ(startExternalLookup(f.config, "w", 12710), ExternalLookupOutcome::PromptNeeded);
  ExternalLookupPrompt prompt(f.config, "w", ExternalLookupPrompt::Mode::Requested);
  EXPECT_FALSE(prompt.okEnabled());
  f.config.entry(S::WebSearch, 2).enabled = 1;  // as Setup... would
  EXPECT_TRUE(prompt.okEnabled());
  EXPECT_EQ(prompt.message(), "Would you like to try an external search for \"w\" now?");
  EXPECT_TRUE(prompt.ok());
  EXPECT_EQ(f.launcher.addresses.at(0), "https://en.wikipedia.org/wiki/w");
  EXPECT_EQ(startExternalLookup(f.config, "w", 13120), ExternalLookupOutcome::LookedUp);
}

}  // namespace
}  // namespace kea
