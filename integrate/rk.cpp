#include "rk.h"

#include <array>

#include "astcon.h"

namespace {

using Vec6 = std::array<double, 6>;

Vec6 to_vec(const StateVector& s) {
  return {s.x, s.y, s.z, s.vx, s.vy, s.vz};
}

StateVector to_state(const Vec6& v) {
  return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

// K = hk * DERIV(y, t).
Vec6 stage(const Vec6& y, JulianDate t, double hk, const AccelerationFn& force) {
  Vec6 dy{};
  DERIV(y, dy, t, force);
  for (double& v : dy) v *= hk;
  return dy;
}

}  // namespace

void RK7(StateVector& s, JulianDate T0, JulianDate T1, const AccelerationFn& force) {
  const double h = T1 - T0;
  const double hk = h * ASTCON::GAUSSK;
  const Vec6 y = to_vec(s);
  Vec6 w{};

  // Each coefficient is a multiplication and a division by small integers,
  // as Butcher's table gives them (the 1/2 of stage 6 a multiplication).
  const Vec6 k1 = stage(y, T0, hk, force);
  for (int i = 0; i < 6; ++i) w[i] = y[i] + k1[i] / 3;
  const Vec6 k2 = stage(w, T0 + h / 3, hk, force);
  for (int i = 0; i < 6; ++i) w[i] = y[i] + 2 * k2[i] / 3;
  const Vec6 k3 = stage(w, T0 + (2 * h) / 3, hk, force);
  for (int i = 0; i < 6; ++i) w[i] = y[i] + k1[i] / 12 + k2[i] / 3 - k3[i] / 12;
  const Vec6 k4 = stage(w, T0 + h / 3, hk, force);
  for (int i = 0; i < 6; ++i)
    w[i] = y[i] - k1[i] / 16 + 9 * k2[i] / 8 - 3 * k3[i] / 16 - 3 * k4[i] / 8;
  const Vec6 k5 = stage(w, T0 + h / 2, hk, force);
  for (int i = 0; i < 6; ++i)
    w[i] = y[i] + 9 * k2[i] / 8 - 3 * k3[i] / 8 - 3 * k4[i] / 4 + k5[i] * 0.5;
  const Vec6 k6 = stage(w, T0 + h / 2, hk, force);
  for (int i = 0; i < 6; ++i)
    w[i] = y[i] + 9 * k1[i] / 44 - 9 * k2[i] / 11 + 63 * k3[i] / 44 + 18 * k4[i] / 11 -
           16 * k6[i] / 11;
  const Vec6 k7 = stage(w, T0 + h, hk, force);

  Vec6 out{};
  for (int i = 0; i < 6; ++i)
    out[i] = y[i] + 11 * k1[i] / 120 + 27 * k3[i] / 40 + 27 * k4[i] / 40 - 4 * k5[i] / 15 -
             4 * k6[i] / 15 + 11 * k7[i] / 120;
  s = to_state(out);
}

void RK4(StateVector& s, JulianDate T0, JulianDate T1, const AccelerationFn& force) {
  const double h = T1 - T0;
  const double hk = h * ASTCON::GAUSSK;
  const Vec6 y = to_vec(s);
  Vec6 w{};
  const Vec6 k1 = stage(y, T0, hk, force);
  for (int i = 0; i < 6; ++i) w[i] = y[i] + k1[i] / 2;
  const Vec6 k2 = stage(w, T0 + h / 2, hk, force);
  for (int i = 0; i < 6; ++i) w[i] = y[i] + k2[i] / 2;
  const Vec6 k3 = stage(w, T0 + h / 2, hk, force);
  for (int i = 0; i < 6; ++i) w[i] = y[i] + k3[i];
  const Vec6 k4 = stage(w, T0 + h, hk, force);
  Vec6 out{};
  for (int i = 0; i < 6; ++i) out[i] = y[i] + (k1[i] + 2 * (k2[i] + k3[i]) + k4[i]) / 6;
  s = to_state(out);
}
