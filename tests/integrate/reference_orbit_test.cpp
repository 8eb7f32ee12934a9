// The tests' own reference orbit: two-body motion against KEPLER, and its
// step against the step halved (Richardson) for a perturbed main-belt orbit.
#include "reference_orbit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <ostream>
#include <string>

#include "astcon.h"
#include "de405_masses.h"
#include "elements.h"
#include "jplread.h"
#include "kepler.h"
#include "records.h"
#include "test_data.h"

namespace {

using reference_orbit::arcsec_between;
using reference_orbit::Bodies;
using reference_orbit::Orbit;
using reference_orbit::position;

constexpr double R = ASTCON::RADDEG;
const std::string kDe405 = testing_support::de405_path(testing_support::kDe405_1960_2060).string();

struct TwoBodyCase {
  const char* name;
  ElementSet el;
  std::int32_t form;  // 0 a-form, 1 q-form
  JulianDate t0, t1;
  double step;  // days
  double tol;   // AU
};

void PrintTo(const TwoBodyCase& c, std::ostream* os) {
  *os << c.name;
}

class ReferenceTwoBody : public testing::TestWithParam<TwoBodyCase> {};

// With no bodies the reference is a two-body orbit: it must follow KEPLER.
TEST_P(ReferenceTwoBody, FollowsKepler) {
  const TwoBodyCase& c = GetParam();
  reset_records();
  StateVector s0, want;
  ELEM2XV(c.el, c.t0, c.form, s0);
  KEPLER(s0, c.t0, want, c.t1);
  Orbit sun_alone(Bodies{false, 0});
  const StateVector got = sun_alone.carry(s0, c.t0, c.t1, c.step);
  const double d = std::hypot(got.x - want.x, got.y - want.y, got.z - want.z);
  EXPECT_LT(d, c.tol) << "distance " << d << " AU";
}

INSTANTIATE_TEST_SUITE_P(
    Orbits, ReferenceTwoBody,
    testing::Values(
        // a Ceres-like orbit, 40 years forwards
        TwoBodyCase{"main belt",
                    {0.0788175, 10.58634 / R, 80.26013 / R, 73.47045 / R, 2.7671817,
                     2460000.5 - 17.21569 / 0.21411523},
                    0,
                    2460000.5,
                    2460000.5 + 14610.0,
                    1.0,
                    5e-9},
        // q = 0.3 AU, e = 0.97: 40 days backwards through perihelion
        TwoBodyCase{
            "comet", {0.97, 0.5, 1.0, 2.0, 0.3, 2451600.0}, 1, 2451620.0, 2451580.0, 0.005, 1e-10}),
    [](const testing::TestParamInfo<TwoBodyCase>& i) {
      return std::string(i.param.name) == "comet" ? "Comet" : "MainBelt";
    });

// With ten bodies the step of 1 day is small enough for 40 years of a
// main-belt orbit: halving it moves the place by far less than 0.001
// arcsecond, and the change shrinks as the fourth order says.
TEST(ReferencePerturbed, HalvingTheStepChangesCeresFarBelowAMilliarcsecond) {
  if (!std::filesystem::exists(kDe405)) GTEST_SKIP() << "no planetary file " << kDe405;
  reset_records();
  reset_ephemeris_reader();
  JPLNAM.JPLFILE = kDe405;
  PLNSRC.IMEAN = 0;
  load_de405_masses(10);  // the third mass the Earth alone

  const JulianDate t0 = 2460000.5, t1 = t0 - 14610.0;
  const ElementSet ceres{0.0788175,    10.58634 / R, 80.26013 / R,
                         73.47045 / R, 2.7671817,    t0 - 17.21569 / 0.21411523};
  StateVector s0;
  ELEM2XV(ceres, t0, 0, s0);
  Orbit ref(Bodies{true, 10});
  const auto p2 = position(ref.carry(s0, t0, t1, 2.0));
  const auto p1 = position(ref.carry(s0, t0, t1, 1.0));
  const auto ph = position(ref.carry(s0, t0, t1, 0.5));
  const auto pq = position(ref.carry(s0, t0, t1, 0.25));
  const double c21 = arcsec_between(p2, p1), c1h = arcsec_between(p1, ph),
               chq = arcsec_between(ph, pq);
  EXPECT_LT(c1h, 1e-3) << "change from 1 to 0.5 day, arcsec";
  EXPECT_NEAR(c21 / c1h, 16.0, 3.0) << c21 << " " << c1h;
  EXPECT_NEAR(c1h / chq, 16.0, 3.0) << c1h << " " << chq;
  // And the bodies do matter: the perturbed place lies far from two-body.
  StateVector kep;
  KEPLER(s0, t0, kep, t1);
  EXPECT_GT(arcsec_between(position(kep), ph), 100.0);
  RecordProperty("change_1_to_half_day_arcsec", std::to_string(c1h));
}

}  // namespace
