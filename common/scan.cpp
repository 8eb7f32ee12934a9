#include "scan.h"

#include <algorithm>

std::string read_quoted(TextFile& f, std::string& line, std::size_t& pos, std::size_t max,
                        int too_long) {
  const char q = line[pos++];
  std::string v;
  for (;;) {
    if (pos >= line.size()) {
      line = f.next_line();
      pos = 0;
      continue;
    }
    const char c = line[pos++];
    if (c == q) {
      if (pos < line.size() && line[pos] == q) {
        ++pos;
      } else {
        return v;
      }
    }
    v += c;
    if (v.size() > max) f.fail(too_long);
  }
}

void store_left(std::span<char> var, std::string_view s) {
  const std::size_t n = std::min(var.size(), s.size());
  std::copy_n(s.begin(), n, var.begin());
  std::fill(var.begin() + static_cast<std::ptrdiff_t>(n), var.end(), ' ');
}
