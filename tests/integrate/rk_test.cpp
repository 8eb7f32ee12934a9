// The single Runge-Kutta steps under the Sun alone, against KEPLER: their
// order (halving the step over a fixed span), a step there and back, and a
// step of zero length.
#include "rk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

#include "elements.h"
#include "integration_checks.h"
#include "kepler.h"
#include "records.h"
#include "state_checks.h"

namespace {

using namespace integration_checks;

using Step = void (*)(StateVector&, JulianDate, JulianDate, const AccelerationFn&);

// n equal steps from t0 to t1 under the Sun alone; the position error
// against KEPLER.
double error_of(Step step, const StateVector& s0, JulianDate t0, JulianDate t1, int n) {
  StateVector s = s0;
  for (int k = 0; k < n; ++k) {
    const JulianDate ta = t0 + (t1 - t0) * k / n, tb = t0 + (t1 - t0) * (k + 1) / n;
    step(s, ta, tb, sun_only);
  }
  StateVector want;
  KEPLER(s0, t0, want, t1);
  return distance(s, want);
}

struct OrderCase {
  const char* name;
  Step step;
  const ElementSet* el;
  std::int32_t form;
  JulianDate t0, t1;  // the span, crossed in n and then 2n steps
  int n;
  double ratio;    // error(n) / error(2n): 2^order
  double max_err;  // AU, for n steps
};

void PrintTo(const OrderCase& c, std::ostream* os) {
  *os << c.name;
}

class RungeKuttaOrder : public testing::TestWithParam<OrderCase> {
 protected:
  void SetUp() override { reset_records(); }
};

TEST_P(RungeKuttaOrder, HalvingTheStepCutsTheErrorByTheOrder) {
  const OrderCase& c = GetParam();
  const StateVector s0 = at(*c.el, c.form, c.t0);
  const double e1 = error_of(c.step, s0, c.t0, c.t1, c.n);
  const double e2 = error_of(c.step, s0, c.t0, c.t1, 2 * c.n);
  EXPECT_LT(e1, c.max_err);
  EXPECT_NEAR(e1 / e2, c.ratio, 0.25 * c.ratio) << e1 << " then " << e2;
  RecordProperty("ratio", std::to_string(e1 / e2));
}

INSTANTIATE_TEST_SUITE_P(
    SunAlone, RungeKuttaOrder,
    testing::Values(
        // RK7: 40 steps of 20 days, about half a revolution of the main belt
        OrderCase{"Rk7MainBelt", RK7, &kMainBelt, 0, kT0, kT0 + 800, 40, 64, 1e-7},
        // ... and backwards through the comet's perihelion, 0.5 day steps
        OrderCase{"Rk7CometBackwards", RK7, &kComet, 1, kT0 + 10, kT0 - 10, 40, 64, 1e-7},
        OrderCase{"Rk4MainBelt", RK4, &kMainBelt, 0, kT0, kT0 + 800, 80, 16, 1e-6},
        OrderCase{"Rk4Comet", RK4, &kComet, 1, kT0 - 10, kT0 + 10, 80, 16, 1e-5}),
    [](const testing::TestParamInfo<OrderCase>& i) { return std::string(i.param.name); });

// Over many steps both orbits stay on KEPLER's: 200 steps of 10 days (5.5
// years) of the main belt, and the comet 40 days either side of perihelion in
// 0.1 day steps.
TEST(RungeKutta7, FollowsKeplerOverManySteps) {
  reset_records();
  EXPECT_LT(error_of(RK7, at(kMainBelt, 0, kT0), kT0, kT0 + 2000, 200), 2e-9);
  EXPECT_LT(error_of(RK7, at(kComet, 1, kT0 - 40), kT0 - 40, kT0 + 40, 800), 1e-10);
}

TEST(RungeKutta7, StepThereAndBackReturnsTheStart) {
  reset_records();
  for (const double h : {10.0, -10.0}) {
    const StateVector s0 = at(kMainBelt, 0, kT0);
    StateVector s = s0;
    RK7(s, kT0, kT0 + h, sun_only);
    RK7(s, kT0 + h, kT0, sun_only);
    EXPECT_LT(distance(s, s0), 1e-12) << "h = " << h;
    EXPECT_LT(std::hypot(s.vx - s0.vx, s.vy - s0.vy, s.vz - s0.vz), 1e-12) << "h = " << h;
  }
}

// A step of zero length changes nothing, yet evaluates the field seven
// times (four for RK4).
TEST(RungeKutta7, ZeroStepLeavesTheStateAndEvaluatesSevenTimes) {
  reset_records();
  const StateVector s0 = at(kMainBelt, 0, kT0);
  for (const auto& [step, evaluations] : {std::pair<Step, int>{RK7, 7}, {RK4, 4}}) {
    int calls = 0;
    const AccelerationFn counted = [&](double x, double y, double z, double S, double& ax,
                                       double& ay, double& az, JulianDate T) {
      ++calls;
      sun_only(x, y, z, S, ax, ay, az, T);
    };
    StateVector s = s0;
    step(s, kT0, kT0, counted);
    EXPECT_EQ(calls, evaluations);
    testing_support::expect_same_state(s, s0, "evaluations " + std::to_string(evaluations));
  }
}

}  // namespace
