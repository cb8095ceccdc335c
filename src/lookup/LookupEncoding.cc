#include "lookup/LookupEncoding.h"

#include <climits>

namespace kea {

namespace {

constexpr char kLowerDigits[] = "0123456789abcdef";
constexpr char kUpperDigits[] = "0123456789ABCDEF";
constexpr std::string_view kEntryMarker = "{entry}";

bool isAsciiLetterOrDigit(unsigned char byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

}  // namespace

std::string urlEscape(std::string_view word) {
  std::string out;
  out.reserve(word.size() * 3);
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    if (isAsciiLetterOrDigit(byte)) {
      out += c;
    } else {
      out += '%';
      out += kLowerDigits[byte >> 4];
      out += kLowerDigits[byte & 0x0F];
    }
  }
  return out;
}

std::string hexEncode(std::string_view word) {
  std::string out;
  out.reserve(word.size() * 2);
  for (const char c : word) {
    const auto byte = static_cast<unsigned char>(c);
    out += kUpperDigits[byte >> 4];
    out += kUpperDigits[byte & 0x0F];
  }
  return out;
}

std::string lookupAddress(std::string_view address, std::string_view word) {
  const std::string escaped = urlEscape(word);
  std::string out(address);
  // From the last marker back, so each replacement leaves the positions of
  // the markers still to come untouched.
  std::size_t at = out.rfind(kEntryMarker);
  while (at != std::string::npos) {
    out.replace(at, kEntryMarker.size(), escaped);
    if (at == 0) break;
    at = out.rfind(kEntryMarker, at - 1);
  }
  return out;
}

std::string programArgument(std::string_view word, std::string_view encoding) {
  return encoding == "1" ? hexEncode(word) : std::string(word);
}

int messageCommandNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace kea
