// The printed listing: the checked line writer, the columns of every form's
// data line, header and underline, the sexagesimal rounding and carries,
// and RADEC on a small filled grid with and without a capture file.
#include "listing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "astcon.h"
#include "calendar.h"
#include "console_script.h"
#include "grid.h"
#include "major.h"
#include "positions.h"
#include "program_run.h"
#include "records.h"
#include "test_io.h"

namespace {

using namespace lay;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Right ascension from hours, minutes, seconds; declination from degrees,
// minutes, seconds with a sign (radians).
double ra_of(double h, double m, double s) {
  return (h + m / 60 + s / 3600) * 15 / ASTCON::RADDEG;
}
double dec_of(int sign, double d, double m, double s) {
  return sign * (d + m / 60 + s / 3600) / ASTCON::RADDEG;
}

// Columns from..to (counted from 1) of a line.
std::string cols(const std::string& line, int from, int to) {
  if (static_cast<int>(line.size()) < to) return "<line of " + std::to_string(line.size()) + ">";
  return line.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1));
}

struct Column {
  int from, to;
  const char* text;
};

void expect_columns(const std::string& line, const std::vector<Column>& table) {
  for (const Column& c : table) {
    EXPECT_EQ(cols(line, c.from, c.to), c.text) << "columns " << c.from << "-" << c.to << " of\n"
                                                << line;
  }
}

// ---------------------------------------------------------------- checked line

TEST(CheckedLine, RefusesAMiscountedLayout) {
  const Layout two = {X(1), I(3), L(" x "), F(6, 2)};
  EXPECT_EQ(checked_line(two, {std::int32_t{7}, 2.5}), "   7 x   2.50");
  EXPECT_THROW(checked_line(two, {std::int32_t{7}}), std::logic_error);
  EXPECT_THROW(checked_line(two, {std::int32_t{7}, 2.5, 1.0}), std::logic_error);
  EXPECT_THROW(checked_line(two, {2.5, std::int32_t{7}}), std::logic_error);  // kinds swapped
  EXPECT_THROW(checked_line({I(2), NL(), I(2)}, {std::int32_t{1}, std::int32_t{2}}),
               std::logic_error);
  // The common writer takes the same miscounts without a word: a short line,
  // or a second line from the layout used again.
  EXPECT_EQ(format_lines(two, {std::int32_t{7}}).size(), 1u);
  EXPECT_EQ(format_lines(two, {std::int32_t{7}, 2.5, std::int32_t{8}}).size(), 2u);
}

TEST(CheckedLine, ValuesThatAreNoNumberShowAsAsterisks) {
  const Layout f = {F(7, 3)};
  EXPECT_EQ(checked_line(f, {kNaN}), "*******");
  EXPECT_EQ(checked_line(f, {kInf}), "*******");
  EXPECT_EQ(checked_line(f, {-kInf}), "*******");
  EXPECT_EQ(checked_line(f, {1000.0}), "*******");  // too wide, as before
  EXPECT_EQ(checked_line(f, {999.9994}), "999.999");
}

// Every form's layout: one line per form, columns as the forms define them.
TEST(CheckedLine, EveryFormHasOneValueForEachField) {
  LineValues v;
  v.year = 2023;
  v.month = 3;
  v.day = 9;
  for (Form f : {Form::Short, Form::Astrm, Form::Long, Form::Mpc}) {
    EXPECT_NO_THROW(data_line(f, v));
    EXPECT_NO_THROW(header_line(f, 2023, "Earth  "));
  }
}

// ---------------------------------------------------------------- data lines

LineValues sample_line() {
  LineValues v;
  v.year = 2023;
  v.month = 3;
  v.day = 9;
  v.hour = 23.5;
  v.reduced.ra = ra_of(5, 7, 15.0);          // 5h 07.25m
  v.reduced.dec = dec_of(-1, 12, 34, 30.0);  // -12 deg 34.5'
  v.reduced.magnitude = 7.25431;
  v.reduced.phase = 12.4321;
  v.reduced.elongation = 150.2468;
  v.r = 2.51234;
  v.delta = 1.60417;
  return v;
}

TEST(DataLine, ColumnsOfEachForm) {
  const LineValues v = sample_line();
  struct Case {
    Form form;
    std::size_t length;
    std::vector<Column> columns;
  };
  const Case cases[] = {
      {Form::Short,
       78,
       {{1, 1, " "},         {2, 5, "2023"},   {6, 6, "-"},         {7, 9, "Mar"},
        {10, 10, "-"},       {11, 12, " 9"},   {13, 13, " "},       {14, 17, "23.5"},
        {18, 19, "  "},      {20, 21, " 5"},   {22, 22, "h"},       {23, 23, " "},
        {24, 28, " 7.25"},   {29, 29, "m"},    {30, 31, "  "},      {32, 32, "-"},
        {33, 34, "12"},      {35, 35, "\xF8"}, {36, 36, " "},       {37, 40, "34.5"},
        {41, 41, "'"},       {42, 43, "  "},   {44, 48, "  7.3"},   {49, 49, " "},
        {50, 56, "  2.512"}, {57, 57, " "},    {58, 64, "  1.604"}, {65, 66, "  "},
        {67, 71, " 12.4"},   {72, 73, "  "},   {74, 78, "150.2"}}},
      {Form::Long,
       79,
       {{1, 12, " 2023-Mar- 9"}, {13, 13, " "}, {14, 17, "23.5"},       {18, 18, " "},
        {19, 20, " 5"},          {21, 21, "h"}, {22, 26, " 7.25"},      {27, 27, "m"},
        {28, 28, " "},           {29, 29, "-"}, {30, 31, "12"},         {32, 32, "\xF8"},
        {33, 36, "34.5"},        {37, 37, "'"}, {38, 46, "  7.25431"},  {47, 47, " "},
        {48, 52, "  2.5"},       {53, 53, " "}, {54, 63, "  1.604170"}, {64, 64, " "},
        {65, 69, " 12.4"},       {70, 70, " "}, {71, 79, "150.24680"}}},
      {Form::Astrm,
       77,
       {{1, 12, " 2023-Mar- 9"}, {13, 14, "  "},    {15, 16, "23"},     {17, 17, "h"},
        {18, 19, "30"},          {20, 20, "m"},     {21, 22, "  "},     {23, 24, " 5"},
        {25, 25, "h"},           {26, 26, " "},     {27, 28, " 7"},     {29, 29, "m"},
        {30, 30, " "},           {31, 35, "15.00"}, {36, 36, "s"},      {37, 38, "  "},
        {39, 39, "-"},           {40, 41, "12"},    {42, 42, "\xF8"},   {43, 43, " "},
        {44, 45, "34"},          {46, 46, "'"},     {47, 47, " "},      {48, 51, "30.0"},
        {52, 52, "\""},          {53, 54, "  "},    {55, 59, "  7.3"},  {60, 61, "  "},
        {62, 68, "  2.512"},     {69, 70, "  "},    {71, 77, "  1.604"}}},
      {Form::Mpc,
       75,
       {{1, 1, " "},
        {2, 5, "2023"},
        {6, 6, "-"},
        {7, 9, "Mar"},
        {10, 11, "  "},
        {12, 19, " 9.97917"},
        {20, 22, "   "},
        {23, 52, " 5h  7m 15.00s  -12\xF8 34' 30.0\""},
        {53, 54, "  "},
        {55, 59, "  7.3"},
        {60, 60, " "},
        {61, 67, "  2.512"},
        {68, 68, " "},
        {69, 75, "  1.604"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.form));
    const std::string line = data_line(c.form, v);
    EXPECT_EQ(line.size(), c.length);
    expect_columns(line, c.columns);
  }
}

// Values too wide for their fields, and values that are not numbers (the
// Sun as target or as observing body), fill their fields with asterisks.
TEST(DataLine, AsterisksForValuesThatDoNotFit) {
  LineValues v = sample_line();
  v.reduced.magnitude = 100000.0;
  v.r = 1000.0;
  v.delta = kNaN;
  v.reduced.elongation = kNaN;
  const std::string s = data_line(Form::Short, v);
  expect_columns(s,
                 {{44, 48, "*****"}, {50, 56, "*******"}, {58, 64, "*******"}, {74, 78, "*****"}});
  const std::string l = data_line(Form::Long, v);
  expect_columns(
      l, {{38, 46, "*********"}, {48, 52, "*****"}, {54, 63, "**********"}, {71, 79, "*********"}});
  const std::string a = data_line(Form::Astrm, v);
  expect_columns(a, {{55, 59, "*****"}, {62, 68, "*******"}, {71, 77, "*******"}});
  const std::string m = data_line(Form::Mpc, v);
  expect_columns(m, {{55, 59, "*****"}, {61, 67, "*******"}, {69, 75, "*******"}});

  // A place that is not a number: every part of it shows asterisks.
  v.reduced.ra = kNaN;
  v.reduced.dec = kNaN;
  expect_columns(data_line(Form::Astrm, v), {{23, 24, "**"},
                                             {27, 28, "**"},
                                             {31, 35, "*****"},
                                             {40, 41, "**"},
                                             {44, 45, "**"},
                                             {48, 51, "****"}});
  expect_columns(data_line(Form::Short, v),
                 {{20, 21, "**"}, {24, 28, "*****"}, {33, 34, "**"}, {37, 40, "****"}});
}

TEST(DataLine, HourFieldRoundsWithoutChangingTheDate) {
  LineValues v = sample_line();
  v.hour = 23.96;
  expect_columns(data_line(Form::Short, v), {{11, 12, " 9"}, {14, 17, "24.0"}});
  expect_columns(data_line(Form::Long, v), {{14, 17, "24.0"}});
  // ASTRM truncates to hours and minutes: 23h 57m.
  expect_columns(data_line(Form::Astrm, v), {{15, 20, "23h57m"}});
}

// The ASTRM time column: whole minutes, except that a time within a few
// thousandths of a second below a whole minute shows as that minute, as the
// calendar gives whole hours (0.99999999 for 1 h).
TEST(DataLine, AstrmTimeShowsTheMinuteItLiesJustBelow) {
  LineValues v = sample_line();
  const struct {
    double hour;
    const char* shown;
  } cases[] = {
      {0.99999999, " 1h 0m"},           // 1 h 0 m, as the calendar gives it
      {12.5 - 1e-9, "12h30m"},          // 12 h 29 m 59.999996 s
      {12.5 - 0.004 / 3600, "12h30m"},  // 0.004 s before 12 h 30 m
      {12.5 - 0.006 / 3600, "12h29m"},  // 0.006 s before: truncated
      {12.5 - 0.5 / 3600, "12h29m"},    // half a second before: truncated
      {23.96, "23h57m"},                // 23 h 57.6 m
      {24.0 - 1e-9, "24h 0m"},          // the date stays, as SHORT's 24.0
      {0.0, " 0h 0m"},
  };
  for (const auto& c : cases) {
    v.hour = c.hour;
    expect_columns(data_line(Form::Astrm, v), {{15, 20, c.shown}});
  }

  // A day of hourly lines from 0 h: every line shows its whole hour.
  JulianDate jd0 = 0;
  std::int32_t year = 2023, month = 3, day = 1;
  double hour = 0.0;
  MYDATE(year, month, day, hour, jd0, 1);
  for (int k = 0; k < 24; ++k) {
    JulianDate t = (k * 1.0) / 24.0 + jd0;  // as the listing grid makes its times
    MYDATE(v.year, v.month, v.day, v.hour, t, -1);
    const std::string h = (k < 10 ? " " : "") + std::to_string(k) + "h 0m";
    expect_columns(data_line(Form::Astrm, v), {{15, 20, h.c_str()}});
  }
}

// ---------------------------------------------------------------- rounding

TEST(Sexagesimal, RoundingAndCarries) {
  struct Case {
    Form form;
    double ra, dec;
    double h, m, sec;
    char sign;
    double deg, dm, ds;
  };
  const Case cases[] = {
      // 59.996 minutes round up to 60 and carry; 24 hours become 0.
      {Form::Short, ra_of(23, 59.996, 0), 0.0, 0, 0.0, 0, '+', 0, 0.0, 0},
      {Form::Short, ra_of(10, 59.996, 0), 0.0, 11, 0.0, 0, '+', 0, 0.0, 0},
      {Form::Short, ra_of(10, 59.994, 0), 0.0, 10, 59.99, 0, '+', 0, 0.0, 0},
      // Seconds round up to 60: into the minutes, the hours and past 24 h.
      {Form::Astrm, ra_of(23, 59, 59.996), 0.0, 0, 0, 0.0, '+', 0, 0, 0.0},
      {Form::Astrm, ra_of(10, 59, 59.996), 0.0, 11, 0, 0.0, '+', 0, 0, 0.0},
      {Form::Astrm, ra_of(10, 29, 59.996), 0.0, 10, 30, 0.0, '+', 0, 0, 0.0},
      {Form::Mpc, ra_of(10, 29, 59.994), 0.0, 10, 29, 59.99, '+', 0, 0, 0.0},
      // Just below 0 h and at 24 h, as light time can leave a place.
      {Form::Astrm, -ra_of(0, 0, 1.5), 0.0, 23, 59, 58.5, '+', 0, 0, 0.0},
      {Form::Short, 2 * ASTCON::PI, 0.0, 0, 0.0, 0, '+', 0, 0.0, 0},
      // Whole turns more or less, as a far equinox once left them.
      {Form::Short, 6 * ASTCON::PI + ra_of(1, 30, 0), 0.0, 1, 30.0, 0, '+', 0, 0.0, 0},
      {Form::Short, 12.0, 0.0, 21, 50.2, 0, '+', 0, 0.0, 0},  // 12 - 2 pi
      {Form::Astrm, -4 * ASTCON::PI - ra_of(0, 0, 1.5), 0.0, 23, 59, 58.5, '+', 0, 0, 0.0},
      // Declinations: minutes of arc to 60 add a degree away from zero.
      {Form::Short, 0.0, dec_of(1, 89.99999, 0, 0), 0, 0, 0, '+', 90, 0.0, 0},
      {Form::Short, 0.0, dec_of(-1, 10, 59.96, 0), 0, 0, 0, '-', 11, 0.0, 0},
      {Form::Astrm, 0.0, dec_of(1, 10, 59, 59.96), 0, 0, 0, '+', 11, 0, 0.0},
      {Form::Astrm, 0.0, dec_of(-1, 10, 29, 59.96), 0, 0, 0, '-', 10, 30, 0.0},
      // Just below zero: the sign stays, with zero degrees.
      {Form::Short, 0.0, dec_of(-1, 0.5, 0, 0), 0, 0, 0, '-', 0, 30.0, 0},
      {Form::Astrm, 0.0, dec_of(-1, 0, 0, 0.04), 0, 0, 0, '-', 0, 0, 0.0},
      {Form::Short, 0.0, 0.0, 0, 0, 0, '+', 0, 0.0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << static_cast<int>(c.form) << " ra " << c.ra << " dec " << c.dec);
    const Sexagesimal s = sexagesimal(c.ra, c.dec, c.form);
    EXPECT_EQ(s.h, c.h);
    EXPECT_NEAR(s.m, c.m, 1e-9);
    EXPECT_NEAR(s.sec, c.sec, 1e-9);
    EXPECT_EQ(s.sign, c.sign);
    EXPECT_EQ(s.deg, c.deg);
    EXPECT_NEAR(s.dm, c.dm, 1e-9);
    EXPECT_NEAR(s.ds, c.ds, 1e-9);
  }
}

TEST(Sexagesimal, PrintedCarriesAndSigns) {
  LineValues v = sample_line();
  v.reduced.ra = ra_of(23, 59, 59.996);
  v.reduced.dec = dec_of(-1, 0, 0, 0.04);
  expect_columns(data_line(Form::Astrm, v), {{23, 52, " 0h  0m  0.00s  - 0\xF8  0'  0.0\""}});
  v.reduced.ra = ra_of(23, 59.996, 0);
  v.reduced.dec = dec_of(-1, 0.5, 0, 0);
  expect_columns(data_line(Form::Short, v), {{20, 41, " 0h  0.00m  - 0\xF8 30.0'"}});
}

// ---------------------------------------------------------------- headers

// A line of literal texts and blank runs as the forms describe them.
std::string spaced(std::initializer_list<std::pair<int, std::string>> parts) {
  std::string s;
  for (const auto& [blanks, text] : parts)
    s += std::string(static_cast<std::size_t>(blanks), ' ') + text;
  return s;
}

TEST(Header, LinesAndUnderlinesOfEachForm) {
  struct Case {
    Form form;
    std::string header, underline;
  };
  const Case cases[] = {
      {Form::Short,
       spaced({{4, "DATE"},
               {6, "ET"},
               {4, "RA(2023)"},
               {4, "DEC(2023)"},
               {5, "Mv"},
               {4, "Sun"},
               {3, "Mars   "},
               {1, "Phase"},
               {3, "Elon"}}),
       spaced({{4, "----"},
               {6, "--"},
               {4, "--------"},
               {4, "---------"},
               {5, "--"},
               {4, "---"},
               {3, "-----"},
               {3, "-----"},
               {3, "----"}})},
      {Form::Astrm,
       spaced({{4, "Date"},
               {8, "UT"},
               {7, "RA(2023)"},
               {7, "Dec(2023)"},
               {7, "Mv"},
               {5, "Sun"},
               {5, "Mars   "}}),
       spaced({{4, "----"},
               {8, "--"},
               {7, "--------"},
               {7, "---------"},
               {7, "--"},
               {5, "---"},
               {5, "-----"}})},
      {Form::Long,
       spaced({{4, "DATE"},
               {6, "ET"},
               {2, "RA(2023)"},
               {2, "DEC(2023)"},
               {5, "Mv"},
               {5, "Sun"},
               {3, "Mars   "},
               {3, "Phase"},
               {2, "Elon"}}),
       spaced({{4, "----"},
               {6, "--"},
               {2, "--------"},
               {2, "---------"},
               {5, "--"},
               {5, "---"},
               {3, "-----"},
               {5, "-----"},
               {2, "----"}})},
      {Form::Mpc,
       spaced({{4, "Date"},
               {4, "UT(day)"},
               {7, "RA(2023)"},
               {7, "Dec(2023)"},
               {7, "Mv"},
               {4, "Sun"},
               {4, "Mars   "}}),
       spaced({{4, "----"},
               {4, "-------"},
               {7, "--------"},
               {7, "---------"},
               {7, "--"},
               {4, "---"},
               {4, "-----"}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.form));
    EXPECT_EQ(header_line(c.form, 2023, centre_name(4)), c.header);
    EXPECT_EQ(underline(c.form), c.underline);
  }
  // The year field is four columns wide, right-justified.
  expect_columns(header_line(Form::Short, 950, centre_name(3)), {{21, 28, "RA( 950)"}});
}

TEST(Header, CentreNamesForEveryBodyNumber) {
  const std::pair<std::int32_t, const char*> cases[] = {
      {1, "Mercury"},  {3, "Earth  "}, {10, "Moon   "}, {11, "Sun    "}, {12, "SS bary"},
      {13, "EM bary"}, {0, "Unknown"}, {-5, "Unknown"}, {14, "Unknown"}, {INT32_MAX, "Unknown"}};
  for (const auto& [n, name] : cases) EXPECT_EQ(centre_name(n), name) << n;
}

// ---------------------------------------------------------------- RADEC

class Radec : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_records();
    reset_listing_form();
    start_listing_fill();
    FILES.SCRFILE = "";
    OBJECT.ELSRC = "MPCORB test source for the listing";
    OBJECT.NAME = "Ceres";
    OBJECT.NUMBER = 1;
    OBJECT.H = 3.33;
    OBJECT.G = 0.15;
    OBJECT.PNAME = "";
    POSNS.NCENTER = 3;
    RUNPAR.CYEAR = 2000.0;  // no precession
    RUNPAR.XJINC = 24.0;
  }
  void TearDown() override {
    start_listing_fill();
    build_listing_grid({2025, 1, 1}, 0.0, 24.0, -1, Text<32>("SHORT"));  // no grid cut kept
    reset_listing_form();
    reset_records();
  }
  // A grid of npos lines, entries 1 to filled holding positions.
  static void fill_grid(std::int32_t npos, std::int32_t filled) {
    RUNPAR.NPOS = npos;
    for (std::int32_t I = 1; I <= npos + 1; ++I) {
      POSNS.TJD(I) = 2460010.5 + (I - 1);
      DATES.IYR(I) = 2023;
      DATES.IMO(I) = 3;
      DATES.IDY(I) = 9 + I;
      DATES.HR(I) = 0.0;
      POSNS.RA(I) = 3.0 + 0.001 * I;
      POSNS.DEC(I) = 0.1;
      POSNS.RHELIO(I) = 2.5;
      POSNS.DELTA(I) = 1.6;
      POSNS.ROBS(I) = 1.0;
    }
    start_listing_fill();
    for (std::int32_t I = 1; I <= filled; ++I) note_entry_filled(I);
  }
  static std::vector<std::string> run(const char* form) {
    ConsoleScript con;
    RADEC(Text<32>(form));
    return crlf_lines(con.output());
  }
};

TEST_F(Radec, TitleObjectHeaderAndLines) {
  fill_grid(3, 4);
  const std::vector<std::string> out = run("SHORT");
  ASSERT_EQ(out.size(), 12u);
  EXPECT_EQ(out[0], "");
  EXPECT_EQ(out[1], "");
  EXPECT_EQ(out[2], "Elements :  MPCORB test source for the listing      ");
  EXPECT_EQ(out[3], "");
  EXPECT_EQ(out[4], "");
  EXPECT_EQ(out[5], "          Planet :        1 Ceres                                   ");
  EXPECT_EQ(out[6], "");
  EXPECT_EQ(out[7], header_line(Form::Short, 2000, "Earth  "));
  EXPECT_EQ(out[8], underline(Form::Short));
  expect_columns(out[9], {{1, 12, " 2023-Mar-10"}});
  expect_columns(out[11], {{1, 12, " 2023-Mar-12"}});
  // The printed places are left in the grid.
  EXPECT_NE(POSNS.RA(1), 3.001);
  EXPECT_EQ(POSNS.RA(4), 3.004);  // the last entry only gives the light-time rate
  // Nothing counts as filled for the next listing.
  EXPECT_EQ(listing_entries_filled(), 0);
}

TEST_F(Radec, ObjectLineAndOriginLine) {
  struct Case {
    std::int32_t icomet, number, ncenter;
    std::vector<std::string> lines;  // from the object line to the empty line before the header
  };
  const std::string name40 = "Ceres" + std::string(35, ' ');
  const Case cases[] = {
      {0, 1, 3, {"          Planet :        1 " + name40, ""}},
      {0, 0, 3, {"          Planet : " + name40, ""}},
      {1, 12345, 3, {"  Comet :    12345 " + name40, ""}},
      {1, 0, 4, {"  Comet : " + name40, "  Origin is at Mars   ", ""}},
      {0, 0, 11, {"          Planet : " + name40, "  Origin is at Sun    ", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.icomet << " " << c.number << " " << c.ncenter);
    OBJECT.ICOMET = c.icomet;
    OBJECT.NUMBER = c.number;
    POSNS.NCENTER = c.ncenter;
    fill_grid(0, 1);
    const std::vector<std::string> out = run("ASTRM");
    ASSERT_GE(out.size(), 5 + c.lines.size() + 2);
    for (std::size_t k = 0; k < c.lines.size(); ++k) EXPECT_EQ(out[5 + k], c.lines[k]);
    // NPOS = 0: the header and underline end the listing.
    EXPECT_EQ(out.size(), 5 + c.lines.size() + 2);
    EXPECT_EQ(out.back(), underline(Form::Astrm));
    expect_columns(out[out.size() - 2], {{72, 78, centre_name(c.ncenter).c_str()}});
  }
}

TEST_F(Radec, FormIsKeptWhenNoneMatches) {
  fill_grid(1, 2);
  EXPECT_EQ(run("nonsense")[7], header_line(Form::Short, 2000, "Earth  "));  // first: SHORT
  fill_grid(1, 2);
  EXPECT_EQ(run("LONG    ")[7], header_line(Form::Long, 2000, "Earth  "));
  fill_grid(1, 2);
  EXPECT_EQ(run("long")[7], header_line(Form::Long, 2000, "Earth  "));  // case as typed
  fill_grid(1, 2);
  EXPECT_EQ(run("MPC")[7], header_line(Form::Mpc, 2000, "Earth  "));
}

// A fill cut short lists the lines that have their entry and the next, and
// says why in one line.
TEST_F(Radec, ShortFillEndsWithOneNotice) {
  struct Case {
    std::int32_t npos, filled;
    const char* reason;
    std::size_t data_lines;
    const char* notice;
  };
  const Case cases[] = {
      {5, 6, nullptr, 5, nullptr},
      {5, 7, nullptr, 5, nullptr},  // entries beyond NPOS+1 are never listed
      {5, 3, "the mean planets serve only the Earth as centre", 2,
       " Only   2 of   5 lines listed: the mean planets serve only the Earth as centre"},
      {5, 0, nullptr, 0, " Only   0 of   5 lines listed: no positions for the later lines"},
      {5, 1, nullptr, 0, " Only   0 of   5 lines listed: no positions for the later lines"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.npos << " " << c.filled);
    fill_grid(c.npos, c.filled);
    if (c.reason) end_listing_fill(c.reason);
    const std::vector<std::string> out = run("SHORT");
    const std::size_t header_lines = 9;
    ASSERT_EQ(out.size(), header_lines + c.data_lines + (c.notice ? 1 : 0));
    if (c.notice) {
      EXPECT_EQ(out.back(), c.notice);
    }
  }
}

// A grid cut where its dates leave the years the lines print lists the
// lines within it, whatever the fill (the Kepler solution also fills the
// entries after NPOS+1 that an earlier listing left), and says so; a fill
// that ends before the cut gives its own reason.
TEST_F(Radec, CutGridEndsWithTheNoticeOfTheYears) {
  struct Case {
    std::int32_t filled;
    const char* reason;
    std::size_t data_lines;
    const char* notice;
  };
  const Case cases[] = {
      {3, nullptr, 2,
       " Only   2 of   5 lines listed: the dates that follow lie after the year 9999"},
      {6, nullptr, 2,
       " Only   2 of   5 lines listed: the dates that follow lie after the year 9999"},
      {2, "the mean planets serve only the Earth as centre", 1,
       " Only   1 of   5 lines listed: the mean planets serve only the Earth as centre"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filled);
    // 9999 December 29, 30 and 31; the next listed time is in 10000.
    build_listing_grid({9999, 12, 29}, 0.0, 24.0, 5, Text<32>("SHORT"));
    ASSERT_EQ(listing_grid_cut().entries, 3);
    fill_grid(5, c.filled);
    if (c.reason) end_listing_fill(c.reason);
    const std::vector<std::string> out = run("SHORT");
    const std::size_t header_lines = 9;
    ASSERT_EQ(out.size(), header_lines + c.data_lines + 1);
    EXPECT_EQ(out.back(), c.notice);
  }
  // The next grid, within the years, is not cut.
  build_listing_grid({2023, 3, 10}, 0.0, 24.0, 5, Text<32>("SHORT"));
  fill_grid(5, 6);
  EXPECT_EQ(run("SHORT").size(), 9u + 5u);
}

// Every reason a fill can end with makes a notice of at most 80 columns,
// the width of a console line, also with three-digit counts.
TEST_F(Radec, EveryNoticeFitsAConsoleLine) {
  for (const std::string_view reason :
       {kMeanSunIsGeocentric, kNoSuchCentre, kOutsideJplFile, kAfterTheLastYear,
        kBeforeTheFirstYear, std::string_view()}) {
    SCOPED_TRACE(reason);
    fill_grid(kGridSize - 1, 101);
    if (!reason.empty()) end_listing_fill(reason);
    const std::vector<std::string> out = run("SHORT");
    ASSERT_EQ(out.back().substr(0, 31), " Only 100 of 499 lines listed: ");
    EXPECT_LE(out.back().size(), 80u) << out.back();
  }
}

TEST_F(Radec, CaptureFileHoldsTheConsoleLinesButTitleAndClosingLine) {
  testing_support::TempDir dir;
  const std::string path = (dir / "cap.txt").string();
  for (const char* form : {"SHORT", "ASTRM", "LONG", "MPC"}) {
    SCOPED_TRACE(form);
    FILES.SCRFILE = path;
    fill_grid(2, 3);
    end_listing_fill("a reason");  // the notice is not short here: no notice
    std::vector<std::string> con = run(form);
    std::vector<std::string> cap = crlf_lines(testing_support::read_file(path));
    ASSERT_EQ(con.size(), cap.size() + 1);
    std::string closing = " Screen output is in file named " + path;
    closing.resize(1 + 31 + 30, ' ');
    EXPECT_EQ(con.back(), closing);
    con.pop_back();
    EXPECT_EQ(cap[2], "Elements from:  MPCORB test source for the listing      ");
    EXPECT_EQ(con[2], "Elements :  MPCORB test source for the listing      ");
    cap[2] = con[2];
    EXPECT_EQ(con, cap);
  }
  // A blank name the next time: no file written, no closing line.
  FILES.SCRFILE = "";
  testing_support::write_file(path, "kept");
  fill_grid(2, 3);
  const std::vector<std::string> con = run("SHORT");
  EXPECT_EQ(con.size(), 11u);
  EXPECT_EQ(testing_support::read_file(path), "kept");
}

TEST_F(Radec, CaptureFileThatCannotBeOpenedIsFatal) {
  FILES.SCRFILE = "/nonexistent-folder/cap.txt";
  fill_grid(1, 2);
  ConsoleScript con;
  EXPECT_TRUE(fails_with([] { RADEC(Text<32>("SHORT")); }, ioerr::OPEN_FAILURE, 13));
}

// The Sun seen from the Earth (r = 0) and a target at the centre body
// (delta = 0): the lines print, with asterisks where there is no value.
TEST_F(Radec, ZeroDistancesPrintAsterisks) {
  fill_grid(2, 3);
  OBJECT.PNAME = "Sun";
  for (int I = 1; I <= 3; ++I) {
    POSNS.RHELIO(I) = 0.0;
    POSNS.ROBS(I) = POSNS.DELTA(I);  // the object is the Sun
  }
  POSNS.DELTA(2) = 0.0;
  POSNS.DEC(2) = std::nan("");
  const std::vector<std::string> out = run("SHORT");
  ASSERT_EQ(out.size(), 11u);
  expect_columns(out[9], {{44, 48, "*****"}, {50, 56, "  0.000"}});
  expect_columns(out[10],
                 {{33, 34, "**"}, {37, 40, "****"}, {44, 48, "*****"}, {58, 64, "  0.000"}});
}

}  // namespace
