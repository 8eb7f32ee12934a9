// Planet state requests: JPL's test points, the relations between bodies,
// nutations and librations, and the switch to mean planets.
#include "plephx.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "astcon.h"
#include "de405_masses.h"
#include "de_fixture.h"
#include "stepping_clock.h"
#include "stop.h"
#include "stop_checks.h"

namespace {

using de_fixture::DeFile;
using de_fixture::ReaderTest;
using testing_support::SteppingClock;

// ---------------------------------------------------------------- testpo

struct TestPoint {
  double jed;
  int target, centre, coordinate;
  double value;
  std::string line;
};

// The points of JPL's testpo file: one a line after the line "EOT".
std::vector<TestPoint> read_testpo(const std::string& path) {
  std::ifstream in(path);
  std::vector<TestPoint> pts;
  std::string line;
  bool body = false;
  while (std::getline(in, line)) {
    if (!body) {
      body = line.rfind("EOT", 0) == 0;
      continue;
    }
    std::istringstream s(line);
    std::string de, date;
    TestPoint p;
    if (s >> de >> date >> p.jed >> p.target >> p.centre >> p.coordinate >> p.value) {
      p.line = line;
      pts.push_back(p);
    }
  }
  return pts;
}

struct AcceptanceCase {
  const char* file;
  int points;  // test points in the file's span
};

void PrintTo(const AcceptanceCase& c, std::ostream* os) {
  *os << c.file;
}

class TestPoints : public ReaderTest, public ::testing::WithParamInterface<AcceptanceCase> {};

// The standard acceptance of a DE reader: every test point in the file's
// span to 1e-13 (AU, AU/day), 1e-12 for nutations and librations (radians,
// relative where the value exceeds 1).
TEST_P(TestPoints, AgreeWithJplWithin1e13) {
  const AcceptanceCase c = GetParam();
  USE_DATA_FILE(c.file);
  const std::string testpo = data_file("testpo.405");
  if (testpo.empty()) GTEST_SKIP() << "real data absent: de405/testpo.405";
  const std::vector<TestPoint> pts = read_testpo(testpo);
  ASSERT_GT(pts.size(), 0u);

  StateTable pv;
  NutationState nut{};
  STATE({0.0, 0.0}, StateRequest{}, pv, nut);  // opens the file: its span
  int checked = 0;
  for (const TestPoint& p : pts) {
    if (p.jed < JPLHDR.SPAN(1) || p.jed > JPLHDR.SPAN(2)) continue;
    BodyState r;
    ASSERT_EQ(PLEPHX(p.jed, p.target, p.centre, r), 0) << p.line;
    const double got = r[static_cast<std::size_t>(p.coordinate - 1)];
    const bool angle = p.target == 14 || p.target == 15;
    const double tol = angle ? 1e-12 * std::max(1.0, std::fabs(p.value)) : 1e-13;
    EXPECT_NEAR(got, p.value, tol) << p.line;
    ++checked;
  }
  EXPECT_EQ(checked, c.points);
}

INSTANTIATE_TEST_SUITE_P(Files, TestPoints,
                         ::testing::Values(AcceptanceCase{"de405_1960-2060_le.bin", 1201},
                                           AcceptanceCase{"de405_2000-2040_le.bin", 481},
                                           AcceptanceCase{"unxp0003.405", 14}),
                         [](const auto& info) {
                           const std::string f = info.param.file;
                           if (f.find("1960") != std::string::npos)
                             return std::string("Le1960To2060");
                           if (f.find("2000") != std::string::npos)
                             return std::string("Le2000To2040");
                           return std::string("BigEndian2003");
                         });

// ---------------------------------------------------------------- bodies

BodyState request(BodyNumber t, BodyNumber c, JulianDate d = 2455000.3) {
  BodyState r;
  EXPECT_EQ(PLEPHX(d, t, c, r), 0) << t << " from " << c;
  return r;
}

// The file's own items at the date (barycentric, Moon geocentric).
StateTable items(JulianDate d = 2455000.3) {
  StateRequest req;
  for (int i = 1; i <= 10; ++i) req(i) = 2;
  StateTable pv;
  NutationState nut{};
  JPLOPT.BARYC = true;
  EXPECT_EQ(STATE({d, 0.0}, req, pv, nut), 0);
  JPLOPT.BARYC = false;
  return pv;
}

TEST_F(ReaderTest, BodiesRelativeToEachOther) {
  USE_DATA_FILE("de405_2000-2040_le.bin");
  const StateTable f = items();
  const BodyState sun = JPLOPT.SUNPV;
  const double em = 1.0 + JPLHDR.EMRATIO;
  for (std::size_t j = 0; j < 6; ++j) {
    const double moon = f(10)[j], emb = f(3)[j];
    EXPECT_EQ(request(10, 3)[j], moon);
    EXPECT_EQ(request(3, 10)[j], -moon);
    EXPECT_NEAR(request(3, 11)[j], emb - moon / em - sun[j], 1e-15);
    EXPECT_NEAR(request(13, 3)[j], moon / em, 1e-15);  // EMB - (EMB - Moon / em)
    EXPECT_NEAR(request(10, 13)[j], moon - moon / em, 1e-15);
    EXPECT_NEAR(request(10, 12)[j], emb - moon / em + moon, 1e-15);
    EXPECT_EQ(request(11, 12)[j], sun[j]);
    EXPECT_EQ(request(12, 11)[j], -sun[j]);
    EXPECT_EQ(request(5, 12)[j], f(5)[j]);
    EXPECT_EQ(request(5, 11)[j], f(5)[j] - sun[j]);
    EXPECT_EQ(request(4, 13)[j], f(4)[j] - emb);
  }
  EXPECT_FALSE(JPLOPT.BARYC);  // the caller's setting comes back
}

TEST_F(ReaderTest, TargetEqualToCentreIsZeroWithoutTheFile) {
  USE_DATA_FILE("de405_2000-2040_le.bin");
  ConsoleScript con;
  for (const JulianDate d : {2455000.5, 1.0e6}) {
    BodyState r;
    r.fill(1.0);
    EXPECT_EQ(PLEPHX(d, 5, 5, r), 0);
    EXPECT_EQ(r, BodyState{});
  }
  EXPECT_EQ(JPLHDR.SPAN(1), 0.0);  // the file has not been opened
  EXPECT_EQ(PLNSRC.IMEAN, 0);
  EXPECT_EQ(con.output(), "");
}

TEST_F(ReaderTest, TwoPartDateEntry) {
  USE_DATA_FILE("de405_2000-2040_le.bin");
  const BodyState whole = request(5, 11, 2455000.75);
  const std::array<double, 2> splits[] = {{2455000.5, 0.25}, {2455000.0, 0.75}, {0.0, 2455000.75}};
  for (const auto& s : splits) {
    BodyState r;
    ASSERT_EQ(PLEPHX2(s[0], s[1], 5, 11, r), 0);
    EXPECT_EQ(r, whole) << s[0] << " + " << s[1];
  }
}

TEST_F(ReaderTest, NutationsAndLibrationsAsFirstRequest) {
  USE_DATA_FILE("de405_2000-2040_le.bin");
  for (const BodyNumber t : {14, 15}) {
    reset_ephemeris_reader();
    BodyState r;
    ASSERT_EQ(PLEPHX(2455000.5, t, 0, r), 0);
    EXPECT_NE(r[0], 0.0);
    EXPECT_NE(r[3], 0.0);
    if (t == 14) {
      EXPECT_EQ(r[4], 0.0);
    } else {
      EXPECT_NE(r[5], 0.0);
    }
  }
}

TEST_F(ReaderTest, MissingNutationsOrLibrationsStopTheProgram) {
  struct Case {
    BodyNumber target;
    std::size_t item;
    const char* line;
  };
  const Case cases[] = {
      {14, 12, " *****  NO NUTATIONS ON THE EPHEMERIS FILE  *****\r\n"},
      {15, 13, " *****  NO LIBRATIONS ON THE EPHEMERIS FILE  *****\r\n"},
  };
  for (const Case& c : cases) {
    reset_ephemeris_reader();
    DeFile f;
    f.layout[c.item - 1] = {0, 0, 0};
    write_fixture(f.bytes());
    ConsoleScript con;
    BodyState r;
    EXPECT_EQ(testing_support::stop_kind([&] { PLEPHX(f.span1 + 1.0, c.target, 0, r); }),
              StopKind::PlanetaryFile);
    EXPECT_EQ(con.output(), c.line);
    // The other kind of angles is still served.
    EXPECT_EQ(PLEPHX(f.span1 + 1.0, c.target == 14 ? 15 : 14, 0, r), 0);
  }
}

TEST_F(ReaderTest, BodyNumbersOutsideTheirRangeAreRefused) {
  const std::pair<BodyNumber, BodyNumber> bad[] = {{0, 3},  {16, 3}, {3, 0},
                                                   {3, 14}, {3, 15}, {-1, 11}};
  for (const auto& [t, c] : bad) {
    BodyState r;
    EXPECT_THROW(PLEPHX(2455000.5, t, c, r), std::invalid_argument) << t << " from " << c;
  }
}

// ---------------------------------------------------------------- fallback

class Fallback : public ReaderTest {
 protected:
  void SetUp() override {
    ReaderTest::SetUp();
    load_de405_masses();
    PERTRB.NPLANET = 10;
    write_fixture(DeFile().bytes());
    SteppingClock::start(1000.0);
  }
};

const char* const kFallbackLines =
    "0 ERROR RETURN FROM CALL TO STATE. EPOCH OUT OF RANGE.\r\n"
    " Switching to mean planetary elements\r\n"
    " Some accuracy will be lost\r\n";

TEST_F(Fallback, MessagesPauseAndSwitchToMeanPlanets) {
  struct Case {
    BodyNumber target, centre;
    std::int32_t status;
  };
  const Case cases[] = {{5, 11, 1}, {3, 10, 1}, {11, 3, 1}, {14, 0, 1}, {15, 0, 1}, {12, 11, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.target << " from " << c.centre);
    PLNSRC.IMEAN = 0;
    PERTRB.NPLANET = 10;
    reset_mean_elements();
    SteppingClock::start(1000.0);
    ConsoleScript con;
    BodyState r;
    EXPECT_EQ(PLEPHX(2460000.5, c.target, c.centre, r), c.status);
    EXPECT_EQ(con.output(), kFallbackLines);
    EXPECT_EQ(SteppingClock::readings, 13);  // 0.25 s a reading: until 3.0 s have passed
    EXPECT_EQ(PLNSRC.IMEAN, 1);
    EXPECT_EQ(PERTRB.NPLANET, 8);
    EXPECT_EQ(PERTRB.PEL(3).aq, 1.000001018);  // the mean elements at the date
  }
}

TEST_F(Fallback, PauseEndsAfterThreeSecondsAcrossMidnight) {
  for (const double start : {86399.0, 86397.5, 86399.75}) {
    SteppingClock::start(start);
    ConsoleScript con;
    BodyState r;
    EXPECT_EQ(PLEPHX(1.0e6, 5, 11, r), 1);
    EXPECT_EQ(SteppingClock::readings, 13) << "from " << start;
  }
}

// On the system's clock the pause lasts about three seconds and sleeps
// through them: the processor time it takes is a small part of that.
TEST_F(Fallback, PausesForRealOnTheLocalClock) {
  set_local_clock(nullptr);
  ConsoleScript con;
  BodyState r;
  const auto t0 = std::chrono::steady_clock::now();
  const std::clock_t c0 = std::clock();
  EXPECT_EQ(PLEPHX(1.0e6, 5, 11, r), 1);
  const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - t0;
  EXPECT_GE(waited.count(), 2.9);
  EXPECT_LT(waited.count(), 10.0);
  EXPECT_LT(cpu, 0.1) << "seconds of processor time in " << waited.count() << " s";
}

TEST_F(Fallback, DateZeroOrNoNumberIsOutsideTheFile) {
  struct Case {
    JulianDate date;
    BodyNumber target, centre;
  };
  const Case cases[] = {{0.0, 5, 11}, {std::nan(""), 12, 11}, {INFINITY, 3, 11}};
  for (const Case& c : cases) {
    SteppingClock::start(1000.0);
    ConsoleScript con;
    BodyState r;
    EXPECT_EQ(PLEPHX(c.date, c.target, c.centre, r), 1) << c.date;
    EXPECT_EQ(con.output(), kFallbackLines);
  }
}

// The barycentre seen from the Sun from the eight mean planets, against the
// file's value just after the end of a shorter file.
TEST_F(Fallback, BarycentreFromTheSunFromMeanPlanets) {
  const std::string longer = data_file("de405_1960-2060_le.bin");
  const std::string shorter = data_file("de405_2000-2040_le.bin");
  if (longer.empty() || shorter.empty()) GTEST_SKIP() << "real data absent: de405 files";
  const JulianDate d = 2466200.5;  // after the end of the 2000-2040 file
  use_file(longer);
  const BodyState jpl = request(12, 11, d);
  reset_ephemeris_reader();
  use_file(shorter);
  ConsoleScript con;
  BodyState mean;
  ASSERT_EQ(PLEPHX(d, 12, 11, mean), 0);
  EXPECT_EQ(con.output(), kFallbackLines);
  for (std::size_t j = 0; j < 3; ++j) {
    EXPECT_NEAR(mean[j], jpl[j], 3e-5) << j;
    EXPECT_NEAR(mean[j + 3], jpl[j + 3], 2e-8) << j;  // AU/day
  }
}

}  // namespace
