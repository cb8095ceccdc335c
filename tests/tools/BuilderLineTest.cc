// Builder lines written by the preparation tool: escaping, the fields and
// definition that the builder's own line parser gets back, and conversion of
// source text with every dropped entry counted.
#include "kea-prepare/BuilderLine.h"

#include <gtest/gtest.h>

#include "builder/BuilderInput.h"
#include "builder/EnglishAlphabet.h"

namespace kea::prepare {
namespace {

// What the builder reads from a line: the headword, annotation and tail of
// every field, and the definition.
struct ReadLine {
  std::vector<std::string> fields;
  bool annotated = false;  // some field has an annotation or a tail
  bool hasDefinition = false;
  std::string definition;
};

ReadLine readLine(std::string_view line) {
  ParsedLine parsed;
  parsed.parse(line);
  ReadLine out;
  for (std::size_t i = 0; i < parsed.fieldCount(); ++i) {
    out.fields.emplace_back(parsed.headword(i));
    out.annotated |= !parsed.annotation(i).empty() || !parsed.tail(i).empty();
  }
  out.hasDefinition = parsed.hasDefinition();
  out.definition = std::string(parsed.definition());
  return out;
}

TEST(BuilderLine, EscapesEveryCharacterTheSyntaxReads) {
  const struct {
    const char* headword;
    const char* escaped;
  } cases[] = {
      {"jack-o'-lantern", "jack-o'-lantern"},
      {"ratio 3:2", "ratio 3\\:2"},
      {"semi;colon", "semi\\;colon"},
      {"pipe|dream", "pipe\\|dream"},
      {"back\\slash", "back\\\\slash"},
      {"C++", "C\\+\\+"},
      {"\\:;|+", "\\\\\\:\\;\\|\\+"},
  };
  for (const auto& c : cases) {
    std::string line;
    appendEscapedHeadword(line, c.headword);
    EXPECT_EQ(line, c.escaped) << c.headword;
  }
}

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
    const ReadLine read = readLine(line);
    EXPECT_EQ(read.fields, headwords) << line;
    EXPECT_TRUE(read.hasDefinition);
    EXPECT_EQ(read.definition, definition) << line;
    EXPECT_FALSE(read.annotated) << line;
  }
  // Fields are separated by ":" so that no field ending decides the group.
  EXPECT_EQ(builderLine({"maharaja", "maharajah"}, "noun: a great raja"), "maharaja:maharajah|noun: a great raja");
  const ReadLine single = readLine(builderLine({"tonight"}, {}));
  EXPECT_EQ(single.fields, std::vector<std::string>{"tonight"});
  EXPECT_FALSE(single.hasDefinition);
}

class ConvertHeadword : public ::testing::Test {
 protected:
  AlphabetTable alphabet = englishAlphabetTable();
  SourceReport report;

  std::optional<std::string> convert(std::string_view utf8) { return convertHeadword(utf8, alphabet, report); }
  std::size_t dropped(DropReason reason) const { return report.dropped[static_cast<std::size_t>(reason)]; }
  const std::string& first(DropReason reason) const { return report.firstDropped[static_cast<std::size_t>(reason)]; }
};

TEST_F(ConvertHeadword, ConvertsUtf8ToWindows1252) {
  EXPECT_EQ(convert("caf\u00E9"), "caf\xE9");
  EXPECT_EQ(convert("\u0153uvre"), "\x9Cuvre");
  EXPECT_EQ(convert("jack-o\u2019-lantern"), "jack-o\x92-lantern");
  EXPECT_EQ(convert("  spaced  "), "spaced");
  EXPECT_EQ(report.droppedTotal(), 0u);
}

TEST_F(ConvertHeadword, CountsWhatItDrops) {
  EXPECT_FALSE(convert("Nih\u014Dn"));     // ō has no Windows-1252 byte
  EXPECT_FALSE(convert("\u65E5\u672C"));
  EXPECT_FALSE(convert("caf\xC3("));        // broken UTF-8
  EXPECT_FALSE(convert("1000"));
  EXPECT_FALSE(convert("24/7"));
  EXPECT_FALSE(convert("tab\there"));
  EXPECT_FALSE(convert(std::string(101, 'a')));
  EXPECT_TRUE(convert(std::string(100, 'a') + "-1"));  // 100 letters is the longest length

  EXPECT_EQ(dropped(DropReason::kNotInCodePage), 2u);
  EXPECT_EQ(dropped(DropReason::kInvalidUtf8), 1u);
  EXPECT_EQ(dropped(DropReason::kNoLetters), 2u);
  EXPECT_EQ(dropped(DropReason::kControlChar), 1u);
  EXPECT_EQ(dropped(DropReason::kTooLong), 1u);
  EXPECT_EQ(report.droppedTotal(), 7u);

  // The report names the first of each kind, printable and valid UTF-8.
  EXPECT_NE(first(DropReason::kNotInCodePage).find("Nih\u014Dn"), std::string::npos);
  EXPECT_NE(first(DropReason::kNotInCodePage).find("U+014D"), std::string::npos);
  EXPECT_EQ(first(DropReason::kInvalidUtf8).substr(0, 7), "\"caf?(\"");
  EXPECT_EQ(first(DropReason::kNoLetters), "\"1000\"");
  EXPECT_EQ(first(DropReason::kControlChar), "\"tab?here\"");
  EXPECT_NE(first(DropReason::kTooLong).find("...\""), std::string::npos);
}

TEST(ConvertDefinition, KeepsTheTextOnOneLine) {
  EXPECT_EQ(convertDefinition("  a\tb\r\nc\x7F \u2014 d  "), "a b  c  \x97 d");
  platform::CodecError error;
  EXPECT_FALSE(convertDefinition("the \u4E2D sign", &error));
  EXPECT_EQ(dropReasonOf(error), DropReason::kNotInCodePage);
  EXPECT_FALSE(convertDefinition("bad \xE2\x82", &error));
  EXPECT_EQ(dropReasonOf(error), DropReason::kInvalidUtf8);
}

}  // namespace
}  // namespace kea::prepare
