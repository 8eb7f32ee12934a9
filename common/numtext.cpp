#include "numtext.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

bool split_number(std::string_view s, NumberText& n) {
  n = NumberText{};
  std::size_t p = 0;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) n.neg = s[p++] == '-';
  while (p < s.size() && is_digit(s[p])) n.int_digits += s[p++];
  if (p < s.size() && s[p] == '.') {
    n.has_point = true;
    ++p;
    while (p < s.size() && is_digit(s[p])) n.frac_digits += s[p++];
  }
  if (p < s.size()) {
    const char e = s[p];
    if (e != 'E' && e != 'e' && e != 'D' && e != 'd' && e != 'Q' && e != 'q') return false;
    n.has_exponent = true;
    ++p;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) n.exponent += s[p++];
    const std::size_t first = p;
    while (p < s.size() && is_digit(s[p])) n.exponent += s[p++];
    if (p == first) return false;  // an exponent letter needs digits
  }
  return p == s.size();
}

bool NumberText::to_double(int implied_decimals, double& out) const {
  std::string ip = int_digits, fp = frac_digits;
  if (!has_point && implied_decimals > 0) {
    const auto d = static_cast<std::size_t>(implied_decimals);
    if (ip.size() < d) ip.insert(0, d - ip.size(), '0');
    fp = ip.substr(ip.size() - d);
    ip.erase(ip.size() - d);
  }
  std::string text = neg ? "-" : "";
  text += ip.empty() ? "0" : ip;
  text += '.';
  text += fp.empty() ? "0" : fp;
  if (has_exponent) text += "e" + exponent;
  errno = 0;
  const double v = std::strtod(text.c_str(), nullptr);
  if (std::isinf(v)) return false;
  out = v;
  return true;
}

std::string print_fixed(double v, int d) {
  const int n = std::snprintf(nullptr, 0, "%.*f", d, v);
  std::string s(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(s.data(), s.size(), "%.*f", d, v);
  s.resize(static_cast<std::size_t>(n));
  return s;
}
