// The lines of an element file as both programs write them, and which
// values a file can carry.
#include "elefile_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

ElementFileLines eros() {
  ElementFileLines f;
  f.number = 433;
  f.name = "Eros";
  f.year = 2009;
  f.month = 6;
  f.day = 18;
  f.values = {10.43,   0.46,   110.8296,           178.8165, 304.3221,
              10.8287, 0.2226, 0.2140782912311392, 2.7675,   2455000.5};
  f.source = "MPC orbit";
  return f;
}

TEST(ElementFileLines, BothFormsOfTheFirstLine) {
  ElementFileLines f = eros();
  std::vector<std::string> lines = element_file_lines(f);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "      433 Eros                        2009-Jun-18");
  EXPECT_EQ(lines[8], "          0.214078291231139195");
  EXPECT_EQ(lines[10], "    2455000.500000000000000000");
  EXPECT_EQ(lines[11], "MPC orbit");

  f.numbered = false;
  f.name = "Mercury observed from Neptune";  // cut to 28 characters
  f.month = 0;                               // no month name: asterisks
  EXPECT_EQ(element_file_lines(f)[0], "Mercury observed from Neptun2009-***-18");
}

// The widest values of the 30 columns, and what lies just beyond them.
TEST(ElementFileLines, ValuesThatReadBack) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double v;
    bool reads_back;
    double back;
  } cases[] = {
      {99999999999.0, true, 99999999999.0},
      {99999999999.9999999, false, 0},  // rounds to 12 integer digits
      {1e11, false, 0},
      {-9999999999.0, true, -9999999999.0},
      {-1e10, false, 0},
      {1e-19, true, 0.0},  // written as zero
      {0.15, true, 0.15},
      {inf, false, 0},
      {-inf, false, 0},
      {std::nan(""), false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.v);
    double back = -1.0;
    EXPECT_EQ(value_line_reads_back(c.v, back), c.reads_back);
    if (c.reads_back) {
      EXPECT_EQ(back, c.back);
    }
  }
}

TEST(ElementFileLines, ValuesAFileCannotCarry) {
  std::array<double, 10> v = eros().values;
  EXPECT_EQ(first_value_not_carried(v, false), -1);
  v[eleline::A_OR_Q] = 1e12;
  EXPECT_EQ(first_value_not_carried(v, false), static_cast<int>(eleline::A_OR_Q));
  v[eleline::H] = std::nan("");
  EXPECT_EQ(first_value_not_carried(v, false), static_cast<int>(eleline::H));

  // A mean motion written as zero would make the file a comet's.
  v = eros().values;
  v[eleline::MEAN_MOTION] = 4e-19;
  EXPECT_EQ(first_value_not_carried(v, false), static_cast<int>(eleline::MEAN_MOTION));
  v[eleline::MEAN_MOTION] = 0.0;
  EXPECT_EQ(first_value_not_carried(v, true), -1);
}

}  // namespace
