// Loading and saving the lookup methods (first use, a store from an earlier
// run, damaged values), the default method, the External Lookup submenu and
// the rules of the Lookup Methods dialog.
#include "lookup/LookupConfiguration.h"

#include <gtest/gtest.h>

#include "lookup/LookupMethodsModel.h"
#include "lookup/RecordingLauncher.h"

namespace kea {
namespace {

using Box = LookupMethodsModel::BoxState;
using S = LookupStyle;

struct Fixture {
  MemorySettingsStore store;
  testing::RecordingLauncher launcher;
  LookupConfiguration config{store, launcher};
};

TEST(LookupConfiguration, FirstUseGivesTheBuiltInMethods) {
  Fixture f;
  f.config.load();
  EXPECT_EQ(f.config.testWord(), "example");
  EXPECT_EQ(f.config.defaultLabel(), "&Google");
  // The three web searches are on; the other built-in methods are there to
  // be switched on.
  for (const S style : {S::WebSearch, S::Dde, S::Message, S::Program}) {
    for (int i = 0; i < 4; ++i) {
      const auto& method = f.config.entry(style, i);
      EXPECT_EQ(method.enabled != 0, style == S::WebSearch && i < 3) << static_cast<int>(style) << i;
      if (style == S::Program) {
        EXPECT_EQ(method.second, "0");
      }
    }
  }
}

TEST(LookupConfiguration, AStoreFromAnEarlierRunHasNoBuiltInMethods) {
  Fixture f;
  f.store.putString("LookupTestWord", "crossword");
  f.config.load();
  EXPECT_EQ(f.config.testWord(), "crossword");
  EXPECT_EQ(f.config.defaultLabel(), "");
  EXPECT_EQ(f.config.enabledCount(), 0);
  for (const S style : {S::WebSearch, S::Dde, S::Message, S::Program}) {
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(f.config.entry(style, i).label, "");
      EXPECT_EQ(f.config.entry(style, i).first, "");
      EXPECT_EQ(f.config.entry(style, i).second, style == S::Program ? "0" : "");
    }
  }
}

TEST(LookupConfiguration, StoredValuesOverrideTheBuiltInOnesOneByOne) {
  Fixture f;
  // First use (no test word), but some values already there.
  f.store.putString("LookupWebSearchLabel2", "&Lexicon");
  f.store.putInt("LookupWebSearchEnabled3", 0);
  f.store.putString("DDETopic2", "Topic");
  f.store.putString("LookupExecLabel1", "Local");
  f.config.load();
  EXPECT_EQ(f.config.entry(S::WebSearch, 1).label, "&Lexicon");
  EXPECT_EQ(f.config.entry(S::WebSearch, 1).first, "https://www.onelook.com/?w={entry}&ls=a");
  EXPECT_EQ(f.config.entry(S::WebSearch, 2).enabled, 0);
  EXPECT_EQ(f.config.entry(S::Dde, 1).second, "Topic");
  EXPECT_EQ(f.config.entry(S::Dde, 1).first, "Oxford");
  // A program method with a name but no stored enabled value stays off.
  EXPECT_EQ(f.config.entry(S::Program, 0).enabled, 0);
}

TEST(LookupConfiguration, DamagedValuesLoadSafely) {
  Fixture f;
  f.store.putString("LookupTestWord", "w");
  f.store.putString("LookupWebSearchLabel1", "Web");
  f.store.putInt("LookupWebSearchEnabled1", 2147483647);  // any non-zero number is on
  f.store.putString("LookupWebSearchLabel2", "Other");
  f.store.putString("LookupWebSearchEnabled2", "1");      // wrong type: off
  f.store.putInt("LookupDDEEnabled1", 1);                  // no label: never offered
  f.store.putInt("LookupDDELabel2", 7);                    // wrong type: no label
  f.store.putInt("LookupDDEEnabled2", 1);
  f.store.putInt("LookupDefaultLabel", 3);                 // wrong type: empty
  f.store.putString("LookupExecLabel1", "P");
  f.store.putInt("ExecEncoding1", 1);                      // wrong type: no encoding
  f.store.putString("LookupMessageLabel1", std::string(70000, 'x'));  // too long to be a setting
  f.config.load();
  EXPECT_EQ(f.config.entry(S::WebSearch, 0).enabled, 1);
  EXPECT_EQ(f.config.entry(S::WebSearch, 1).enabled, 0);
  EXPECT_EQ(f.config.entry(S::Dde, 0).enabled, 0);
  EXPECT_EQ(f.config.entry(S::Dde, 1).label, "");
  EXPECT_EQ(f.config.entry(S::Dde, 1).enabled, 0);
  EXPECT_EQ(f.config.entry(S::Program, 0).second, "0");
  EXPECT_EQ(f.config.entry(S::Message, 0).label, "");
  EXPECT_EQ(f.config.defaultLabel(), "");
  EXPECT_EQ(f.config.enabledCount(), 1);
  EXPECT_THROW(f.config.entry(S::Dde, 4), std::out_of_range);
}

TEST(LookupConfiguration, SavedMethodsLoadBackUnchanged) {
  Fixture f;
  f.config.load();
  f.config.entry(S::Program, 1) = {1, "&Local", "/usr/bin/dict", "1"};
  f.config.entry(S::WebSearch, 0).enabled = 0;
  f.config.setDefaultLabel("&Local");
  f.config.setTestWord("puzzle");
  f.config.save();
  EXPECT_EQ(*f.store.intValue("LookupExecEnabled2"), 1);
  EXPECT_EQ(*f.store.stringValue("ExecEncoding2"), "1");
  EXPECT_EQ(*f.store.stringValue("DDETopic4"), "WinWord6");
  EXPECT_FALSE(f.store.has("LookupWebSearchSecond1"));
  EXPECT_EQ(f.store.valueCount(), 4u * 4u * 3u + 3u * 4u + 2u);

  testing::RecordingLauncher launcher;
  LookupConfiguration again(f.store, launcher);
  again.load();
  EXPECT_EQ(again.testWord(), "puzzle");
  EXPECT_EQ(again.defaultLabel(), "&Local");
  EXPECT_EQ(again.entry(S::WebSearch, 0).enabled, 0);
  EXPECT_EQ(again.entry(S::Program, 1).first, "/usr/bin/dict");
  EXPECT_EQ(again.enabledCount(), 3);
}

TEST(LookupConfiguration, EffectiveDefaultKeepsAnEnabledDefaultOrTakesTheFirstEnabled) {
  const struct {
    const char* defaultLabel;
    bool googleEnabled, anyEnabled;
    const char* expected;
  } cases[] = {
      {"&OneLook", true, true, "&OneLook"},
      {"&Google", false, true, "&OneLook"},
      {"&Chambers", true, true, "&Google"},  // names a disabled method
      {"", true, true, "&Google"},
      {"&Google", false, false, "&Google"},  // nothing enabled: unchanged
  };
  for (const auto& c : cases) {
    Fixture f;
    f.config.load();
    f.config.setDefaultLabel(c.defaultLabel);
    f.config.entry(S::WebSearch, 0).enabled = c.googleEnabled ? 1 : 0;
    if (!c.anyEnabled) {
      f.config.entry(S::WebSearch, 1).enabled = 0;
      f.config.entry(S::WebSearch, 2).enabled = 0;
    }
    f.config.effectiveDefault();
    EXPECT_EQ(f.config.defaultLabel(), c.expected) << c.defaultLabel;
  }
}

TEST(LookupConfiguration, MenuListsEnabledMethodsThenSetup) {
  Fixture f;
  f.config.load();
  f.config.entry(S::WebSearch, 1).enabled = 0;
  f.config.entry(S::Dde, 2).enabled = 1;
  f.config.setDefaultLabel("&AND Compendium");
  const auto items = f.config.buildMenu(true);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].command, 13120);
  EXPECT_EQ(items[0].text, "&Google");
  EXPECT_FALSE(items[0].radioTicked);
  EXPECT_EQ(items[1].text, "&Wikipedia");
  EXPECT_EQ(items[2].command, 13122);
  EXPECT_EQ(items[2].text, "&AND Compendium");
  EXPECT_TRUE(items[2].radioTicked);
  EXPECT_EQ(items[3].kind, LookupConfiguration::MenuItem::Kind::Separator);
  EXPECT_EQ(items[4].kind, LookupConfiguration::MenuItem::Kind::Setup);
  EXPECT_EQ(items[4].command, 5140);
  EXPECT_EQ(items[4].text, "&Setup...");

  for (const auto& item : f.config.buildMenu(false)) {
    EXPECT_EQ(item.enabled, item.kind != LookupConfiguration::MenuItem::Kind::Method) << item.text;
  }
}

TEST(LookupConfiguration, OnlyTheFirstOfTwoMethodsWithTheDefaultLabelIsTicked) {
  Fixture f;
  f.config.load();
  f.config.entry(S::Dde, 0).label = "&Google";
  f.config.entry(S::Dde, 0).enabled = 1;
  const auto items = f.config.buildMenu(true);
  ASSERT_EQ(items.size(), 6u);
  EXPECT_TRUE(items[0].radioTicked);
  EXPECT_FALSE(items[3].radioTicked);
  EXPECT_EQ(items[3].text, "&Google");
  LookupMethodsModel model(f.config);
  EXPECT_EQ(model.boxState(S::WebSearch, 0), LookupMethodsModel::BoxState::Ticked);
  EXPECT_EQ(model.boxState(S::Dde, 0), LookupMethodsModel::BoxState::Grey);
}

TEST(LookupConfiguration, MenuWithNothingEnabledHasOnlyItsFixedItems) {
  Fixture f;
  f.store.putString("LookupTestWord", "w");
  f.store.putString("LookupDefaultLabel", "Gone");
  f.config.load();
  EXPECT_EQ(f.config.buildMenu(true).size(), 2u);
  EXPECT_EQ(f.config.defaultLabel(), "Gone");
}

TEST(LookupMethodsModel, BoxesFollowTheConfigurationAfterEveryClick) {
  const struct {
    S style;
    int number;
    Box click;
    Box google, oneLook, chambers;
    const char* defaultLabel;
  } cases[] = {
      {S::WebSearch, 1, Box::Ticked, Box::Grey, Box::Ticked, Box::Clear, "&OneLook"},
      {S::WebSearch, 0, Box::Grey, Box::Grey, Box::Grey, Box::Clear, ""},  // the default's tick taken away
      {S::WebSearch, 0, Box::Clear, Box::Clear, Box::Grey, Box::Clear, ""},
      {S::WebSearch, 1, Box::Clear, Box::Ticked, Box::Clear, Box::Clear, "&Google"},
      {S::Dde, 0, Box::Grey, Box::Ticked, Box::Grey, Box::Grey, "&Google"},
      {S::Dde, 0, Box::Ticked, Box::Grey, Box::Grey, Box::Ticked, "&Chambers"},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.config.load();
    LookupMethodsModel model(f.config);
    model.clickBox(c.style, c.number, c.click);
    EXPECT_EQ(model.boxState(S::WebSearch, 0), c.google) << static_cast<int>(c.style) << c.number;
    EXPECT_EQ(model.boxState(S::WebSearch, 1), c.oneLook);
    EXPECT_EQ(model.boxState(S::Dde, 0), c.chambers);
    EXPECT_EQ(f.config.defaultLabel(), c.defaultLabel);
  }
}

TEST(LookupMethodsModel, NamesSwitchMethodsOnAndOffAndCarryTheDefault) {
  Fixture f;
  f.config.load();
  LookupMethodsModel model(f.config);
  EXPECT_FALSE(model.boxEnabled(S::Program, 0));
  model.clickBox(S::Program, 0, Box::Ticked);  // no name: the box cannot be used
  EXPECT_EQ(model.boxState(S::Program, 0), Box::Clear);
  EXPECT_EQ(f.config.defaultLabel(), "&Google");

  model.editName(S::Program, 0, "D");
  EXPECT_EQ(model.boxState(S::Program, 0), Box::Grey);
  model.editName(S::Program, 0, "Dict");  // still named: nothing else changes
  EXPECT_EQ(model.boxState(S::Program, 0), Box::Grey);

  model.editName(S::WebSearch, 0, "&Search");  // the ticked method renamed
  EXPECT_EQ(f.config.defaultLabel(), "&Search");
  EXPECT_EQ(model.boxState(S::WebSearch, 0), Box::Ticked);

  model.editName(S::WebSearch, 0, "");  // emptied: off, and another default
  EXPECT_EQ(model.boxState(S::WebSearch, 0), Box::Clear);
  f.config.effectiveDefault();
  EXPECT_EQ(f.config.defaultLabel(), "&OneLook");
}

TEST(LookupMethodsModel, FieldsAreStoredAndOnlySomeMethodsHaveControls) {
  Fixture f;
  f.config.load();
  LookupMethodsModel model(f.config);
  model.chooseEncoding(1, true);
  EXPECT_EQ(f.config.entry(S::Program, 1).second, "1");
  model.chooseEncoding(1, false);
  EXPECT_EQ(f.config.entry(S::Program, 1).second, "0");
  model.editSecond(S::Program, 1, "x");  // the encoding is only ever a choice
  EXPECT_EQ(f.config.entry(S::Program, 1).second, "0");
  model.editFirst(S::Message, 0, "Title");
  model.editSecond(S::Message, 0, "77");
  EXPECT_EQ(f.config.entry(S::Message, 0).first, "Title");
  EXPECT_EQ(f.config.entry(S::Message, 0).second, "77");
  EXPECT_TRUE(LookupMethodsModel::hasControls(S::Dde, 3));
  EXPECT_FALSE(LookupMethodsModel::hasControls(S::Message, 2));
  EXPECT_FALSE(LookupMethodsModel::hasControls(S::Program, 2));
  EXPECT_TRUE(LookupMethodsModel::hasControls(S::Program, 1));

  // Nothing reaches the store until Save as defaults.
  EXPECT_EQ(f.store.valueCount(), 0u);
  model.saveAsDefaults();
  EXPECT_EQ(*f.store.stringValue("MessageCommand1"), "77");
}

TEST(LookupMethodsModel, TestLookupSettlesTheDefaultAndUsesTheTestWord) {
  Fixture f;
  f.config.load();
  LookupMethodsModel model(f.config);
  model.editTestWord("tail end");
  model.clickBox(S::WebSearch, 0, Box::Clear);
  EXPECT_TRUE(model.testLookup());
  EXPECT_EQ(f.config.defaultLabel(), "&OneLook");
  ASSERT_EQ(f.launcher.addresses.size(), 1u);
  EXPECT_EQ(f.launcher.addresses[0], "https://www.onelook.com/?w=tail%20end&ls=a");
}

}  // namespace
}  // namespace kea
