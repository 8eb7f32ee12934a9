#include "force.h"

#include <cmath>
#include <cstdint>

#include "astcon.h"
#include "elements.h"
#include "plephx.h"
#include "records.h"
#include "stop.h"
#include "textio.h"

namespace {

constexpr BodyNumber kSun = 11, kEarthMoonBarycentre = 13;

// The Sun's term: -S^2 SUNMU r / |r|^3, the cube formed from the root.
void sun_term(double x, double y, double z, double s2, double& ax, double& ay, double& az,
              JulianDate T) {
  const double R = std::sqrt(x * x + y * y + z * z);
  const double R3 = R * R * R;
  if (R3 == 0.0) zero_distance_stop(T);
  ax = -(ASTCON::SUNMU * x / R3 * s2);
  ay = -(ASTCON::SUNMU * y / R3 * s2);
  az = -(ASTCON::SUNMU * z / R3 * s2);
}

// FORCE and FORCE1 differ only in the first body of the loop.
void acceleration(std::int32_t first, double x, double y, double z, double S, double& ax,
                  double& ay, double& az, JulianDate T) {
  const double s2 = S * S;
  sun_term(x, y, z, s2, ax, ay, az, T);

  // Switched to mean planets on the first request of this date: ask again,
  // now from the mean path with the new NPLANET.
  Perturbers bodies;
  if (!perturbers_at(first, T, bodies)) perturbers_at(first, T, bodies);

  // The perturbations are summed apart and added to the Sun term at the end.
  // Each body adds its direct and indirect terms together (contrast RHS in
  // encke.cpp).
  double sx = 0, sy = 0, sz = 0;
  for (std::int32_t k = 0; k < bodies.count; ++k) {
    const Perturber& b = bodies.body[static_cast<std::size_t>(k)];
    const double px = b.x, py = b.y, pz = b.z;
    const double dx = px - x, dy = py - y, dz = pz - z;
    const double D2 = dx * dx + dy * dy + dz * dz;
    const double D3 = std::sqrt(D2 * D2 * D2);
    const double P2 = px * px + py * py + pz * pz;
    const double P3 = std::sqrt(P2 * P2 * P2);
    if (D3 == 0.0 || P3 == 0.0) zero_distance_stop(T);
    const double c1 = s2 * b.mass / D3;
    const double c2 = s2 * b.mass / P3;
    sx += dx * c1 - c2 * px;
    sy += dy * c1 - c2 * py;
    sz += dz * c1 - c2 * pz;
  }
  ax += sx;
  ay += sy;
  az += sz;
}

}  // namespace

[[noreturn]] void zero_distance_stop(JulianDate T) {
  say({"The object is at the Sun or at a perturbing body on JD", T});
  say({"The integration cannot go on."});
  throw ProgramStop(StopKind::Integration);
}

bool perturbers_at(std::int32_t first, JulianDate T, Perturbers& out) {
  out.count = 0;
  for (std::int32_t j = first; j <= PERTRB.NPLANET; ++j) {
    Perturber& b = out.body.at(static_cast<std::size_t>(out.count));
    if (PLNSRC.IMEAN == 1) {
      StateVector p;
      ELEM2XV(PERTRB.PEL(j), T, 0, p);
      b = {p.x, p.y, p.z, PERTRB.MASS(j)};
    } else {
      // Index 3 is the Earth-Moon barycentre unless the Moon is a body of
      // its own.
      const BodyNumber target = (j == 3 && PERTRB.NPLANET < 10) ? kEarthMoonBarycentre : j;
      BodyState rrd{};
      if (PLEPHX(T, target, kSun, rrd) == 1) {
        out.count = 0;
        return false;
      }
      b = {rrd[0], rrd[1], rrd[2], PERTRB.MASS(j)};
    }
    ++out.count;
  }
  return true;
}

void FORCE(double x, double y, double z, double S, double& ax, double& ay, double& az,
           JulianDate T) {
  acceleration(2, x, y, z, S, ax, ay, az, T);
}

void FORCE1(double x, double y, double z, double S, double& ax, double& ay, double& az,
            JulianDate T) {
  acceleration(1, x, y, z, S, ax, ay, az, T);
}

void sun_only(double x, double y, double z, double S, double& ax, double& ay, double& az,
              JulianDate T) {
  sun_term(x, y, z, S * S, ax, ay, az, T);
}

void DERIV(const std::array<double, 6>& Y, std::array<double, 6>& DY, JulianDate T,
           const AccelerationFn& force) {
  DY[0] = Y[3];
  DY[1] = Y[4];
  DY[2] = Y[5];
  force(Y[0], Y[1], Y[2], 1.0, DY[3], DY[4], DY[5], T);
}
