// The lines of an element file, as kestle and the ephemeris program write
// them (the reader is tav's GET_TAV_ELEMENTS; the file's layout is told in
// tav/elefile.h).
//
//   line 1      numbered form: the number (integer, 9 columns), a blank, the
//               name (28 columns), the epoch's date yyyy-Mon-dd; unnumbered
//               form: the name and the date
//   lines 2-11  one value each, fixed point 30 columns with 18 decimals
//   line 12     the source text, as given
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "textio.h"

// Everything that goes into one element file.
struct ElementFileLines {
  bool numbered = true;  // the form of line 1
  std::int32_t number = 0;
  std::string_view name;  // its first 28 characters, filled with blanks
  // Calendar date of the epoch; a month outside 1 to 12 shows as "***", a
  // year or day too wide for its field as asterisks, like any field.
  std::int32_t year = 0, month = 0, day = 0;
  // Lines 2 to 11: H, G, mean anomaly M (deg) or perihelion time Tp (JD),
  // argument of perihelion, node, inclination (deg), e, mean motion n
  // (deg/day; exactly 0 for the comet form), a or q (AU), epoch (JD).
  std::array<double, 10> values{};
  std::string_view source;  // line 12, written unchanged
};

// Positions of the values of lines 2 to 11 that callers name.
namespace eleline {
inline constexpr std::size_t H = 0, G = 1, M_OR_TP = 2, PERI = 3, NODE = 4, INCL = 5, E = 6,
                             MEAN_MOTION = 7, A_OR_Q = 8, EPOCH = 9;
}

// The twelve lines.
std::vector<std::string> element_file_lines(const ElementFileLines& file);

// Channel of an element file being written, in the fatal error line.
inline constexpr int kElementFileWriteUnit = 10;

// Writes the twelve lines to a file open for writing.
void write_element_file(TextFile& f, const ElementFileLines& file);

// True when a value line holding v reads back as a number: v is finite and
// its integer part fits the field (from -9999999999.5 to below
// 99999999999.5, about). `read_back` is then the value the reader gets.
bool value_line_reads_back(double v, double& read_back);

// The first of the ten values that the file cannot carry, or -1 when it can
// carry them all: a value whose line does not read back, or, in the minor-
// planet form, a mean motion that would read back as exactly zero and so
// turn the file into the comet form.
int first_value_not_carried(const std::array<double, 10>& values, bool comet_form);
