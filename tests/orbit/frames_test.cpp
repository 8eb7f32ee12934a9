// Frame rotations and precession.
#include "frames.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <ostream>

#include "astcon.h"

namespace {

constexpr double kPi = ASTCON::PI;
constexpr double kJ2000 = 2451545.0;

struct RotateCase {
  int axis;
  std::array<double, 3> in;
  std::array<double, 3> out;  // coordinates after turning the frame by +90 degrees
};

// Turning the frame by +90 degrees moves a fixed vector by -90 degrees in the
// new coordinates: the sense of each axis is what these catch.
void PrintTo(const RotateCase& c, std::ostream* os) {
  *os << "axis " << c.axis << " (" << c.in[0] << ", " << c.in[1] << ", " << c.in[2] << ")";
}

class RotateQuarterTurn : public testing::TestWithParam<RotateCase> {};

TEST_P(RotateQuarterTurn, TurnsTheFrameNotTheVector) {
  const RotateCase& c = GetParam();
  double x = c.in[0], y = c.in[1], z = c.in[2];
  ROTATE(x, y, z, kPi / 2.0, c.axis);
  EXPECT_NEAR(x, c.out[0], 1e-15);
  EXPECT_NEAR(y, c.out[1], 1e-15);
  EXPECT_NEAR(z, c.out[2], 1e-15);
}

INSTANTIATE_TEST_SUITE_P(
    Axes, RotateQuarterTurn,
    testing::Values(RotateCase{1, {0, 1, 0}, {0, 0, -1}}, RotateCase{1, {0, 0, 1}, {0, 1, 0}},
                    RotateCase{2, {1, 0, 0}, {0, 0, 1}}, RotateCase{2, {0, 0, 1}, {-1, 0, 0}},
                    RotateCase{3, {1, 0, 0}, {0, -1, 0}}, RotateCase{3, {0, 1, 0}, {1, 0, 0}},
                    // No such axis: nothing changes.
                    RotateCase{0, {0.3, -0.4, 0.5}, {0.3, -0.4, 0.5}},
                    RotateCase{4, {0.3, -0.4, 0.5}, {0.3, -0.4, 0.5}}));

TEST(Rotate, OppositeTurnsRestoreTheCoordinates) {
  for (int axis = 1; axis <= 3; ++axis) {
    double x = 0.7, y = -1.3, z = 2.1;
    ROTATE(x, y, z, 1.234, axis);
    ROTATE(x, y, z, -1.234, axis);
    EXPECT_NEAR(x, 0.7, 1e-15) << "axis " << axis;
    EXPECT_NEAR(y, -1.3, 1e-15) << "axis " << axis;
    EXPECT_NEAR(z, 2.1, 1e-15) << "axis " << axis;
  }
}

TEST(Rotate, EclipticPoleInEquatorialCoordinates) {
  // The north ecliptic pole lies at right ascension 18 h, declination
  // 90 degrees less the obliquity.
  double x = 0, y = 0, z = 1;
  ROTATE(x, y, z, -ASTCON::OBLIQ, 1);
  EXPECT_NEAR(x, 0.0, 1e-16);
  EXPECT_NEAR(y, -std::sin(ASTCON::OBLIQ), 1e-16);
  EXPECT_NEAR(z, std::cos(ASTCON::OBLIQ), 1e-16);
}

TEST(Precess, EquatorPointOverOneCentury) {
  double ra = 0.0, dec = 0.0;
  PRECESS(kJ2000, kJ2000 + 36525.0, ra, dec);
  EXPECT_NEAR(ra, 0.0223692, 5e-8);
  EXPECT_NEAR(dec, 0.0097143, 5e-8);
}

TEST(Precess, PoleOfTheStartingEquatorComesDownByTheta) {
  double ra = 0.0, dec = kPi / 2.0;
  PRECESS(kJ2000, kJ2000 + 36525.0, ra, dec);
  const double theta = 0.00971717394 - 2.07e-6 - 2.0362e-7;
  EXPECT_NEAR(dec, kPi / 2.0 - theta, 1e-14);
}

TEST(Precess, ThetaPersei) {
  // J2000 place with its proper motion carried to 2028 Nov 13.19 TD, and
  // the mean place of that date as Meeus gives it (Astronomical Algorithms,
  // example 21.b): 41.547214 and +49.348483 degrees.
  const JulianDate t = 2462088.69;
  const double years = (t - kJ2000) / 365.25;
  double ra = (2.0 + 44.0 / 60.0 + (11.986 + 0.03425 * years) / 3600.0) * 15.0 / ASTCON::RADDEG;
  double dec = (49.0 + 13.0 / 60.0 + (42.48 - 0.0895 * years) / 3600.0) / ASTCON::RADDEG;
  PRECESS(kJ2000, t, ra, dec);
  EXPECT_NEAR(ra * ASTCON::RADDEG, 41.547214, 2e-6);
  EXPECT_NEAR(dec * ASTCON::RADDEG, 49.348483, 2e-6);
}

TEST(Precess, EqualDatesLeaveThePlaceAndKeepRightAscensionPositive) {
  double ra = 5.0, dec = -0.3;
  PRECESS(2455000.5, 2455000.5, ra, dec);
  EXPECT_NEAR(ra, 5.0, 1e-15);
  EXPECT_NEAR(dec, -0.3, 1e-15);
}

TEST(Precess, ForwardAndBackRestoresThePlace) {
  // The angles of the two directions are separate polynomials; they undo
  // each other to well below a milliarcsecond over half a century.
  double ra = 1.9, dec = 0.6;
  PRECESS(kJ2000, kJ2000 + 18262.5, ra, dec);
  PRECESS(kJ2000 + 18262.5, kJ2000, ra, dec);
  EXPECT_NEAR(ra, 1.9, 1e-9);
  EXPECT_NEAR(dec, 0.6, 1e-9);
}

TEST(Precess, ResultsStayInRange) {
  // Places near right ascension 0 and near the poles, forward and back, over
  // a century and over intervals where the angle z exceeds pi (from some 200
  // centuries on), so that one addition of 2 pi would not do.
  const double ras[] = {0.0, 1e-9, 6.2831853, 3.0};
  const double decs[] = {-kPi / 2.0, -1.5707963, 0.0, 1.5707963, kPi / 2.0};
  for (double span : {-36525.0, 36525.0, -250 * 36525.0, 480 * 36525.0, 2000 * 36525.0}) {
    for (double ra0 : ras) {
      for (double dec0 : decs) {
        double ra = ra0, dec = dec0;
        PRECESS(kJ2000, kJ2000 + span, ra, dec);
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 2.0 * kPi);
        EXPECT_GE(dec, -kPi / 2.0);
        EXPECT_LE(dec, kPi / 2.0);
      }
    }
  }
}

TEST(Precess, PlaceThatLandsOnTheNewPoleHasADeclination) {
  // This place, carried back 1.961 centuries, lands on the pole of the new
  // equator, and the sine of its declination comes out one rounding above 1.
  double ra = 3.1635133493265704, dec = 1.5517345239820837;
  PRECESS(kJ2000, kJ2000 - 1.961 * 36525.0, ra, dec);
  EXPECT_NEAR(dec, kPi / 2.0, 1e-7);
}

}  // namespace
