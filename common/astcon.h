// Constants shared by both programs, and the month names.
#pragma once

#include <array>
#include <stdexcept>
#include <string_view>

namespace ASTCON {
inline constexpr double GAUSSK = 0.01720209895;      // Gaussian gravitational constant, rad/day
inline constexpr double SUNMU = 1.0;                 // gravitational parameter of the Sun
inline constexpr double RADDEG = 57.29577951308232;  // degrees per radian
inline constexpr double OBLIQ = 0.4090928042;        // obliquity of the ecliptic of J2000, rad
inline constexpr double PI = 3.141592653589793;
}  // namespace ASTCON

// "Jan" to "Dec", indexed 1 to 12.
inline std::string_view month_name(int month) {
  static constexpr std::array<std::string_view, 12> names = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (month < 1 || month > 12) throw std::out_of_range("month name");
  return names[static_cast<std::size_t>(month - 1)];
}

// The month as the element file and the listings write it: its name, or for
// a month outside 1 to 12 (a date beyond the calendar's range) "***", as a
// field that cannot hold its value is written.
inline std::string_view month_text(int month) {
  return month >= 1 && month <= 12 ? month_name(month) : std::string_view("***");
}
