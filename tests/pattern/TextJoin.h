// Joins text pieces by appending. Chains of operator+ on strings draw a
// false alarm from GCC 12's -Wrestrict at -O3, which the release build
// treats as an error.
#pragma once

#include <string>
#include <string_view>

namespace kea::test {

template <typename... Parts>
std::string join(const Parts&... parts) {
  std::string out;
  (out.append(std::string_view(parts)), ...);
  return out;
}

}  // namespace kea::test
