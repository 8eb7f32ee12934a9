// The force model: the heliocentric acceleration of a massless object under
// the Sun and the perturbing bodies 1 to PERTRB.NPLANET, Newtonian point
// masses, with each body's direct term and its indirect term (its pull on
// the Sun). The only code that reads the perturber records (PERTRB, and
// PLNSRC.IMEAN for the source of the bodies): Encke's deviation
// acceleration takes its bodies from perturbers_at below.
//
// Gaussian units: positions in AU, the time variable k t (k = GAUSSK), the
// Sun's GM = SUNMU = 1, a body's GM = its MASS in solar masses. The bodies
// are taken at T, a Julian date: from the JPL file through PLEPHX, or with
// IMEAN = 1 from the mean elements PEL through ELEM2XV.
#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "types.h"

// The signature of an acceleration: S^2 times the acceleration in Gaussian
// units at the heliocentric position (x, y, z) AU, equatorial J2000, with
// the bodies at date T. S = 1 gives the acceleration itself; S = HK, the step
// in the Gaussian time variable, the position change per step squared.
using Acceleration = void(double x, double y, double z, double S, double& ax, double& ay,
                          double& az, JulianDate T);

// What the integrators take: the force model by default, the Sun alone or any
// other field in tests.
using AccelerationFn = std::function<Acceleration>;

// Bodies 2 to NPLANET (Mercury is left out). Serves the Cowell integrator,
// every RK7 step (through DERIV) and the first-step estimate of RKD.
void FORCE(double x, double y, double z, double S, double& ax, double& ay, double& az,
           JulianDate T);

// Bodies 1 to NPLANET (Mercury included). Serves the RKD steps.
void FORCE1(double x, double y, double z, double S, double& ax, double& ay, double& az,
            JulianDate T);

// The first-order form: DY = (velocity of Y, acceleration of `force` at the
// position of Y, S = 1, date T). Y and DY are x, y, z, vx, vy, vz.
void DERIV(const std::array<double, 6>& Y, std::array<double, 6>& DY, JulianDate T,
           const AccelerationFn& force = FORCE);

// One perturbing body at a date: heliocentric position (AU, equatorial
// J2000) and mass (solar masses, its GM in Gaussian units).
struct Perturber {
  double x = 0, y = 0, z = 0;
  double mass = 0;
};

// The perturbing bodies of PlanetIndex `first` to PERTRB.NPLANET at T, in
// that order: from PEL through ELEM2XV when PLNSRC.IMEAN is 1, else from
// PLEPHX (index 3 the Earth-Moon barycentre unless NPLANET is 10), each
// with its MASS. Returns false, with `count` 0, when PLEPHX has just
// switched the run to mean planets (on the first request of the date): the
// caller asks again, now served by the mean path with NPLANET at most 8, or
// leaves the bodies out, as its method says.
struct Perturbers {
  std::array<Perturber, 10> body{};
  std::int32_t count = 0;
};
bool perturbers_at(std::int32_t first, JulianDate T, Perturbers& out);

// Writes that the object is at the centre of the Sun or of a perturbing body
// on JD T and that the integration cannot go on (two lines), and throws
// ProgramStop, the program's own stop (exit status 5): a zero distance
// would give not-a-number places.
[[noreturn]] void zero_distance_stop(JulianDate T);

// The Sun alone (no perturbing body): -S^2 r / |r|^3. For tests and for
// callers that want the two-body field through the integrators' interface.
void sun_only(double x, double y, double z, double S, double& ax, double& ay, double& az,
              JulianDate T);
