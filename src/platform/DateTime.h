// Local date and time texts in the user's locale (the C library's LC_TIME,
// set by the program at start-up), returned as Windows-1252 text.
#pragma once

#include <cstdint>
#include <string>

namespace kea::platform {

// A file time (nanoseconds since the epoch) as the user's long date, a space
// and the user's time, for example "Tuesday, March 5, 2024 14:03:07". When
// the locale's text cannot be held in Windows-1252 the date is given in the
// numeric form "2024-03-05 14:03:07" instead.
std::string localDateTimeText(std::int64_t nanoseconds);

}  // namespace kea::platform
