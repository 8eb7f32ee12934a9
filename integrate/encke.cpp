#include "encke.h"

#include <cmath>

#include "astcon.h"
#include "celem.h"
#include "elements.h"
#include "kepler.h"
#include "multistep.h"
#include "records.h"
#include "rk.h"
#include "stop.h"
#include "textio.h"

namespace {

constexpr std::string_view kMethod = "ENCKE";
Vec3 deviation_force(const DeviationFn& rhs, const StateVector& ref, const Vec3& d, double HK,
                     JulianDate T) {
  Vec3 a{};
  rhs(ref.x, ref.y, ref.z, d[0], d[1], d[2], HK, T, a[0], a[1], a[2]);
  return a;
}

}  // namespace

void RHS(double XR, double YR, double ZR, double DX, double DY, double DZ, double S, JulianDate T,
         double& AX, double& AY, double& AZ) {
  const double SS = S * S;
  const double rho = std::sqrt(XR * XR + YR * YR + ZR * ZR);
  const double rho3 = rho * rho * rho;
  if (rho3 == 0.0) zero_distance_stop(T);
  // 1 + 2q is the ratio of the squared distances of the object and of the
  // reference point from the Sun.
  const double q = ((DX / 2 + XR) * DX + (DY / 2 + YR) * DY + (DZ / 2 + ZR) * DZ) / (rho * rho);
  if (1 + 2 * q <= 0.0) zero_distance_stop(T);
  const double f = q == 0.0 ? 3.0 : (1 - std::pow(1 + 2 * q, -1.5)) / q;  // 3 is the limit at 0
  const double px = DX + XR, py = DY + YR, pz = DZ + ZR;
  const double c = SS * ASTCON::SUNMU / rho3;
  AX = c * (f * q * px - DX);
  AY = c * (f * q * py - DY);
  AZ = c * (f * q * pz - DZ);

  Perturbers bodies;
  if (!perturbers_at(1, T, bodies)) {
    // The run has switched to mean planets; this evaluation keeps the
    // two-body term alone and the next ones take the mean path.
    say({"Error return from plephx"});
    return;
  }
  // Each body's direct term joins the running sum before its indirect term
  // is taken off, where the force model adds the two first (FORCE): the
  // order of Encke's own formulation, kept so that its results stay the
  // same to the bit.
  double sx = 0, sy = 0, sz = 0;
  for (std::int32_t k = 0; k < bodies.count; ++k) {
    const Perturber& b = bodies.body[static_cast<std::size_t>(k)];
    const double bx = b.x, by = b.y, bz = b.z;
    const double dx = bx - px, dy = by - py, dz = bz - pz;
    const double d2 = dx * dx + dy * dy + dz * dz;
    const double d3 = std::sqrt(d2 * d2 * d2);
    const double p2 = bx * bx + by * by + bz * bz;
    const double p3 = std::sqrt(p2 * p2 * p2);
    if (d3 == 0.0 || p3 == 0.0) zero_distance_stop(T);
    const double C1 = SS * b.mass / d3;
    const double C2 = SS * b.mass / p3;
    sx = (dx * C1 + sx) - C2 * bx;
    sy = (dy * C1 + sy) - C2 * by;
    sz = (dz * C1 + sz) - C2 * bz;
  }
  AX = sx + AX;
  AY = sy + AY;
  AZ = sz + AZ;
}

void ENCKE(const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
           JulianDate& TOUT, ListingSink& sink, const AccelerationFn& force,
           const DeviationFn& rhs) {
  check_multistep_start(kMethod, T0, H, TOUT);
  check_step_count(kMethod, T0, H, NPOS, TOUT);
  const StateVector start = s0;  // the reference orbit's state; s0 and s may be one object
  const double HK = ASTCON::GAUSSK * H;
  constexpr int ND = SummedMultistep::ND;

  CELEM(T0);
  // At T0 the deviation is zero: only the planetary terms contribute.
  std::array<Vec3, ND + 1> acc{};
  acc[0] = deviation_force(rhs, start, {0, 0, 0}, HK, T0);

  // Start-up against the direction of integration, the full motion under
  // `force`, its deviation from the reference orbit at each step time.
  StateVector w = start;
  StateVector ref;
  for (int I = 1; I <= ND; ++I) {
    const JulianDate T = I * (-H) + T0;
    if (OBJECT.ICOMET == 1)
      SEL_ORB(start, T0, ref, T, OBJECT.ICOMET);
    else
      KEPLER(start, T0, ref, T);
    RK7(w, T - (-H), T, force);
    acc[I] = deviation_force(rhs, ref, {w.x - ref.x, w.y - ref.y, w.z - ref.z}, HK, T);
  }

  SummedMultistep ms;
  ms.start(HK, acc, {0, 0, 0}, {0, 0, 0});

  double elapsed = 0;
  std::int32_t COUNT = 1;
  bool filling = true;  // until the listing's fill ends early
  for (;;) {
    elapsed = elapsed + H;
    const JulianDate T = T0 + elapsed;
    CELEM(T);
    KEPLER(start, T0, ref, T);  // the steps always take KEPLER, whatever the form

    const Vec3 FP = deviation_force(rhs, ref, ms.predict(), HK, T);
    const Vec3 D = ms.correct(FP);
    ms.accept(FP, deviation_force(rhs, ref, D, HK, T));

    const bool output = H > 0 ? T + 0.001 >= TOUT : T - 0.001 <= TOUT;
    if (!output) continue;

    // The reference state of this step is the one an output step needs (a
    // second propagation to T would give the same values).
    const Vec3 V = ms.velocity();
    s.x = ref.x + D[0];
    s.y = ref.y + D[1];
    s.z = ref.z + D[2];
    s.vx = ref.vx + V[0];
    s.vy = ref.vy + V[1];
    s.vz = ref.vz + V[2];
    if (output_step(kMethod, s, T, H, NPOS, TOUT, COUNT, filling, sink)) return;
  }
}
