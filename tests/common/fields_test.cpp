#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "textio.h"

namespace {

struct FixedCase {
  double v;
  int w, d;
  const char* text;
};

TEST(FixedField, RoundsTheExactValueTiesToEven) {
  const FixedCase cases[] = {
      {0.25, 4, 1, " 0.2"},  // an exact half rounds to the even digit
      {0.35, 4, 1, " 0.3"},  // the double nearest 0.35 lies below it
      {0.75, 4, 1, " 0.8"},
      {-0.04, 4, 1, " 0.0"},  // rounds to zero: no sign
      {-0.06, 4, 1, "-0.1"},
      {-0.0, 4, 1, " 0.0"},
      {-0.001, 5, 2, " 0.00"},
      {0.125, 5, 2, " 0.12"},
      {0.375, 5, 2, " 0.38"},
      {2455000.5, 30, 18, "    2455000.500000000000000000"},
      {0.15, 30, 18, "          0.149999999999999994"},
      {0.1, 30, 18, "          0.100000000000000006"},
      {0.2140782912311392, 30, 18, "          0.214078291231139195"},
      {0.0, 30, 18, "          0.000000000000000000"},
      {-0.5, 4, 2, "-.50"},  // no room for the 0
      {0.5, 4, 2, "0.50"},
      {0.5, 3, 2, ".50"},
      {12.345, 6, 2, " 12.35"},  // 12.345 is held slightly above
      {2.675, 5, 2, " 2.67"},    // and 2.675 slightly below
      {-12.5, 5, 0, " -12."},
      {1000.0, 21, 17, "*********************"},
      {-100.0, 21, 17, "*********************"},
      {99.999, 5, 2, "*****"},  // rounds up to 100.00
      {std::nan(""), 5, 1, "  NaN"},
      {-std::numeric_limits<double>::infinity(), 9, 1, "-Infinity"},
      {std::numeric_limits<double>::infinity(), 5, 1, "  Inf"},
      {1e300, 10, 2, "**********"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(format_fixed(c.v, c.w, c.d), c.text) << c.v << " F" << c.w << "." << c.d;
  }
}

TEST(IntField, RightJustifiedWithAsterisksOnOverflow) {
  EXPECT_EQ(format_int(30, 4), "  30");
  EXPECT_EQ(format_int(-5, 2), "-5");
  EXPECT_EQ(format_int(-10, 2), "**");
  EXPECT_EQ(format_int(0, 3), "  0");
  EXPECT_EQ(format_int(123456789, 8), "********");
  EXPECT_EQ(format_int(-2147483648LL, 11), "-2147483648");
}

TEST(TextField, CutsOrRightJustifies) {
  const std::string name64(64, 'N');
  EXPECT_EQ(format_text(name64, 28), std::string(28, 'N'));
  EXPECT_EQ(format_text("abc", 3), "abc");
  EXPECT_EQ(format_text("ab", 5), "   ab");
  EXPECT_EQ(format_text("ab  ", -1), "ab  ");  // without a width: the whole value
}

TEST(IntFieldInput, BlanksIgnoredAndOtherCharactersRefused) {
  struct Case {
    const char* field;
    bool ok;
    int value;
  } const cases[] = {
      {"   12", true, 12},
      {" 1 2 ", true, 12},
      {"     ", true, 0},
      {"", true, 0},
      {"  -7", true, -7},
      {"+ 3", true, 3},
      {"1.0", false, 0},
      {"12a", false, 0},
      {"2147483647", true, 2147483647},
      {"2147483648", false, 0},
      {"-2147483648", true, -2147483647 - 1},
      {"99999999999999", false, 0},
      {"1\t2", false, 0},
  };
  for (const Case& c : cases) {
    std::int32_t v = -1;
    EXPECT_EQ(parse_int_field(c.field, v), c.ok) << c.field;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.field;
    }
  }
}

TEST(FixedFieldInput, ImpliedDecimalsExponentsAndErrors) {
  struct Case {
    const char* field;
    int d;
    bool ok;
    double value;
  } const cases[] = {
      {"12345", 2, true, 123.45},
      {"123.45", 5, true, 123.45},  // a point overrides d
      {"  1 2 . 5 ", 2, true, 12.5},
      {"", 18, true, 0.0},
      {"5", 3, true, 0.005},
      {"-5", 3, true, -0.005},
      {"1.5E2", 2, true, 150.0},
      {"1.5d2", 2, true, 150.0},
      {"1.5Q-2", 2, true, 0.015},
      {"15E1", 1, true, 15.0},  // 1.5 with the implied decimal, times ten
      {"2455000.500000000000000000", 18, true, 2455000.5},
      {"0.149999999999999994", 18, true, 0.15},
      {"1.2.3", 2, false, 0},
      {"1E", 2, false, 0},
      {"abc", 2, false, 0},
      {"1E999", 2, false, 0},
      {"1-", 2, false, 0},
  };
  for (const Case& c : cases) {
    double v = -1;
    EXPECT_EQ(parse_fixed_field(c.field, c.d, v), c.ok) << c.field;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.field;
    }
  }
}

}  // namespace
