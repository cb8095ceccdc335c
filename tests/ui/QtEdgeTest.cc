// Where the core meets Qt: Windows-1252 text, hints, fonts
// and colours, and the settings file.
#include <gtest/gtest.h>

#include <QFile>

#include "settings/Persist.h"
#include "ui/QtFonts.h"
#include "ui/QtSettingsStore.h"
#include "ui/QtText.h"

namespace kea::ui {
namespace {

TEST(QtText, Windows1252HighBytesAndUnrepresentableCharacters) {
  // The euro sign and curly quotes live in 0x80-0x9F, where Latin-1 has controls.
  EXPECT_EQ(toQString("\x80 \x93q\x94 caf\xE9"), QString::fromUtf8("\u20AC \u201Cq\u201D caf\u00E9"));
  EXPECT_EQ(fromQString(QString::fromUtf8("\u20AC caf\u00E9")), std::string("\x80 caf\xE9"));
  platform::CodecError error;
  EXPECT_FALSE(fromQString(QString::fromUtf8("ab\u2192c"), &error));
  EXPECT_EQ(error.codePoint, U'\u2192');
}

TEST(QtText, Hints) {
  const Hint hint = hintText("Look up the selected word\nLookup");
  EXPECT_EQ(hint.status, "Look up the selected word");
  EXPECT_EQ(hint.toolTip, "Lookup");
  EXPECT_TRUE(hintText("Exit KEA").toolTip.isEmpty());
}

TEST(QtFonts, SettingsBecomeFontsAndBack) {
  FontSetting blueBoldArial = parseFont("0,0,255,-20,0,0,0,700,0,0,0,0,0,0,0,34,Arial");
  const QFont font = toQFont(blueBoldArial);
  EXPECT_EQ(font.pixelSize(), 20);
  EXPECT_EQ(font.weight(), QFont::Bold);
  EXPECT_EQ(font.families().value(0), "Arial");
  EXPECT_EQ(toQColor(blueBoldArial.colour), QColor(0, 0, 255));
  // What QFont holds comes back unchanged.
  const FontSetting back = fromQFont(font, toQColor(blueBoldArial.colour), blueBoldArial);
  EXPECT_EQ(back.height, -20);
  EXPECT_EQ(back.weight, 700);
  EXPECT_EQ(back.colour, blueBoldArial.colour);
  EXPECT_EQ(back.faceName, "Arial");

  const QFont italic = toQFont(parseFont("0,0,0,-16,0,0,0,400,255,1,0,0,0,0,0,49,Courier New"));
  EXPECT_TRUE(italic.italic());
  EXPECT_TRUE(italic.underline());
  EXPECT_EQ(italic.styleHint(), QFont::Monospace);
}

TEST(QtSettingsStore, ValuesKeepTheirTypesAndBadValuesReadAsMissing) {
  QFile::remove(QtSettingsStore::fileName());
  QtSettingsStore store;
  EXPECT_FALSE(store.open(SettingsMode::Read));  // no settings yet
  {
    Persist persist(store, SettingsMode::Write);
    persist.writeInt("RangeLongest", 42);
    persist.writeString("Pattern0", "12341234");
    persist.writeString("FontPattern", "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,Courier New");
    persist.writeString("Pattern1", "caf\xE9 \x80");
  }
  {
    QSettings raw(QtSettingsStore::fileName(), QSettings::IniFormat);
    raw.setValue("ViewSorting", "yes");
    raw.setValue("Pattern2", QStringList{"a", "b"});
    raw.setValue("Pattern3", QString::fromUtf8("\u2192"));
  }
  Persist persist(store, SettingsMode::Read);
  int number = -1;
  EXPECT_TRUE(persist.readInt("RangeLongest", number));
  EXPECT_EQ(number, 42);
  std::string text;
  EXPECT_TRUE(persist.readString("Pattern0", text));
  EXPECT_EQ(text, "12341234");
  EXPECT_TRUE(persist.readString("FontPattern", text));
  EXPECT_EQ(text, "0,0,0,-16,0,0,0,400,0,0,0,0,0,0,0,49,Courier New");
  EXPECT_TRUE(persist.readString("Pattern1", text));
  EXPECT_EQ(text, "caf\xE9 \x80");
  number = -1;
  EXPECT_FALSE(persist.readInt("ViewSorting", number));
  EXPECT_EQ(number, -1);
  EXPECT_FALSE(persist.readString("Pattern2", text));
  EXPECT_FALSE(persist.readString("Pattern3", text));
  EXPECT_FALSE(persist.readString("Missing", text));
}

}  // namespace
}  // namespace kea::ui
