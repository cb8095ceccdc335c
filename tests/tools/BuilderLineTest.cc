// Builder lines written by the preparation tool: escaping, the fields and
// definition that the builder's own line parser gets back, and conversion of
// source text with every dropped entry counted.
#include "kea-prepare/BuilderLine.h"

#include <gtest/gtest.h>

#include "builder/BuilderInput.h"
#include "builder/EnglishAlphabet.h"

namespace kea::prepare {
namespace {

TEST(BuilderLine, FieldsAndDefinitionReadBackUnchanged) {
  const std::vector<std::vector<std::string>> synsets = {
      {"electron", "negatron"},
      {"C++", "A+", "back\\slash\\"},
      {"ratio 3:2", "x;y", "a|b", "trailing\\"},
      {"friar's lantern", "ignis fatuus", "jack-o'-lantern", "will-o'-the-wisp"},
  };
  const std::string definition = "noun: a | b; c: d \\ e + f";
  for (const auto& headwords : synsets) {
    const std::string line = builderLine(headwords, definition);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    ParsedLine parsed;
    parsed.parse(line);
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < parsed.fieldCount(); ++i) {
      fields.emplace_back(parsed.headword(i));
      EXPECT_TRUE(parsed.annotation(i).empty() && parsed.tail(i).empty()) << line;
    }
    EXPECT_EQ(fields, headwords) << line;
    EXPECT_TRUE(parsed.hasDefinition());
    EXPECT_EQ(parsed.definition(), definition) << line;
  }
  // Fields are separated by ":" so that no field ending decides the group.
  EXPECT_EQ(builderLine({"maharaja", "maharajah"}, "noun: a great raja"), "maharaja:maharajah|noun: a great raja");
  EXPECT_EQ(builderLine({"tonight"}, {}), "tonight");
}

TEST(BuilderLine, ConvertsToWindows1252AndCountsWhatItDrops) {
  const AlphabetTable alphabet = englishAlphabetTable();
  SourceReport report;
  const auto convert = [&](std::string_view utf8) { return convertHeadword(utf8, alphabet, report); };
  const auto first = [&](DropReason reason) { return report.firstDropped[static_cast<std::size_t>(reason)]; };
  EXPECT_EQ(convert("caf\u00E9"), "caf\xE9");
  EXPECT_EQ(convert("\u0153uvre"), "\x9Cuvre");
  EXPECT_EQ(convert("jack-o\u2019-lantern"), "jack-o\x92-lantern");
  EXPECT_EQ(convert("  spaced  "), "spaced");
  EXPECT_TRUE(convert(std::string(100, 'a') + "-1"));  // 100 letters is the longest length
  EXPECT_EQ(report.droppedTotal(), 0u);

  for (const std::string& dropped : std::initializer_list<std::string>{
           "Nih\u014Dn", "\u65E5\u672C", "caf\xC3(", "1000", "24/7", "tab\there", std::string(101, 'a')}) {
    EXPECT_FALSE(convert(dropped)) << dropped;
  }
  using enum DropReason;
  for (const auto& [reason, count] : {std::pair{kNotInCodePage, 2u}, {kInvalidUtf8, 1u}, {kNoLetters, 2u},
                                      {kControlChar, 1u}, {kTooLong, 1u}}) {
    EXPECT_EQ(report.dropped[static_cast<std::size_t>(reason)], count) << static_cast<int>(reason);
  }
  EXPECT_EQ(report.droppedTotal(), 7u);
  // The report names the first of each kind, printable and valid UTF-8.
  EXPECT_NE(first(kNotInCodePage).find("Nih\u014Dn"), std::string::npos);
  EXPECT_NE(first(kNotInCodePage).find("U+014D"), std::string::npos);
  EXPECT_EQ(first(kInvalidUtf8).substr(0, 7), "\"caf?(\"");
  EXPECT_EQ(first(kNoLetters), "\"1000\"");
  EXPECT_EQ(first(kControlChar), "\"tab?here\"");
  EXPECT_NE(first(kTooLong).find("...\""), std::string::npos);

  // Definitions stay on one line.
  EXPECT_EQ(convertDefinition("  a\tb\r\nc\x7F \u2014 d  "), "a b  c  \x97 d");
  platform::CodecError error;
  EXPECT_FALSE(convertDefinition("the \u4E2D sign", &error));
  EXPECT_EQ(dropReasonOf(error), kNotInCodePage);
  EXPECT_FALSE(convertDefinition("bad \xE2\x82", &error));
  EXPECT_EQ(dropReasonOf(error), kInvalidUtf8);
}

}  // namespace
}  // namespace kea::prepare
