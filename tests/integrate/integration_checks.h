// What the tests of the integrators share beyond the listing runs: two
// orbits under the Sun alone and their states, distances between states, the
// DE405 files of the test data with the masses the ephemeris program sets,
// the stepping clock, which makes the pause of the switch to mean planets
// take no time,
// and what that switch writes and leaves in the records.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>

#include "astcon.h"
#include "celem.h"
#include "de405_masses.h"
#include "elements.h"
#include "jplread.h"
#include "planet_records.h"
#include "plephx.h"
#include "records.h"
#include "test_data.h"

namespace integration_checks {

inline constexpr JulianDate kT0 = 2451545.0;

// A Ceres-like orbit, and a comet (q = 0.5 AU, e = 0.9) at perihelion at kT0.
inline const ElementSet kMainBelt{0.0788175,
                                  10.58634 / ASTCON::RADDEG,
                                  80.26013 / ASTCON::RADDEG,
                                  73.47045 / ASTCON::RADDEG,
                                  2.7671817,
                                  kT0 - 120.0};
inline const ElementSet kComet{0.9, 0.4, 1.2, 2.1, 0.5, kT0};

// The state of the orbit `el` at date t, `form` as ELEM2XV takes it.
inline StateVector at(const ElementSet& el, std::int32_t form, JulianDate t) {
  StateVector s;
  ELEM2XV(el, t, form, s);
  return s;
}

// AU between the positions of two states.
inline double distance(const StateVector& a, const StateVector& b) {
  return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

// AU/day (or the states' velocity unit) between the velocities of two states.
inline double speed_difference(const StateVector& a, const StateVector& b) {
  return std::hypot(a.vx - b.vx, a.vy - b.vy, a.vz - b.vz);
}

// The DE405 files of the test data: 1960-2060 and 2000-2040 (which ends on
// JD 2466160.5).
inline const std::string kDe405 =
    testing_support::de405_path(testing_support::kDe405_1960_2060).string();
inline const std::string kShortDe405 =
    testing_support::de405_path(testing_support::kDe405_2000_2040).string();

// The DE405 masses as the ephemeris program sets them for nplanet.
inline void load_masses(int nplanet) {
  load_de405_masses(nplanet);
}

// Heliocentric position of the Earth at t (AU), from the JPL file.
inline std::array<double, 3> earth(JulianDate t) {
  BodyState e{};
  EXPECT_EQ(PLEPHX(t, 3, 11, e), 0);
  return {e[0], e[1], e[2]};
}

// Records, planetary reader and mean elements as at program start, on the
// stepping clock (the three-second pause of the switch to mean planets takes
// no real time); all of them put back afterwards.
class PlanetsOnFastClock : public testing_support::FreshPlanetRecordsOnSteppingClock {};

// The same with the ten bodies of the DE405 masses (NPLANET 10), taken from
// the planetary file (IMEAN 0, JPLFILE for each test to name), and no
// element files.
class TenBodiesOnFastClock : public PlanetsOnFastClock {
 protected:
  void SetUp() override {
    PlanetsOnFastClock::SetUp();
    FILES.STFILE = "";
    FILES.ENDFIL = "";
    load_masses(10);
    PLNSRC.IMEAN = 0;
  }
};

// What the console shows when a date leaves the JPL file.
inline const std::string kSwitchToMeanPlanets =
    "0 ERROR RETURN FROM CALL TO STATE. EPOCH OUT OF RANGE.\r\n"
    " Switching to mean planetary elements\r\n"
    " Some accuracy will be lost\r\n";

// The run went over to mean planets (no Pluto, no Moon), saying so once on
// the console `said`.
inline void expect_switched_to_mean_planets(const std::string& said) {
  EXPECT_EQ(PLNSRC.IMEAN, 1);
  EXPECT_EQ(PERTRB.NPLANET, 8);
  EXPECT_EQ(said, kSwitchToMeanPlanets);
}

}  // namespace integration_checks
