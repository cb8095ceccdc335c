#include "BuilderLine.h"

#include <algorithm>

#include "dictionary/KkdFormat.h"
#include "platform/Cp1252.h"

namespace kea::prepare {
namespace {

bool isControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

std::string_view trimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

const char* dropReasonText(DropReason reason) {
  switch (reason) {
    case DropReason::kMalformedLine: return "malformed line";
    case DropReason::kInvalidUtf8: return "not valid UTF-8";
    case DropReason::kNotInCodePage: return "a character Windows-1252 cannot hold";
    case DropReason::kControlChar: return "a control character";
    case DropReason::kNoLetters: return "no letters";
    case DropReason::kTooLong: return "more than 100 letters";
    case DropReason::kNoHeadword: return "no headword left";
  }
  return "unknown";
}

void SourceReport::drop(DropReason reason, std::string_view item, std::string_view detail) {
  const auto index = static_cast<std::size_t>(reason);
  if (dropped[index]++ == 0) {
    // The item may itself be the malformed text: keep it printable and
    // valid UTF-8, and cut long items at a character boundary.
    std::size_t shownSize = std::min<std::size_t>(item.size(), 80);
    while (shownSize < item.size() && shownSize > 0 && (static_cast<unsigned char>(item[shownSize]) & 0xC0) == 0x80) {
      --shownSize;
    }
    std::string shown;
    for (char c : item.substr(0, shownSize)) {
      const auto byte = static_cast<unsigned char>(c);
      const bool unsafe = isControl(byte) || (reason == DropReason::kInvalidUtf8 && byte >= 0x80);
      shown.push_back(unsafe ? '?' : c);
    }
    if (shownSize < item.size()) shown += "...";
    firstDropped[index] = "\"" + shown + "\"";
    if (!detail.empty()) firstDropped[index] += std::string(": ") + std::string(detail);
  }
}

std::size_t SourceReport::droppedTotal() const {
  std::size_t total = 0;
  for (std::size_t count : dropped) total += count;
  return total;
}

std::size_t letterCount(std::string_view cp1252, const AlphabetTable& alphabet) {
  std::size_t count = 0;
  for (char c : cp1252) count += alphabet[static_cast<unsigned char>(c)] != 0;
  return count;
}

std::optional<std::string> convertHeadword(std::string_view utf8, const AlphabetTable& alphabet,
                                           SourceReport& report) {
  platform::CodecError error;
  auto text = platform::utf8ToCp1252(trimSpaces(utf8), &error);
  if (!text) {
    // Malformed bytes are shown as '?' by drop(); the message says where.
    report.drop(dropReasonOf(error), utf8, error.message());
    return std::nullopt;
  }
  for (char c : *text) {
    if (isControl(static_cast<unsigned char>(c))) {
      report.drop(DropReason::kControlChar, utf8);
      return std::nullopt;
    }
  }
  const std::size_t letters = letterCount(*text, alphabet);
  if (letters == 0) {
    report.drop(DropReason::kNoLetters, utf8);
    return std::nullopt;
  }
  if (letters > static_cast<std::size_t>(kkd::kMaxWordLength)) {
    report.drop(DropReason::kTooLong, utf8);
    return std::nullopt;
  }
  return text;
}

std::optional<std::string> convertDefinition(std::string_view utf8, platform::CodecError* error) {
  auto text = platform::utf8ToCp1252(utf8, error);
  if (!text) return std::nullopt;
  for (char& c : *text) {
    if (isControl(static_cast<unsigned char>(c))) c = ' ';
  }
  return std::string(trimSpaces(*text));
}

void appendEscapedHeadword(std::string& line, std::string_view headword) {
  for (char c : headword) {
    if (c == ':' || c == ';' || c == '|' || c == '\\' || c == '+') line.push_back('\\');
    line.push_back(c);
  }
}

std::string builderLine(const std::vector<std::string>& headwords, std::string_view definition) {
  std::string line;
  for (std::size_t i = 0; i < headwords.size(); ++i) {
    if (i > 0) line.push_back(':');
    appendEscapedHeadword(line, headwords[i]);
  }
  if (!definition.empty()) {
    line.push_back('|');
    line.append(definition);
  }
  return line;
}

}  // namespace kea::prepare
