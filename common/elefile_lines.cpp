// The lines of an element file: one definition for both programs' writers.
#include "elefile_lines.h"

#include <cmath>

#include "astcon.h"
#include "textio.h"

namespace {

using namespace lay;

const Layout& numbered_first_line() {
  static const Layout l = {I(9), X(1), A(28), I(4), L("-"), A(3), L("-"), I(2)};
  return l;
}
const Layout& unnumbered_first_line() {
  static const Layout l = {A(28), I(4), L("-"), A(3), L("-"), I(2)};
  return l;
}
const Layout& value_line() {
  static const Layout l = {F(30, 18)};
  return l;
}

}  // namespace

std::vector<std::string> element_file_lines(const ElementFileLines& file) {
  // The name as a text variable holds it: left-justified, filled with
  // blanks (a text field would right-justify a shorter value).
  std::string name(file.name.substr(0, 28));
  name.resize(28, ' ');
  std::vector<std::string> lines =
      file.numbered ? format_lines(numbered_first_line(),
                                   {file.number, name, file.year, month_text(file.month), file.day})
                    : format_lines(unnumbered_first_line(),
                                   {name, file.year, month_text(file.month), file.day});
  const auto& v = file.values;
  for (const std::string& line :
       format_lines(value_line(), {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]}))
    lines.push_back(line);
  lines.emplace_back(file.source);
  return lines;
}

void write_element_file(TextFile& f, const ElementFileLines& file) {
  for (const std::string& line : element_file_lines(file)) f.write_line(line);
}

bool value_line_reads_back(double v, double& read_back) {
  if (!std::isfinite(v)) return false;
  const Piece& field = value_line().pieces().front();
  return parse_fixed_field(format_fixed(v, field.w, field.d), field.d, read_back);
}

int first_value_not_carried(const std::array<double, 10>& values, bool comet_form) {
  for (std::size_t k = 0; k < values.size(); ++k) {
    double back = 0.0;
    if (!value_line_reads_back(values[k], back)) return static_cast<int>(k);
    if (k == eleline::MEAN_MOTION && !comet_form && back == 0.0) return static_cast<int>(k);
  }
  return -1;
}
