// The force model against sums written out here from PLEPHX positions (or
// the mean elements) and the mass table; the switch to mean planets in the
// middle of an evaluation; a zero distance.
#include "force.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>

#include "astcon.h"
#include "calendar.h"
#include "celem.h"
#include "console_script.h"
#include "de405_masses.h"
#include "elements.h"
#include "integration_checks.h"
#include "jplread.h"
#include "plephx.h"
#include "records.h"
#include "reference_orbit.h"
#include "stop.h"
#include "stop_checks.h"

namespace {

using Vec3 = std::array<double, 3>;

using namespace integration_checks;

class ForceModel : public PlanetsOnFastClock {
 protected:
  void use_file(const std::string& path) {
    JPLNAM.JPLFILE = path;
    PLNSRC.IMEAN = 0;
  }
};

// A Ceres-like position, AU, equatorial J2000.
constexpr Vec3 kObject = {1.9, -1.6, -0.9};
constexpr JulianDate kDate = 2455197.5;  // 2010 January 1

Vec3 call(void (*f)(double, double, double, double, double&, double&, double&, JulianDate),
          const Vec3& r, double S, JulianDate T) {
  Vec3 a{};
  f(r[0], r[1], r[2], S, a[0], a[1], a[2], T);
  return a;
}

// The acceleration written out term by term: the Sun's pull, and for each
// body its pull on the object less its pull on the Sun, with the body's
// heliocentric position p[j] and MASS(j).
Vec3 by_hand(const Vec3& r, int first, int nplanet, const std::array<Vec3, 11>& p) {
  const double rr = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  Vec3 a = {-r[0] / (rr * rr * rr), -r[1] / (rr * rr * rr), -r[2] / (rr * rr * rr)};
  for (int j = first; j <= nplanet; ++j) {
    const Vec3& q = p[static_cast<std::size_t>(j)];
    const double m = PERTRB.MASS(j);
    const double d = std::sqrt((q[0] - r[0]) * (q[0] - r[0]) + (q[1] - r[1]) * (q[1] - r[1]) +
                               (q[2] - r[2]) * (q[2] - r[2]));
    const double qq = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2]);
    for (int i = 0; i < 3; ++i) a[i] += m * (q[i] - r[i]) / (d * d * d) - m * q[i] / (qq * qq * qq);
  }
  return a;
}

Vec3 from_plephx(JulianDate t, BodyNumber body) {
  BodyState s{};
  EXPECT_EQ(PLEPHX(t, body, 11, s), 0);
  return {s[0], s[1], s[2]};
}

// Heliocentric positions of the mean planets `first` to 8 at t, from the
// elements CELEM left in PERTRB.PEL, in the layout by_hand takes.
std::array<Vec3, 11> mean_planets(JulianDate t, int first) {
  std::array<Vec3, 11> p{};
  for (int j = first; j <= 8; ++j) {
    StateVector s;
    ELEM2XV(PERTRB.PEL(j), t, 0, s);
    p[static_cast<std::size_t>(j)] = {s.x, s.y, s.z};
  }
  return p;
}

void expect_close(const Vec3& got, const Vec3& want, double rel, const std::string& what) {
  const double scale = std::sqrt(want[0] * want[0] + want[1] * want[1] + want[2] * want[2]);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], rel * scale) << what << " axis " << i;
}

struct HandSumCase {
  int nplanet;
  BodyNumber third;  // the body that PlanetIndex 3 stands for
};

void PrintTo(const HandSumCase& c, std::ostream* os) {
  *os << "NPLANET " << c.nplanet;
}

class ForceHandSum : public ForceModel, public testing::WithParamInterface<HandSumCase> {};

// NPLANET 8: index 3 is the Earth-Moon barycentre (13) with its mass;
// NPLANET 10: the Earth alone (3) with the Earth's mass, and the Moon (10).
TEST_P(ForceHandSum, AgreesWithTheSumOverPlephxBodies) {
  if (!std::filesystem::exists(kDe405)) GTEST_SKIP() << "no planetary file " << kDe405;
  const HandSumCase& c = GetParam();
  use_file(kDe405);
  load_masses(c.nplanet);
  std::array<Vec3, 11> p{};
  for (int j = 1; j <= c.nplanet; ++j)
    p[static_cast<std::size_t>(j)] = from_plephx(kDate, j == 3 ? c.third : j);

  const Vec3 f = call(FORCE, kObject, 1.0, kDate);
  const Vec3 f1 = call(FORCE1, kObject, 1.0, kDate);
  expect_close(f, by_hand(kObject, 2, c.nplanet, p), 1e-14, "FORCE");
  expect_close(f1, by_hand(kObject, 1, c.nplanet, p), 1e-14, "FORCE1");

  // The perturbations are a part in a few thousand of the Sun's pull, so a
  // body wrong or missing would show far above the tolerance: FORCE1 and
  // FORCE differ by Mercury's terms alone.
  const Vec3 mercury = by_hand(kObject, 1, 1, p), sun = by_hand(kObject, 1, 0, p);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(f1[i] - f[i], mercury[i] - sun[i], 1e-18);

  // And the tests' reference orbit sums the same field (in AU/day^2).
  reference_orbit::Orbit ref(reference_orbit::Bodies{true, c.nplanet});
  const auto ra = ref.accel(kObject, kDate);
  const double k2 = ASTCON::GAUSSK * ASTCON::GAUSSK;
  expect_close({ra[0] / k2, ra[1] / k2, ra[2] / k2}, f1, 1e-14, "reference");
}

INSTANTIATE_TEST_SUITE_P(Bodies, ForceHandSum,
                         testing::Values(HandSumCase{8, 13}, HandSumCase{10, 3}),
                         [](const testing::TestParamInfo<HandSumCase>& i) {
                           return "NPLANET" + std::to_string(i.param.nplanet);
                         });

// With mean planets the bodies come from PEL through ELEM2XV.
TEST_F(ForceModel, MeanPlanetsComeFromTheMeanElements) {
  PLNSRC.IMEAN = 1;
  load_masses(8);
  CELEM(kDate);
  const std::array<Vec3, 11> p = mean_planets(kDate, 1);
  expect_close(call(FORCE, kObject, 1.0, kDate), by_hand(kObject, 2, 8, p), 1e-14, "FORCE");
  expect_close(call(FORCE1, kObject, 1.0, kDate), by_hand(kObject, 1, 8, p), 1e-14, "FORCE1");

  // NPLANET 1: FORCE has the Sun alone, FORCE1 adds Mercury only.
  PERTRB.NPLANET = 1;
  const Vec3 sun = call(sun_only, kObject, 1.0, kDate);
  EXPECT_EQ(call(FORCE, kObject, 1.0, kDate), sun);
  expect_close(call(FORCE1, kObject, 1.0, kDate), by_hand(kObject, 1, 1, p), 1e-14, "Mercury");
}

// The outputs are S^2 times the acceleration.
TEST_F(ForceModel, ScaleFactorMultipliesBySquare) {
  PLNSRC.IMEAN = 1;
  load_masses(8);
  CELEM(kDate);
  const Vec3 a = call(FORCE1, kObject, 1.0, kDate);
  EXPECT_EQ(call(FORCE1, kObject, -1.0, kDate), a);
  EXPECT_EQ(call(FORCE1, kObject, 0.0, kDate), (Vec3{0, 0, 0}));
  const double hk = 10 * ASTCON::GAUSSK;
  expect_close(call(FORCE1, kObject, hk, kDate), {hk * hk * a[0], hk * hk * a[1], hk * hk * a[2]},
               1e-15, "S = HK");
}

TEST_F(ForceModel, DerivHandsOnTheVelocity) {
  PLNSRC.IMEAN = 1;
  load_masses(8);
  CELEM(kDate);
  const std::array<double, 6> y = {kObject[0], kObject[1], kObject[2], 0.25, -0.5, 0.125};
  std::array<double, 6> dy{};
  DERIV(y, dy, kDate);
  EXPECT_EQ(dy[0], 0.25);
  EXPECT_EQ(dy[1], -0.5);
  EXPECT_EQ(dy[2], 0.125);
  const Vec3 a = call(FORCE, kObject, 1.0, kDate);
  EXPECT_EQ((Vec3{dy[3], dy[4], dy[5]}), a);
}

// A date past the end of the file in the middle of an integration: the first
// request switches the run to mean planets, and the same evaluation is
// completed from the mean elements (NPLANET now 8: no Pluto, no Moon), with
// one message; later evaluations use the mean elements without a word.
TEST_F(ForceModel, DateOutsideTheFileFinishesTheEvaluationWithMeanPlanets) {
  if (!std::filesystem::exists(kShortDe405)) GTEST_SKIP() << "no planetary file " << kShortDe405;
  use_file(kShortDe405);
  load_masses(10);
  const JulianDate late = 2467000.5;  // 2042, after the file's end
  Vec3 f{}, again{};
  std::string said;
  {
    ConsoleScript console;
    f = call(FORCE, kObject, 1.0, late);
    again = call(FORCE, kObject, 1.0, late + 1);
    said = console.output();
  }
  expect_switched_to_mean_planets(said);
  // The same as an evaluation made with mean planets from the start; the
  // third mass keeps the Earth's value set for NPLANET 10.
  const std::array<Vec3, 11> p = mean_planets(late, 2);
  EXPECT_EQ(PERTRB.MASS(3), kDe405EarthMass);
  expect_close(f, by_hand(kObject, 2, 8, p), 1e-14, "after the switch");
  EXPECT_NE(again, f);
}

// An object at the centre of the Sun or of a body has no acceleration; the
// run stops with a message rather than list not-a-number.
TEST_F(ForceModel, ZeroDistanceStops) {
  PLNSRC.IMEAN = 1;
  load_masses(8);
  CELEM(kDate);
  StateVector jupiter;
  ELEM2XV(PERTRB.PEL(5), kDate, 0, jupiter);
  struct Case {
    const char* what;
    Vec3 r;
    void (*f)(double, double, double, double, double&, double&, double&, JulianDate);
  };
  for (const Case& c : {Case{"at the Sun, FORCE", {0, 0, 0}, FORCE},
                        Case{"at the Sun, Sun alone", {0, 0, 0}, sun_only},
                        Case{"at Jupiter, FORCE1", {jupiter.x, jupiter.y, jupiter.z}, FORCE1}}) {
    ConsoleScript console;
    EXPECT_EQ(testing_support::stop_kind([&] { call(c.f, c.r, 1.0, kDate); }),
              StopKind::Integration)
        << c.what;
    const std::string said = console.output();
    EXPECT_NE(said.find("The integration cannot go on."), std::string::npos) << c.what;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << c.what << ":\n" << said;
  }
}

}  // namespace
