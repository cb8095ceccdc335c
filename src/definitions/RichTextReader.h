// Definition bodies as styled text. A body that begins with "{\rtf1" is rich
// text; this small reader takes from it what a definition needs (bold,
// italic, underline, strike-out, colours from the colour table, paragraph
// and line breaks, tabs, byte escapes, the named typographic specials and
// Unicode escapes that Windows-1252 can hold) and skips everything else:
// font and style tables, document information, pictures and every "\*"
// destination. Any other body is one unstyled run.
//
// The reader is built for bytes from a file: it never reads outside the
// text, bounds its group nesting, clamps numbers and finishes in time
// proportional to the text's length whatever the braces and control words
// look like. Output text stays single-byte Windows-1252; a line break is
// "\n" and a tab "\t".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/TextForms.h"

namespace kea {

// How a run differs from the pane's default format.
struct TextStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  // Without a colour the run takes the default format's colour.
  bool hasColour = false;
  Colour colour;

  bool operator==(const TextStyle&) const = default;
};

struct StyledRun {
  std::string text;
  TextStyle style;
  bool operator==(const StyledRun&) const = default;
};

// Runs in reading order; neighbouring runs never share a style and no run is
// empty.
struct StyledText {
  std::vector<StyledRun> runs;

  // Appends text in a style, joining it to the last run when the style matches.
  void append(std::string_view text, const TextStyle& style = {});
  std::string plainText() const;
  bool empty() const { return runs.empty(); }
};

// Whether a body is rich text: it begins with "{\rtf1".
bool isRichText(std::string_view body);

// Reads rich text (the caller has checked isRichText, though any text is safe).
StyledText readRichText(std::string_view rtf);

// Rich text through the reader; plain text as one unstyled run with its
// line breaks ("\r\n", "\r" or "\n") made "\n".
StyledText readDefinitionBody(std::string_view body);

// The body as the terminal shows it.
std::string definitionPlainText(std::string_view body);

}  // namespace kea
