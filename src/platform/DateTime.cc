#include "platform/DateTime.h"

#include <langinfo.h>

#include <ctime>
#include <string_view>

#include "platform/Cp1252.h"

namespace kea::platform {

namespace {

// The C library knows a locale's short date order but has no long date
// format, so the long form is made from the short form's order of day,
// month and year with the full day and month names.
std::string longDateFormat() {
  std::string_view shortFormat = nl_langinfo(D_FMT);
  if (shortFormat == "%D") shortFormat = "%m/%d/%y";
  if (shortFormat == "%F") shortFormat = "%Y-%m-%d";
  const auto position = [&](std::string_view conversions) {
    for (std::size_t i = 0; i + 1 < shortFormat.size(); ++i) {
      if (shortFormat[i] != '%') continue;
      std::size_t j = i + 1;
      while (j < shortFormat.size() && (shortFormat[j] == 'E' || shortFormat[j] == 'O' || shortFormat[j] == '-'))
        ++j;
      if (j < shortFormat.size() && conversions.find(shortFormat[j]) != std::string_view::npos) return i;
      i = j;
    }
    return std::string_view::npos;
  };
  const std::size_t day = position("de");
  const std::size_t month = position("mbBh");
  const std::size_t year = position("yYCG");
  if (year != std::string_view::npos && (day == std::string_view::npos || year < day) &&
      (month == std::string_view::npos || year < month))
    return "%Y %B %-d, %A";
  if (month != std::string_view::npos && day != std::string_view::npos && month < day)
    return "%A, %B %-d, %Y";
  return "%A %-d %B %Y";
}

std::string format(const char* pattern, const std::tm& time) {
  char buffer[512];
  const std::size_t n = std::strftime(buffer, sizeof buffer, pattern, &time);
  return std::string(buffer, n);
}

// The locale's text in Windows-1252, or nothing when it cannot be held.
std::optional<std::string> toCp1252(const std::string& text) {
  const std::string_view codeset = nl_langinfo(CODESET);
  if (codeset == "UTF-8" || codeset == "utf8") return utf8ToCp1252(text);
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;  // an unknown single-byte codeset
  }
  return text;
}

}  // namespace

std::string localDateTimeText(std::int64_t nanoseconds) {
  std::int64_t seconds = nanoseconds / 1000000000LL;
  if (nanoseconds % 1000000000LL < 0) --seconds;
  const std::time_t when = static_cast<std::time_t>(seconds);
  std::tm local;
  if (!localtime_r(&when, &local)) return std::string();
  if (auto text = toCp1252(format((longDateFormat() + " %X").c_str(), local))) return *text;
  return format("%Y-%m-%d %H:%M:%S", local);
}

}  // namespace kea::platform
