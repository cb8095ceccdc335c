#include "definitions/RichTextReader.h"

#include <algorithm>
#include <iterator>
#include <cstdint>
#include <optional>

#include "platform/Cp1252.h"

namespace kea {

namespace {

constexpr std::string_view kRichTextMagic = "{\\rtf1";
// Groups deeper than this share the state of the deepest one kept; the
// braces are still counted so that the nesting stays in step.
constexpr std::size_t kMaxGroupDepth = 256;
// Control word names are at most 32 letters; longer ones are unknown words.
constexpr std::size_t kMaxNameLength = 32;
constexpr std::size_t kMaxColours = 1024;
constexpr std::int64_t kMaxParameter = 2147483647;
// The fallback after a Unicode escape is one or two characters in practice.
constexpr int kMaxFallback = 255;

// Destinations whose contents are never text of the definition.
constexpr std::string_view kSkippedDestinations[] = {
    "fonttbl",    "stylesheet", "info",       "pict",        "object",     "header",     "headerl",
    "headerr",    "headerf",    "footer",     "footerl",     "footerr",    "footerf",    "footnote",
    "filetbl",    "listtable",  "listoverridetable", "revtbl", "rsidtbl",  "xmlnstbl",   "generator",
    "themedata",  "colorschememapping", "latentstyles", "datastore", "fldinst", "nonshppict",
    "author",     "operator",   "title",      "subject",     "keywords",   "comment",    "doccomm",
    "company",    "creatim",    "revtim",     "printim",     "buptim",     "xe",         "tc",
    "txe",        "rxe",        "bkmkstart"};

bool isAsciiLetter(std::uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }
int hexValue(std::uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

enum class Destination : std::uint8_t { Text, Skip, ColourTable };

struct GroupState {
  TextStyle style;          // colour fields unused; see colourIndex
  int colourIndex = 0;      // 0: the default colour
  int fallback = 1;         // characters skipped after a Unicode escape
  Destination destination = Destination::Text;
};

class Reader {
 public:
  explicit Reader(std::string_view text) : in_(text) { stack_.push_back(GroupState{}); }

  StyledText run() {
    while (pos_ < in_.size()) {
      const auto c = static_cast<std::uint8_t>(in_[pos_++]);
      switch (c) {
        case '{': openGroup(); break;
        case '}': closeGroup(); break;
        case '\\': control(); break;
        case '\r':
        case '\n': break;  // line breaks in the source are not text
        default:
          if (consumeFallback()) break;
          if (state().destination == Destination::ColourTable) {
            if (c == ';') endColour();
          } else if (c == '\t') {
            emit('\t');
          } else if (c >= 0x20) {
            emit(c);
          }
      }
    }
    return std::move(out_);
  }

 private:
  GroupState& state() { return stack_.back(); }

  void openGroup() {
    pendingFallback_ = 0;
    if (stack_.size() < kMaxGroupDepth) {
      stack_.push_back(stack_.back());
    } else {
      ++overflowDepth_;
    }
  }

  void closeGroup() {
    pendingFallback_ = 0;
    if (overflowDepth_ > 0) {
      --overflowDepth_;
    } else if (stack_.size() > 1) {
      stack_.pop_back();
    }
    // A closing brace with no group open is ignored; the text goes on.
  }

  // True when the current character is part of a Unicode escape's fallback.
  bool consumeFallback() {
    if (pendingFallback_ == 0) return false;
    --pendingFallback_;
    return true;
  }

  void emit(std::uint8_t byte) {
    const GroupState& s = state();
    if (s.destination != Destination::Text) return;
    TextStyle style = s.style;
    if (s.colourIndex > 0 && static_cast<std::size_t>(s.colourIndex) < colours_.size() && colours_[s.colourIndex]) {
      style.hasColour = true;
      style.colour = *colours_[s.colourIndex];
    }
    const char ch = static_cast<char>(byte);
    out_.append(std::string_view(&ch, 1), style);
  }

  void endColour() {
    if (colours_.size() < kMaxColours) {
      colours_.push_back(colourHasParts_ ? std::optional<Colour>(Colour::fromRgb(red_, green_, blue_)) : std::nullopt);
    }
    red_ = green_ = blue_ = 0;
    colourHasParts_ = false;
  }

  // After the backslash.
  void control() {
    if (pos_ >= in_.size()) return;  // a lone backslash at the end
    const auto c = static_cast<std::uint8_t>(in_[pos_]);
    if (isAsciiLetter(c)) {
      controlWord();
    } else {
      ++pos_;
      controlSymbol(c);
    }
  }

  void controlSymbol(std::uint8_t c) {
    if (c == '\'') {
      int value = 0, digits = 0;
      while (digits < 2 && pos_ < in_.size() && hexValue(static_cast<std::uint8_t>(in_[pos_])) >= 0) {
        value = value * 16 + hexValue(static_cast<std::uint8_t>(in_[pos_++]));
        ++digits;
      }
      if (consumeFallback() || digits == 0) return;
      if (value >= 0x20 || value == '\t') emit(static_cast<std::uint8_t>(value));
      return;
    }
    if (consumeFallback()) return;
    switch (c) {
      case '\\':
      case '{':
      case '}': emit(c); break;
      case '~': emit(0xA0); break;   // no-break space
      case '_': emit('-'); break;    // non-breaking hyphen
      case '*': state().destination = Destination::Skip; break;
      case '\r':
      case '\n': emit('\n'); break;  // a backslash before a line break is a paragraph
      case '\t': emit('\t'); break;
      default: break;                // optional hyphen, formula and index marks
    }
  }

  void controlWord() {
    const std::size_t start = pos_;
    while (pos_ < in_.size() && isAsciiLetter(static_cast<std::uint8_t>(in_[pos_]))) ++pos_;
    const std::string_view name = pos_ - start <= kMaxNameLength ? in_.substr(start, pos_ - start) : std::string_view();
    bool hasParameter = false;
    bool negative = false;
    std::int64_t value = 0;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(static_cast<std::uint8_t>(in_[pos_ + 1]))) {
      negative = true;
      ++pos_;
    }
    while (pos_ < in_.size() && isDigit(static_cast<std::uint8_t>(in_[pos_]))) {
      hasParameter = true;
      value = std::min<std::int64_t>(value * 10 + (in_[pos_++] - '0'), kMaxParameter);
    }
    if (negative) value = -value;
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;  // the delimiting blank belongs to the word

    if (name == "bin") {
      // Raw bytes follow; they are never text, and never braces either.
      const auto count = static_cast<std::size_t>(std::max<std::int64_t>(value, 0));
      pos_ += std::min(count, in_.size() - pos_);
      consumeFallback();
      return;
    }
    if (consumeFallback()) return;
    word(name, hasParameter, static_cast<int>(value));
  }

  void setToggle(bool& flag, bool hasParameter, int value) { flag = !hasParameter || value != 0; }

  void word(std::string_view name, bool hasParameter, int value) {
    GroupState& s = state();
    if (s.destination == Destination::Skip) return;
    if (s.destination == Destination::ColourTable) {
      const int part = std::clamp(value, 0, 255);
      if (name == "red") red_ = part, colourHasParts_ = true;
      else if (name == "green") green_ = part, colourHasParts_ = true;
      else if (name == "blue") blue_ = part, colourHasParts_ = true;
      return;
    }
    if (name.empty()) return;
    if (name == "colortbl") {
      s.destination = Destination::ColourTable;
      colours_.clear();
      red_ = green_ = blue_ = 0;
      colourHasParts_ = false;
      return;
    }
    if (std::find(std::begin(kSkippedDestinations), std::end(kSkippedDestinations), name) != std::end(kSkippedDestinations)) {
      s.destination = Destination::Skip;
      return;
    }
    if (name == "par" || name == "line" || name == "sect" || name == "page" || name == "row") return emit('\n');
    if (name == "tab" || name == "cell") return emit('\t');
    if (name == "emdash") return emit(0x97);
    if (name == "endash") return emit(0x96);
    if (name == "bullet") return emit(0x95);
    if (name == "lquote") return emit(0x91);
    if (name == "rquote") return emit(0x92);
    if (name == "ldblquote") return emit(0x93);
    if (name == "rdblquote") return emit(0x94);
    if (name == "emspace" || name == "enspace" || name == "qmspace") return emit(' ');
    if (name == "u") return unicode(value);
    if (name == "uc") {
      s.fallback = std::clamp(value, 0, kMaxFallback);
      return;
    }
    if (name == "b") return setToggle(s.style.bold, hasParameter, value);
    if (name == "i") return setToggle(s.style.italic, hasParameter, value);
    if (name == "strike" || name == "striked") return setToggle(s.style.strikeOut, hasParameter, value);
    if (name == "ulnone") {
      s.style.underline = false;
      return;
    }
    if (name.starts_with("ul") && isUnderlineKind(name)) return setToggle(s.style.underline, hasParameter, value);
    if (name == "cf") {
      s.colourIndex = std::max(value, 0);
      return;
    }
    if (name == "plain") {
      s.style = TextStyle{};
      s.colourIndex = 0;
      return;
    }
    // Everything else (paragraph layout, fonts, sizes, document settings)
    // has no bearing on a definition shown in the pane's own font.
  }

  static bool isUnderlineKind(std::string_view name) {
    static constexpr std::string_view kinds[] = {
        "ul",     "uld",    "uldash",   "uldashd",    "uldashdd",  "uldb",     "ulhwave",  "ulldash", "ulth",
        "ulthd",  "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",   "ulwave"};
    return std::find(std::begin(kinds), std::end(kinds), name) != std::end(kinds);
  }

  void unicode(int value) {
    // The parameter is a signed 16-bit number: negative values stand for
    // code points 32768…65535.
    std::int64_t codePoint = value;
    if (codePoint < 0) codePoint += 65536;
    if (codePoint >= 0x20 && codePoint <= 0x10FFFF) {
      const auto byte = platform::codePointToCp1252(static_cast<char32_t>(codePoint));
      emit(byte ? *byte : static_cast<std::uint8_t>('?'));
    } else if (codePoint == '\t') {
      emit('\t');
    }
    pendingFallback_ = state().fallback;
  }

  std::string_view in_;
  std::size_t pos_ = 0;
  std::vector<GroupState> stack_;
  std::size_t overflowDepth_ = 0;
  int pendingFallback_ = 0;
  std::vector<std::optional<Colour>> colours_;
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colourHasParts_ = false;
  StyledText out_;
};

}  // namespace

void StyledText::append(std::string_view text, const TextStyle& style) {
  if (text.empty()) return;
  if (!runs.empty() && runs.back().style == style) {
    runs.back().text.append(text);
  } else {
    runs.push_back(StyledRun{std::string(text), style});
  }
}

std::string StyledText::plainText() const {
  std::string text;
  for (const auto& run : runs) text += run.text;
  return text;
}

bool isRichText(std::string_view body) { return body.starts_with(kRichTextMagic); }

StyledText readRichText(std::string_view rtf) { return Reader(rtf).run(); }

StyledText readDefinitionBody(std::string_view body) {
  if (isRichText(body)) return readRichText(body);
  std::string text;
  text.reserve(body.size());
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r') {
      if (i + 1 < body.size() && body[i + 1] == '\n') continue;
      text += '\n';
    } else {
      text += body[i];
    }
  }
  StyledText styled;
  styled.append(text);
  return styled;
}

std::string definitionPlainText(std::string_view body) { return readDefinitionBody(body).plainText(); }

}  // namespace kea
