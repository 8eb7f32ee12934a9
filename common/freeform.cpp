// Free-form messages and answers.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "numtext.h"
#include "scan.h"
#include "stop.h"
#include "textio.h"

namespace {

constexpr std::size_t kLineMax = 80;     // characters of a free-form line
constexpr std::size_t kValueMax = 2048;  // characters of one free-form value

// A double in 24 columns: fixed notation with 15 significant digits,
// right-justified in 19 columns and 5 blanks, for 0.1 <= |x| < 1e15;
// otherwise d.dddddddddddddddE+ddd (15 decimals, 16 significant digits)
// right-justified in 24 columns.
std::string free_double(double x) {
  const double ax = std::fabs(x);
  if (ax >= 0.1 && ax < 1e15) {
    const int int_digits =
        ax < 1.0 ? 0 : static_cast<int>(std::to_string(static_cast<long long>(ax)).size());
    std::string s = print_fixed(x, 15 - int_digits);
    // Rounding may carry into a new integer digit (9.99...9 -> 10.0...0).
    const std::size_t sign = s[0] == '-' ? 1 : 0;
    const std::size_t point = s.find('.') == std::string::npos ? s.size() : s.find('.');
    const std::string ip = s.substr(sign, point - sign);
    const int got = ip == "0" ? 0 : static_cast<int>(ip.size());
    if (got > int_digits) s = print_fixed(x, std::max(15 - got, 0));
    if (s.find('.') == std::string::npos) s += '.';
    return std::string(s.size() < 19 ? 19 - s.size() : 0, ' ') + s + "     ";
  }
  if (std::isnan(x) || std::isinf(x)) {
    const std::string s = std::isnan(x) ? "NaN" : (x < 0 ? "-Infinity" : "Infinity");
    return std::string(24 - s.size(), ' ') + s;
  }
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15E", x);
  std::string s = buf;
  // Widen the exponent to a sign and three digits.
  const std::size_t e = s.find('E');
  std::string exp = s.substr(e + 2);
  while (exp.size() < 3) exp.insert(0, "0");
  s = s.substr(0, e + 2) + exp;
  return std::string(s.size() < 24 ? 24 - s.size() : 0, ' ') + s;
}

bool is_separator(char c) {
  return c == ' ' || c == '\t' || c == ',' || c == '/';
}

// Reads free-form values from the lines of one unit.
class FreeReader {
 public:
  explicit FreeReader(TextFile& f) : f_(f) { next(); }

  void read(std::initializer_list<Target> targets) {
    const Target* t = targets.begin();
    bool after_value = false;  // a value stands before the next comma
    while (t != targets.end()) {
      if (pos_ >= line_.size()) {
        next();
        continue;
      }
      const char c = line_[pos_];
      if (c == ' ' || c == '\t') {
        ++pos_;
      } else if (c == ',') {
        ++pos_;
        if (!after_value) ++t;  // a null value: the variable keeps its value
        after_value = false;
      } else if (c == '/') {
        return;  // the variables not yet served keep their values
      } else {
        long repeat = 1;
        if (repeat_count(repeat)) {
          if (pos_ >= line_.size() || is_separator(line_[pos_])) {
            // r null values
            for (long k = 0; k < repeat && t != targets.end(); ++k) ++t;
            after_value = true;
            continue;
          }
        }
        bool quoted = false;
        const std::string value = token(quoted);
        for (long k = 0; k < repeat && t != targets.end(); ++k) assign(*t++, value, quoted);
        after_value = true;
      }
    }
  }

 private:
  void next() {
    line_ = f_.next_line();
    pos_ = 0;
  }

  // Digits followed by "*" at the current position: a repeat count.
  bool repeat_count(long& r) {
    std::size_t p = pos_;
    while (p < line_.size() && is_digit(line_[p])) ++p;
    if (p == pos_ || p >= line_.size() || line_[p] != '*') return false;
    if (p - pos_ > 6) f_.fail(ioerr::FREE_SYNTAX);
    r = std::stol(line_.substr(pos_, p - pos_));
    if (r < 1) f_.fail(ioerr::FREE_SYNTAX);
    pos_ = p + 1;
    return true;
  }

  // The value at the current position: undelimited up to a separator, or
  // between apostrophes or quotation marks (doubled to stand for one), which
  // may run on over line ends.
  std::string token(bool& quoted) {
    std::string v;
    const char q = line_[pos_];
    quoted = q == '\'' || q == '"';
    if (!quoted) {
      while (pos_ < line_.size() && !is_separator(line_[pos_])) {
        v += line_[pos_++];
        if (v.size() > kValueMax) f_.fail(ioerr::FREE_SYNTAX);
      }
      return v;
    }
    return read_quoted(f_, line_, pos_, kValueMax, ioerr::FREE_SYNTAX);
  }

  void assign(const Target& t, const std::string& value, bool quoted) {
    const auto& x = t.get();
    if (const auto* s = std::get_if<std::span<char>>(&x)) {
      store_left(*s, value);
      return;
    }
    NumberText n;
    if (quoted || !split_number(value, n) || n.mantissa_digits() == 0) f_.fail(ioerr::FREE_SYNTAX);
    if (auto* d = std::get_if<double*>(&x)) {
      if (!n.to_double(-1, **d)) f_.fail(ioerr::CONVERSION);
      return;
    }
    auto* i = std::get<std::int32_t*>(x);
    double v;
    if (!n.to_double(-1, v)) f_.fail(ioerr::CONVERSION);
    v = std::trunc(v);  // a real given for an integer is truncated toward zero
    if (!(v >= std::numeric_limits<std::int32_t>::min() &&
          v <= std::numeric_limits<std::int32_t>::max()))
      f_.fail(ioerr::CONVERSION);
    *i = static_cast<std::int32_t>(v);
  }

  TextFile& f_;
  std::string line_;
  std::size_t pos_ = 0;
};

}  // namespace

std::vector<std::string> free_form_lines(std::initializer_list<FreeValue> values) {
  std::vector<std::string> lines;
  std::string cur = " ";
  bool after_number = false;
  for (const FreeValue& v : values) {
    if (const auto* x = std::get_if<double>(&v)) {
      const std::string s = free_double(*x);
      if (cur.size() > 1 && cur.size() + s.size() > kLineMax) {
        lines.push_back(cur);
        cur = " ";
      }
      cur += s;
      after_number = true;
      continue;
    }
    std::string text(std::get<std::string_view>(v));
    if (after_number) text.insert(0, " ");
    after_number = false;
    for (char c : text) {
      if (cur.size() == kLineMax) {
        lines.push_back(cur);
        cur = " ";
      }
      cur += c;
    }
  }
  lines.push_back(cur);
  return lines;
}

void say(std::initializer_list<FreeValue> values) {
  for (const std::string& line : free_form_lines(values)) console().out().write_line(line);
}

void read_free(TextFile& f, std::initializer_list<Target> targets) {
  if (targets.size() == 0) {
    f.next_line();  // read one line and discard it
    return;
  }
  FreeReader(f).read(targets);
}

void ask(std::initializer_list<Target> targets) {
  read_free(console().in(), targets);
}
