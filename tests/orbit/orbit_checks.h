// Helpers shared by the two-body tests: catching a program stop with the
// line it wrote, and distances between state vectors.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "console_script.h"
#include "stop.h"
#include "stop_checks.h"
#include "textio.h"
#include "types.h"

namespace orbit_checks {

// What a call wrote to the console, byte for byte, and whether it ended with
// the program's own stop.
struct Captured {
  bool stopped = false;
  StopKind kind{};  // of the stop, when stopped
  std::string out;
};

inline Captured capture(const std::function<void()>& call) {
  ConsoleScript con;
  Captured c;
  try {
    call();
  } catch (const ProgramStop& stop) {
    c.stopped = true;
    c.kind = stop.kind();
  }
  c.out = con.output();
  return c;
}

// Runs `call`, which must end with the program's own stop of a two-body
// solution that does not converge (exit status 4); returns what it wrote to
// the console. Fails the test when the call returns or stops otherwise.
inline std::string stop_output(const std::function<void()>& call) {
  const Captured c = capture(call);
  EXPECT_TRUE(c.stopped) << "the call returned instead of stopping";
  if (c.stopped) {
    EXPECT_EQ(c.kind, StopKind::TwoBody);
  }
  return c.out;
}

inline const std::string kKeplerStop = " Kepler equation solution failed in 20 iterations\r\n";
inline const std::string kParabolaStop = " No convergence for near parabolic approximation\r\n";

inline double radius(const StateVector& s) {
  return std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
}
inline double speed(const StateVector& s) {
  return std::sqrt(s.vx * s.vx + s.vy * s.vy + s.vz * s.vz);
}
inline double position_gap(const StateVector& a, const StateVector& b) {
  return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline double velocity_gap(const StateVector& a, const StateVector& b) {
  return std::hypot(a.vx - b.vx, a.vy - b.vy, a.vz - b.vz);
}

// Difference of two angles (radians) brought into [-pi, pi].
inline double angle_gap(double a, double b) {
  return std::remainder(a - b, 2.0 * M_PI);
}

}  // namespace orbit_checks
