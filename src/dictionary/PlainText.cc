#include "dictionary/PlainText.h"

#include <cstdint>

namespace kea {
namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Control words that stand for a visible separation in the text. Bars on
// both sides make a lookup of "|name|" match whole names only.
constexpr std::string_view kSeparatingWords =
    "|bin|par|line|tab|emdash|endash|bullet|lquote|rquote|ldblquote|rdblquote|";

bool isSeparatingWord(std::string_view name) {
  if (name.size() >= 10) return false;
  char key[12];
  key[0] = '|';
  name.copy(key + 1, name.size());
  key[name.size() + 1] = '|';
  return kSeparatingWords.find(std::string_view(key, name.size() + 2)) != std::string_view::npos;
}

}  // namespace

void reduceToPlainText(std::string_view definition, std::string& out) {
  out.clear();
  if (definition.substr(0, 6) != "{\\rtf1") {
    out.assign(definition);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return;
  }
  out.reserve(definition.size());
  const std::size_t n = definition.size();
  std::size_t i = 0;
  while (i < n) {
    const char c = definition[i];
    if (c == '{' || c == '}') {
      ++i;
      continue;
    }
    if (c != '\\') {
      out.push_back(c);
      ++i;
      continue;
    }
    ++i;  // the backslash
    if (i == n) break;
    const char next = definition[i];
    if (isAsciiLetter(next)) {
      const std::size_t nameStart = i;
      while (i < n && isAsciiLetter(definition[i])) ++i;
      const std::string_view name = definition.substr(nameStart, i - nameStart);
      bool negative = false;
      if (i < n && definition[i] == '-') {
        negative = true;
        ++i;
      }
      std::uint64_t number = 0;
      while (i < n && isDigit(definition[i])) {
        if (number < n) number = number * 10 + static_cast<std::uint64_t>(definition[i] - '0');
        ++i;
      }
      if (i < n && definition[i] == ' ') ++i;
      if (isSeparatingWord(name)) {
        out.push_back(' ');
        if (name == "bin" && !negative) i += number < n - i ? static_cast<std::size_t>(number) : n - i;
      }
      continue;
    }
    if (next == '\'') {
      if (i + 2 < n && hexValue(definition[i + 1]) >= 0 && hexValue(definition[i + 2]) >= 0) {
        out.push_back(static_cast<char>(hexValue(definition[i + 1]) * 16 + hexValue(definition[i + 2])));
        i += 3;
      } else {
        ++i;
      }
      continue;
    }
    if (next == '_' || next == '-') {
      out.push_back('-');
      ++i;
      continue;
    }
    if (next == '*') {
      ++i;
      continue;
    }
    if (next == '\\' || next == '{' || next == '}') {
      out.push_back(next);
      ++i;
      continue;
    }
    // Any other escaped character stands for itself.
  }
}

}  // namespace kea
