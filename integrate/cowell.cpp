#include "cowell.h"

#include "astcon.h"
#include "celem.h"
#include "multistep.h"
#include "records.h"
#include "rk.h"

namespace {

constexpr std::string_view kMethod = "COWELL";

Vec3 scaled_force(const AccelerationFn& force, const Vec3& r, double HK, JulianDate T) {
  Vec3 a{};
  force(r[0], r[1], r[2], HK, a[0], a[1], a[2], T);
  return a;
}

}  // namespace

void COWLS(const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
           JulianDate& TOUT, ListingSink& sink, const AccelerationFn& force) {
  check_multistep_start(kMethod, T0, H, TOUT);
  check_step_count(kMethod, T0, H, NPOS, TOUT);
  const StateVector start = s0;  // s0 and s may be one object
  const double HK = ASTCON::GAUSSK * H;
  constexpr int ND = SummedMultistep::ND;

  CELEM(T0);
  std::array<Vec3, ND + 1> acc{};
  acc[0] = scaled_force(force, {start.x, start.y, start.z}, HK, T0);

  // Start-up against the direction of integration: acc[I] at T0 - I H.
  StateVector w = start;
  for (int I = 1; I <= ND; ++I) {
    const JulianDate T = I * (-H) + T0;
    RK7(w, T - (-H), T, force);
    acc[I] = scaled_force(force, {w.x, w.y, w.z}, HK, T);
  }

  SummedMultistep ms;
  ms.start(HK, acc, {start.x, start.y, start.z}, {start.vx, start.vy, start.vz});

  double elapsed = 0;
  std::int32_t COUNT = 1;
  bool filling = true;  // until the listing's fill ends early
  for (;;) {
    // The step time is the start plus the running sum of the steps.
    elapsed = elapsed + H;
    const JulianDate T = T0 + elapsed;
    CELEM(T);

    const Vec3 FP = scaled_force(force, ms.predict(), HK, T);
    const Vec3 X = ms.correct(FP);
    s.x = X[0];
    s.y = X[1];
    s.z = X[2];
    ms.accept(FP, scaled_force(force, X, HK, T));

    const bool output = H > 0 ? T + 0.001 >= TOUT : T - 0.001 <= TOUT;
    if (!output) continue;

    const Vec3 V = ms.velocity();
    s.vx = V[0];
    s.vy = V[1];
    s.vz = V[2];
    if (output_step(kMethod, s, T, H, NPOS, TOUT, COUNT, filling, sink)) return;
  }
}
