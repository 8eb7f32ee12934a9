// Reader of one assignment group, a small state machine over the lines.
#include "group.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <string>

#include "numtext.h"
#include "scan.h"
#include "stop.h"

namespace {

bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool is_name_char(char c) {
  return is_letter(c) || is_digit(c) || c == '_' || c == '$';
}
bool is_blank(char c) {
  return c == ' ' || c == '\t';
}
bool is_end_mark(char c) {
  return c == '/' || c == '&' || c == '$';
}
bool ends_value(char c) {
  return is_blank(c) || c == ',' || c == '/' || c == '!' || c == '&' || c == '$' || c == '?';
}

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

class GroupReader {
 public:
  GroupReader(TextFile& f, std::string_view group, std::span<const GroupVar> vars)
      : f_(f), group_(group), vars_(vars) {}

  void run() {
    next_line();
    search();
    read_assignments();
  }

 private:
  enum class State { InGroup, AfterName, AfterEquals, Values };

  void next_line() {
    line_ = f_.next_line();  // the end of the file is error 24
    pos_ = 0;
  }
  [[noreturn]] void fail(int n) const { f_.fail(n); }

  std::string read_name() {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && is_name_char(line_[pos_])) ++pos_;
    return line_.substr(start, pos_ - start);
  }

  // Searching state: everything before the group start is passed over.
  void search() {
    for (;;) {
      if (pos_ >= line_.size()) {
        next_line();
        continue;
      }
      const char c = line_[pos_];
      if (is_blank(c) || c == ',' || c == '=') {
        ++pos_;
      } else if (c == '&' || c == '$') {
        ++pos_;
        if (group_start()) return;
      } else if (is_letter(c)) {
        read_name();
      } else {
        pos_ = line_.size();  // any other character hides the rest of its line
      }
    }
  }

  // Group-start state: the group's name must follow on the same line.
  bool group_start() {
    while (pos_ < line_.size() && is_blank(line_[pos_])) ++pos_;
    if (pos_ >= line_.size() || !is_letter(line_[pos_])) return false;
    return same_name(read_name(), group_);
  }

  const GroupVar& lookup(std::string_view name) const {
    for (const GroupVar& v : vars_)
      if (same_name(v.name, name)) return v;
    fail(ioerr::GROUP_NAME);
  }

  // True when the word from `p` on is followed, after blanks on its line,
  // by "=", "(" or "%": it is then a name, not a value.
  bool word_is_name(std::size_t p) const {
    while (p < line_.size() && is_name_char(line_[p])) ++p;
    while (p < line_.size() && is_blank(line_[p])) ++p;
    return p < line_.size() && (line_[p] == '=' || line_[p] == '(' || line_[p] == '%');
  }

  void read_assignments() {
    State st = State::InGroup;
    const GroupVar* var = nullptr;
    bool last_was_value = false;  // in the values state: a value, not a comma, came last
    for (;;) {
      if (pos_ >= line_.size()) {
        next_line();
        continue;
      }
      const char c = line_[pos_];
      if (is_blank(c)) {
        ++pos_;
        continue;
      }
      if (c == '!') {
        pos_ = line_.size();
        continue;
      }
      const bool is_text = var && std::holds_alternative<std::span<char>>(var->target.get());
      switch (st) {
        case State::InGroup:
          if (is_end_mark(c)) return;
          if (!is_letter(c)) fail(ioerr::GROUP_SYNTAX);
          var = &lookup(read_name());
          st = State::AfterName;
          break;
        case State::AfterName:
          if (c == '=') {
            ++pos_;
            st = State::AfterEquals;
          } else if (c == '(' && !is_text) {
            fail(ioerr::GROUP_NAME);
          } else {
            fail(ioerr::GROUP_SYNTAX);
          }
          break;
        case State::AfterEquals:
          if (is_end_mark(c)) return;  // the variable keeps its value
          if (c == ',') {
            ++pos_;  // a null value
            last_was_value = false;
          } else {
            value(*var, is_text);
            last_was_value = true;
          }
          st = State::Values;
          break;
        case State::Values:
          if (is_end_mark(c)) return;
          if (c == ',') {
            if (!last_was_value) fail(ioerr::GROUP_TOO_MANY);  // a comma after a comma
            ++pos_;
            last_was_value = false;
          } else if (is_letter(c)) {
            var = &lookup(read_name());
            st = State::AfterName;
          } else if (c == '=' || c == '(' || c == '%' || c == '?') {
            fail(ioerr::GROUP_SYNTAX);
          } else {
            fail(ioerr::GROUP_TOO_MANY);  // a second value for the variable
          }
          break;
      }
    }
  }

  // The first value after "=", with an optional repeat count.
  void value(const GroupVar& var, bool is_text) {
    std::size_t p = pos_;
    while (p < line_.size() && is_digit(line_[p])) ++p;
    if (p > pos_ && p < line_.size() && line_[p] == '*') {
      std::string digits = line_.substr(pos_, p - pos_);
      digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
      if (digits.empty()) fail(ioerr::GROUP_SYNTAX);   // a count of zero
      if (digits != "1") fail(ioerr::GROUP_TOO_MANY);  // r copies for a single value
      pos_ = p + 1;
      if (pos_ >= line_.size() || ends_value(line_[pos_])) return;  // one null value
    }
    const char c = line_[pos_];
    if (is_text) {
      if (c == '\'' || c == '"') {
        store(var, read_quoted(f_, line_, pos_, line_.npos, ioerr::GROUP_SYNTAX));
      } else if ((is_letter(c) && word_is_name(pos_)) || c == '=' || c == '(' || c == '%') {
        fail(ioerr::GROUP_SYNTAX);
      } else {
        store(var, undelimited());
      }
      return;
    }
    if (c == '\'' || c == '"') fail(ioerr::CONVERSION);
    if (is_letter(c) || c == '=' || c == '(' || c == '%') fail(ioerr::GROUP_SYNTAX);
    const std::string token = undelimited();
    NumberText n;
    if (!split_number(token, n) || n.mantissa_digits() == 0) fail(ioerr::GROUP_SYNTAX);
    if (auto* d = std::get_if<double*>(&var.target.get())) {
      if (!n.to_double(-1, **d)) fail(ioerr::CONVERSION);
      return;
    }
    // An integer variable takes only an integer constant.
    if (n.has_point || n.has_exponent) fail(ioerr::CONVERSION);
    std::int32_t v;
    if (!parse_int_field(token, v)) fail(ioerr::CONVERSION);
    *std::get<std::int32_t*>(var.target.get()) = v;
  }

  std::string undelimited() {
    const std::size_t start = pos_;
    while (pos_ < line_.size() && !ends_value(line_[pos_])) ++pos_;
    return line_.substr(start, pos_ - start);
  }

  static void store(const GroupVar& var, std::string_view s) {
    const std::span<char> text = std::get<std::span<char>>(var.target.get());
    store_left(text, s);
    if (var.cut) *var.cut = s.find_first_not_of(' ', text.size()) != std::string_view::npos;
  }

  TextFile& f_;
  std::string_view group_;
  std::span<const GroupVar> vars_;
  std::string line_;
  std::size_t pos_ = 0;
};

}  // namespace

void read_group(TextFile& f, std::string_view group_name, std::span<const GroupVar> vars) {
  GroupReader(f, group_name, vars).run();
}
