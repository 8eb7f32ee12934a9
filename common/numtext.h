// Number texts shared by the field, free-form and group readers (internal).
#pragma once

#include <string>
#include <string_view>

// The one digit test of the readers: the characters 0 to 9 only, whatever
// the locale.
inline bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// A number as written: an optional sign, digits with at most one point and
// an optional exponent (E, D or Q in either case, an optionally signed
// integer).
struct NumberText {
  bool neg = false;
  std::string int_digits;
  std::string frac_digits;
  bool has_point = false;
  bool has_exponent = false;
  std::string exponent;  // optionally signed digits

  std::size_t mantissa_digits() const { return int_digits.size() + frac_digits.size(); }
  // The nearest double. Without a point, `implied_decimals` >= 0 makes the
  // last digits decimals. False when the value overflows a double.
  bool to_double(int implied_decimals, double& out) const;
};

// Splits a text with no blanks by the grammar above; false when it is not one.
bool split_number(std::string_view s, NumberText& n);

// |v| printed with d decimals, rounded from the exact value, ties to even.
std::string print_fixed(double v, int d);
