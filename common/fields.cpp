// Writing and reading single fixed-width fields.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "numtext.h"
#include "textio.h"

namespace {

std::string stars(int w) {
  return std::string(static_cast<std::size_t>(std::max(w, 0)), '*');
}

std::string right_justify(const std::string& s, int w) {
  if (static_cast<int>(s.size()) > w) return stars(w);
  return std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

}  // namespace

std::string format_int(std::int64_t v, int w) {
  return right_justify(std::to_string(v), w);
}

std::string format_fixed(double v, int w, int d) {
  if (std::isnan(v)) return right_justify("NaN", w);
  if (std::isinf(v)) {
    const std::string sign = v < 0 ? "-" : "";
    const std::string word = w - static_cast<int>(sign.size()) >= 8 ? "Infinity" : "Inf";
    return right_justify(sign + word, w);
  }
  // printf rounds from the exact binary value, ties to even.
  std::string digits = print_fixed(std::fabs(v), d);
  if (d == 0) digits += '.';
  const bool neg = std::signbit(v) && digits.find_first_of("123456789") != std::string::npos;
  std::string field = (neg ? "-" : "") + digits;
  if (static_cast<int>(field.size()) > w && digits.rfind("0.", 0) == 0) {
    field.erase(neg ? 1 : 0, 1);  // no room for the "0" before the point
  }
  return right_justify(field, w);
}

std::string format_text(std::string_view v, int w) {
  if (w < 0) return std::string(v);
  const auto uw = static_cast<std::size_t>(w);
  if (v.size() >= uw) return std::string(v.substr(0, uw));
  return std::string(uw - v.size(), ' ') + std::string(v);
}

std::string_view columns(std::string_view line, std::size_t from, std::size_t w,
                         std::string& scratch) {
  if (from <= line.size() && line.size() - from >= w) return line.substr(from, w);
  scratch = from < line.size() ? std::string(line.substr(from)) : std::string();
  scratch.resize(w, ' ');
  return scratch;
}

bool parse_int_field(std::string_view field, std::int32_t& out) {
  std::string s;
  for (char c : field)
    if (c != ' ') s += c;
  std::size_t p = 0;
  bool neg = false;
  if (p < s.size() && (s[p] == '+' || s[p] == '-')) neg = s[p++] == '-';
  std::int64_t v = 0;
  for (; p < s.size(); ++p) {
    if (s[p] < '0' || s[p] > '9') return false;
    v = v * 10 + (s[p] - '0');
    if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return false;
  }
  if (neg) v = -v;
  if (v > std::numeric_limits<std::int32_t>::max()) return false;
  out = static_cast<std::int32_t>(v);
  return true;
}

bool parse_fixed_field(std::string_view field, int d, double& out) {
  std::string s;
  for (char c : field)
    if (c != ' ') s += c;
  NumberText n;
  if (!split_number(s, n)) return false;
  if (n.mantissa_digits() == 0) {
    if (n.has_exponent) return false;
    out = 0.0;  // only a sign and/or a point
    return true;
  }
  return n.to_double(n.has_point ? -1 : d, out);
}
