// Shared value types of both programs.
//
// Units: lengths in AU, times as Julian dates in days, angles in radians.
// State vectors are heliocentric, mean equator and equinox of J2000, with
// velocities in AU per 1/k day (AU/day divided by GAUSSK).
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

// Julian date in days; dynamical time unless a caller says otherwise.
using JulianDate = double;

// Calendar date packed as YYYYMMDD (a year before the year 1 as
// -(YYYY*10000+MMDD), YYYY counting years before the era) and the time of
// day as HHMMSSCC (CC = hundredths of a second).
struct PackedDateTime {
  std::int32_t date = 0;
  std::int32_t time = 0;
};

// month, day, year (0 = 1 BC), hour, minute, and the seconds with fraction.
struct CalendarFields {
  std::array<std::int32_t, 5> f{};  // month, day, year, hour, minute
  double seconds = 0.0;
};

// Orbital elements referred to the mean ecliptic and equinox of J2000.
// The fifth value is the semimajor axis a (negative for a hyperbola) in the
// minor-planet form, or the perihelion distance q in the comet form.
struct ElementSet {
  double e = 0.0;       // eccentricity
  double i = 0.0;       // inclination, radians
  double node = 0.0;    // longitude of the ascending node, radians
  double peri = 0.0;    // argument of perihelion, radians
  double aq = 0.0;      // a or q, AU
  JulianDate tp = 0.0;  // time of perihelion passage
};

// Heliocentric position (AU) and velocity (AU per 1/k day), equatorial J2000.
struct StateVector {
  double x = 0.0, y = 0.0, z = 0.0;
  double vx = 0.0, vy = 0.0, vz = 0.0;
};

// True when all six values are finite numbers (an orbit that has not been
// lost to an infinity or a not-a-number).
inline bool is_finite(const StateVector& s) {
  return std::isfinite(s.x) && std::isfinite(s.y) && std::isfinite(s.z) && std::isfinite(s.vx) &&
         std::isfinite(s.vy) && std::isfinite(s.vz);
}

// What a planet request returns: position (AU) and velocity (AU/day) of a
// target relative to a centre, equatorial J2000; nutations use the first
// four values, librations all six.
using BodyState = std::array<double, 6>;

// Body codes of planet requests: 1 Mercury ... 9 Pluto, 10 Moon, 11 Sun,
// 12 solar-system barycentre, 13 Earth-Moon barycentre, 14 nutations,
// 15 librations.
using BodyNumber = std::int32_t;

// A double truncated toward zero to a signed integer type, defined for any
// input: values beyond the type's range saturate, NaN gives 0.
template <typename Int>
constexpr Int trunc_saturating(double x) {
  static_assert(std::numeric_limits<Int>::is_integer && std::numeric_limits<Int>::is_signed);
  if (!(x == x)) return 0;
  // The type's minimum is minus a power of two, so it and its negation (the
  // maximum plus one) are exact doubles.
  constexpr double lo = static_cast<double>(std::numeric_limits<Int>::min());
  if (x <= lo) return std::numeric_limits<Int>::min();
  if (x >= -lo) return std::numeric_limits<Int>::max();
  return static_cast<Int>(x);
}

// The same for the 32-bit integers of the system.
constexpr std::int32_t trunc_to_i32(double x) {
  return trunc_saturating<std::int32_t>(x);
}

// A fixed table indexed from 1, as the tables of the system are numbered.
// Indices that input can decide are checked.
template <typename T, std::size_t N>
class OneBased {
 public:
  T& operator()(std::int64_t i) { return data_.at(index(i)); }
  const T& operator()(std::int64_t i) const { return data_.at(index(i)); }
  static constexpr std::size_t size() { return N; }
  void fill(const T& v) { data_.fill(v); }
  std::array<T, N>& raw() { return data_; }
  const std::array<T, N>& raw() const { return data_; }

 private:
  static std::size_t index(std::int64_t i) {
    if (i < 1 || i > static_cast<std::int64_t>(N)) throw std::out_of_range("table index");
    return static_cast<std::size_t>(i - 1);
  }
  std::array<T, N> data_{};
};

// A text variable of fixed length N. It always holds N characters: at
// program start they are NUL characters (code 0); assigned texts are
// left-justified and filled with blanks or cut to N.
template <std::size_t N>
class Text {
 public:
  Text() = default;
  explicit Text(std::string_view s) { assign(s); }

  void assign(std::string_view s) {
    const std::size_t n = std::min(N, s.size());
    std::copy_n(s.data(), n, c_.data());
    std::fill(c_.begin() + n, c_.end(), ' ');
  }
  Text& operator=(std::string_view s) {
    assign(s);
    return *this;
  }
  std::string_view view() const { return {c_.data(), N}; }
  std::string str() const { return std::string(view()); }
  // The text without its trailing blanks.
  std::string_view trimmed() const {
    std::size_t n = N;
    while (n > 0 && c_[n - 1] == ' ') --n;
    return {c_.data(), n};
  }
  bool blank() const {
    return std::all_of(c_.begin(), c_.end(), [](char ch) { return ch == ' '; });
  }
  // Exact comparison over the whole field with the keyword filled with blanks.
  bool is(std::string_view keyword) const {
    if (keyword.size() > N) return false;
    return view().substr(0, keyword.size()) == keyword &&
           std::all_of(c_.begin() + keyword.size(), c_.end(), [](char ch) { return ch == ' '; });
  }
  char& operator[](std::size_t i) { return c_.at(i); }
  char operator[](std::size_t i) const { return c_.at(i); }
  std::span<char> span() { return {c_.data(), N}; }
  static constexpr std::size_t size() { return N; }

 private:
  std::array<char, N> c_{};
};
