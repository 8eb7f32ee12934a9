#include "rkd.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "astcon.h"
#include "celem.h"
#include "listing_fill.h"
#include "records.h"
#include "rk.h"
#include "stop.h"
#include "textio.h"

namespace {

using Vec3 = std::array<double, 3>;

constexpr double kTolRkd = 1e-16;   // error tolerance of RKD
constexpr double kTolRkdx = 1e-16;  // RKDX holds its own
constexpr double kSafety = 0.9;
constexpr double kExponent = 0.14285714285714285;  // 1/7 as held
constexpr double kErrWeight = 0.05;

// START_RKD: scale of positions and accelerations, thresholds and limits.
constexpr double kSK = 1e-5;
constexpr double kSmallNorm = 1e-10;
constexpr double kFallbackStep = 1e-6;
constexpr double kFraction = 0.01;
constexpr double kSmallDerivative = 1e-15;
constexpr double kFallbackFraction = 0.001;
constexpr double kGrowthLimit = 100;

// Numerators of the Lobatto nodes (7 -/+ sqrt 21)/14 as held; the second
// lies one unit in the last place below the double nearest to 7 + sqrt 21.
constexpr double kNode6 = 2.41742430504416;
constexpr double kNode7 = 11.582575694955839;

// Coupling coefficients of stages 6 to 8 as held.
constexpr double a61 = 0.005148362693071982, a62 = 0.011536353484009276,
                 a63 = -0.002205603110364904, a64 = 0.0005511400022442294,
                 a65 = -0.00012224217452627505;
constexpr double a71 = 0.13362015346264514, a72 = -0.2343490628395866, a73 = 1.258674740070163,
                 a74 = -0.4229500390438942, a75 = 0.28260903907028684, a76 = -0.6753699844711915;
constexpr double a81 = -0.37897426697125, a82 = 0.876391080902251, a83 = -7.105326676886944,
                 a84 = 2.1355458417119304, a85 = -0.649094783099141, a86 = 5.540292967251234,
                 a87 = 0.08116583709192003;
// Position weights 6 and 7, (49 +/- 7 sqrt 21)/360 as held (the first one
// unit in the last place below the nearest double).
constexpr double b6 = 0.22521674962414132, b7 = 0.04700547259808089;

// The nine-stage Runge-Kutta-Nystrom step shared by RKD and RKDX.
void rkn_step(StateVector& s, JulianDate T0, JulianDate T1, double& HNEXT,
              const AccelerationFn& force, double tol) {
  const Vec3 X0 = {s.x, s.y, s.z};
  OBJECT.VRKD = {s.vx, s.vy, s.vz};
  const std::array<double, 3>& V0 = OBJECT.VRKD;
  const double h = T1 - T0;
  const double HK = h * ASTCON::GAUSSK;
  const double HK2 = HK * HK;

  std::array<Vec3, 9> F{};
  Vec3 p{};
  const auto eval = [&](std::size_t k, JulianDate t) {
    force(p[0], p[1], p[2], 1.0, F[k][0], F[k][1], F[k][2], t);
  };

  p = X0;
  eval(0, T0);
  for (int i = 0; i < 3; ++i) p[i] = X0[i] + HK / 10 * V0[i] + (HK * HK) / 200 * F[0][i];
  eval(1, T0 + h / 10);
  for (int i = 0; i < 3; ++i) p[i] = X0[i] + HK / 5 * V0[i] + HK2 * (F[0][i] / 150 + F[1][i] / 75);
  eval(2, T0 + h / 5);
  for (int i = 0; i < 3; ++i)
    p[i] = X0[i] + (HK * 3) / 8 * V0[i] +
           HK2 * (171 * F[0][i] / 8192 + 45 * F[1][i] / 4096 + 315 * F[2][i] / 8192);
  eval(3, T0 + (h * 3) / 8);
  for (int i = 0; i < 3; ++i)
    p[i] = X0[i] + HK / 2 * V0[i] +
           HK2 * (5 * F[0][i] / 288 + 25 * F[1][i] / 528 + 25 * F[2][i] / 672 + 16 * F[3][i] / 693);
  eval(4, T0 + h / 2);
  for (int i = 0; i < 3; ++i)
    p[i] = X0[i] + (HK * kNode6) / 14 * V0[i] +
           HK2 * (a61 * F[0][i] + a62 * F[1][i] + a63 * F[2][i] + a64 * F[3][i] + a65 * F[4][i]);
  eval(5, T0 + (h * kNode6) / 14);
  for (int i = 0; i < 3; ++i)
    p[i] = X0[i] + (HK * kNode7) / 14 * V0[i] +
           HK2 * (a71 * F[0][i] + a72 * F[1][i] + a73 * F[2][i] + a74 * F[3][i] + a75 * F[4][i] +
                  a76 * F[5][i]);
  eval(6, T0 + (h * kNode7) / 14);
  for (int i = 0; i < 3; ++i)
    p[i] = X0[i] + HK * V0[i] +
           HK2 * (a81 * F[0][i] + a82 * F[1][i] + a83 * F[2][i] + a84 * F[3][i] + a85 * F[4][i] +
                  a86 * F[5][i] + a87 * F[6][i]);
  eval(7, T0 + h);
  // Stage 9 is taken at the new position itself.
  for (int i = 0; i < 3; ++i)
    p[i] =
        X0[i] + HK * V0[i] + HK2 * (F[0][i] / 20 + 8 * F[4][i] / 45 + b6 * F[5][i] + b7 * F[6][i]);
  eval(8, T0 + h);

  const Vec3 XN = p;
  Vec3 VN{}, XL{};
  double ERR = 0, D = 0;
  for (int i = 0; i < 3; ++i) {
    VN[i] = V0[i] + HK * (F[0][i] / 20 + 16 * F[4][i] / 45 + 49 * F[5][i] / 180 +
                          49 * F[6][i] / 180 + F[7][i] / 20);
    XL[i] = XN[i] + HK2 * (F[8][i] - F[7][i]) / 20;
    // XN - XL already holds HK^2 / 20: the error is HK^4 |F9 - F8| / 400,
    // the form that the tolerance was set for.
    ERR = std::max(ERR, kErrWeight * std::fabs(HK2 * (XN[i] - XL[i])));
    D = std::max(D, std::fabs(XN[i] - XL[i]));
  }
  s = {XN[0], XN[1], XN[2], VN[0], VN[1], VN[2]};
  // ERR is 0 when F9 = F8, or, far more often, when HK^2 (F9 - F8) / 20 is
  // below half a unit in the last place of XN, so that XL rounds to XN: the
  // two positions agree to their rounding and the estimate cannot say how
  // much longer the step could be. Proposing the same step again would keep
  // that length for good (a comet started at a perihelion of 0.01 AU, whose
  // first step is some 6e-5 day, would need ten million steps to a listing
  // two years on), so such a step proposes kRkdZeroErrorGrowth = 2 times
  // itself (a step of zero length still 0).
  // Why 2 is safe: F9 - F8 falls as h^5, so XN - XL as h^7 and ERR as h^9
  // (measured on comet and main-belt steps). The doubled step has XN - XL
  // below 2^7 times half a unit in the last place, under 64 units of the
  // position (1e-14 of it), and ERR below 2^9 times the floor 0.05 HK^2
  // ulp(XN) / 2: far below TOL for the short steps near the Sun, about
  // 2 TOL at most for 10-day steps at 3 AU. That step is kept like every
  // other, and its non-zero estimate sizes the next one as always. The
  // first non-zero estimates propose 4 to 125 times their step (measured),
  // so doubling is the cautious side of what follows; a larger factor, with
  // no step ever rejected, could keep an error of many times TOL, and a
  // smaller one only takes more steps to leave the zero estimates behind
  // (six doublings from the first step at a perihelion of 0.0055 AU).
  HNEXT = ERR == 0 ? kRkdZeroErrorGrowth * h
                   : kSafety * HK * std::pow(tol / ERR, kExponent) / ASTCON::GAUSSK;
  // ERR carries HK^2 beside the position difference D = max |XN - XL| (AU),
  // so TOL lets D grow as 1/h^2: 4e-14 AU (1.5e-14 of the distance) on a
  // 13-day main-belt step, 2e-8 AU on a step of 0.02 day, and near the Sun
  // or a planet every step is that short (a comet through a perihelion of
  // 0.01 AU came out 1e5 arcseconds off a year later). So D is also held to
  // kRkdShortStepTol = 5e-14 of the distance r from the Sun, the shorter
  // proposal taken. That bound is the tighter one only where 2e-15 / (HK^2 r)
  // exceeds 5e-14, on steps shorter than any of a main-belt run, the
  // shortest of which, START_RKD's first (7.6 days for Ceres at perihelion),
  // TOL holds to 4.6e-14: main-belt runs keep every step bit for bit. 1.3e-14
  // (a 13-day step's) would reach those first steps and move Ceres listings
  // by up to 0.25 arcsecond, of the size of the method's own error there.
  // Comets of q 0.005 to 0.3 AU, e 0.9 to 1.05 then keep within 0.23
  // arcsecond of the conic a year or two on, seen from the Sun, for 2.9
  // times the steps (1.3e-14: 0.03 arcsecond, 3.5 times). D falls as h^7:
  // the exponent 1/7 sizes the step in one go, and a D at the rounding floor
  // of the position (1e-16 of it) proposes some 2.3 times the step, where
  // ERR's floor proposed up to 125.
  if (D > 0) {
    const double r = std::hypot(XN[0], XN[1], XN[2]);
    const double bounded =
        kSafety * HK * std::pow(kRkdShortStepTol * r / D, kExponent) / ASTCON::GAUSSK;
    if (std::fabs(bounded) < std::fabs(HNEXT)) HNEXT = bounded;
  }
}

// The steps of one RKDINT run, with the guards that keep it from running
// without end.
class Stepper {
 public:
  explicit Stepper(const AccelerationFn& force) : force_(force) {}

  // One RKD step from T to Tb. A step cut short to land on a date may
  // propose a step as short as itself; only full steps are held to the
  // shortest step.
  void step(StateVector& s, JulianDate T, JulianDate Tb, double& HNEXT, bool cut_short = false) {
    if (++steps_ > kRkdMaxSteps) {
      say({"RKD integration stopped after 10000000 steps at JD", T});
      say({"The listed times lie too far from the epoch for this orbit."});
      throw ProgramStop(StopKind::Integration);
    }
    CELEM(T);
    RKD(s, T, Tb, HNEXT, force_);
    if (!is_finite(s) || !std::isfinite(HNEXT)) {
      say({"RKD integration stopped: the state is not a number after JD", T});
      throw ProgramStop(StopKind::Integration);
    }
    if (!cut_short && std::fabs(HNEXT) < kRkdMinStep) {
      say({"RKD integration stopped: the step has collapsed at JD", Tb});
      say({"The orbit comes too close to the Sun or to a perturbing body."});
      throw ProgramStop(StopKind::Integration);
    }
  }

  // The first step of a run, from T towards Tb, whose length (START_RKD's)
  // comes from no error estimate: taken again from T with its own proposal
  // HNEXT for as long as that proposal is shorter than kSafety times the
  // step, that is while the step's estimate lies above the tolerance; Tb
  // becomes the date reached. A comet 3 days before a perihelion of 0.01 AU
  // has a first step of 0.57 day with a position difference 175 times the
  // bound (30 days before: 5 days, 15 times), which, kept, put it 4.6
  // arcseconds off at its return a year later (0.46); main-belt first steps
  // propose longer ones and are kept as they always were.
  void first_step(StateVector& s, JulianDate T, JulianDate& Tb, double& HNEXT) {
    for (;;) {
      StateVector trial = s;
      step(trial, T, Tb, HNEXT);
      if (std::fabs(HNEXT) >= kSafety * std::fabs(Tb - T)) {
        s = trial;
        return;
      }
      Tb = T + HNEXT;
    }
  }

  // Carries s from T to the date `target` exactly, by steps of at most the
  // current proposal |HNEXT| (the last one cut short to land there);
  // HNEXT becomes the magnitude of the last full step's proposal.
  void carry_to(StateVector& s, JulianDate& T, JulianDate target, double& HNEXT) {
    double h = std::fabs(HNEXT);
    while (T != target) {
      const bool last = std::fabs(target - T) <= h;
      const JulianDate Tb = last ? target : (target < T ? T - h : T + h);
      double proposal = 0;
      step(s, T, Tb, proposal, last);
      if (!last) h = std::fabs(proposal);
      T = Tb;
    }
    HNEXT = h;
  }

  // A copy of the state s at T carried to the date `to` for an element
  // file; the integrated state is not touched. Within one step proposal h
  // of T, by one RK7 step under `force`. Farther (the end file of lines a
  // month or a year apart lies up to a line interval and two steps behind
  // the last step), by the integration's own steps of at most the current
  // proposal, Mercury included as in every RKD step: RK7 goes through
  // FORCE, which leaves Mercury out, and over a year that alone would move
  // the orbit by a tenth of an arcsecond.
  StateVector carried_copy(const StateVector& s, JulianDate T, JulianDate to, double h,
                           const AccelerationFn& force) {
    StateVector c = s;
    if (std::fabs(to - T) <= std::fabs(h)) {
      RK7(c, T, to, force);
    } else {
      JulianDate t = T;
      carry_to(c, t, to, h);
    }
    return c;
  }

 private:
  const AccelerationFn& force_;
  std::int64_t steps_ = 0;
};

}  // namespace

void START_RKD(double x, double y, double z, JulianDate T0, double HDIR, double& HOUT,
               const AccelerationFn& force) {
  if (HDIR == 0.0 || std::isnan(HDIR))
    throw std::invalid_argument("START_RKD: the direction must not be 0");
  CELEM(T0);
  const double sgn = HDIR / std::fabs(HDIR);
  const Vec3 r = {x, y, z};
  Vec3 F0{}, F1{};
  force(x, y, z, 1.0, F0[0], F0[1], F0[2], T0);
  double d0 = 0, d1 = 0;
  for (int i = 0; i < 3; ++i) {
    d0 += (r[i] / kSK) * (r[i] / kSK);
    d1 += (F0[i] / kSK) * (F0[i] / kSK);
  }
  double h0 =
      (d0 <= kSmallNorm || d1 <= kSmallNorm) ? kFallbackStep : kFraction * std::sqrt(d0 / d1);
  h0 *= sgn;
  // The trial position moves by the acceleration (not a velocity) times h0.
  Vec3 x1{};
  for (int i = 0; i < 3; ++i) x1[i] = r[i] + h0 * F0[i];
  force(x1[0], x1[1], x1[2], 1.0, F1[0], F1[1], F1[2], T0 + h0);
  double sum = 0;
  for (int i = 0; i < 3; ++i) sum += ((F1[i] - F0[i]) / kSK) * ((F1[i] - F0[i]) / kSK);
  const double d2 = std::sqrt(sum) / h0;
  const double der = std::max(std::fabs(d2), std::sqrt(d1));
  const double h1 = der <= kSmallDerivative
                        ? std::max(kFallbackStep, std::fabs(h0) * kFallbackFraction)
                        : std::pow(kFraction / der, kExponent);
  const double h = std::min(kGrowthLimit * std::fabs(h0), h1);
  HOUT = sgn * h / ASTCON::GAUSSK;
}

void RKD(StateVector& s, JulianDate T0, JulianDate T1, double& HNEXT, const AccelerationFn& force) {
  rkn_step(s, T0, T1, HNEXT, force, kTolRkd);
}

void RKDX(StateVector& s, JulianDate T0, JulianDate T1, double& HNEXT,
          const AccelerationFn& force) {
  rkn_step(s, T0, T1, HNEXT, force, kTolRkdx);
}

void RKDINT(const StateVector& s0, JulianDate T0, std::int32_t NPOS, double H, ListingSink& sink,
            const AccelerationFn& step_force, const AccelerationFn& carry_force) {
  // A listing of no lines has no listed time to integrate to: nothing is
  // integrated, filled or saved.
  if (H == 0.0 || NPOS < 0) return;
  if (!std::isfinite(H) || !is_finite(s0)) {
    say({"RKD integration stopped: the state is not a number at JD", T0});
    throw ProgramStop(StopKind::Integration);
  }
  Stepper stepper(step_force);
  StateVector s = s0;
  JulianDate T = T0, TNEW = T0 + H;
  double HNEXT = 0, HLAST = 0;
  std::int32_t COUNT = 1;
  const JulianDate first = POSNS.TJD(1);

  // Phase 1: towards the first listed time, in the direction of H, until
  // the next step would pass it. The first step is always taken: of length
  // H, or shorter when H was too long for it (first_step).
  stepper.first_step(s, T, TNEW, HNEXT);
  HLAST = TNEW - T;
  T = TNEW;
  TNEW = T + HNEXT;
  while (H > 0 ? TNEW < first : first - HLAST < T) {
    stepper.step(s, T, TNEW, HNEXT);
    HLAST = TNEW - T;
    T = TNEW;
    TNEW = T + HNEXT;
  }

  if (!FILES.STFILE.blank())
    sink.save(stepper.carried_copy(s, T, first, HNEXT, carry_force), first, FILES.STFILE);

  // Phase 2, forwards: the listing entries within the coming step are
  // filled from the state before it. The test comes before the fill, so one
  // more step follows the fill of the last entry. Should the fill end early
  // with an end file to save, the steps go on without filling to where a
  // complete listing ends (hand_over_step).
  HNEXT = std::fabs(HNEXT);
  TNEW = T + HNEXT;
  const std::int32_t last = std::min<std::int32_t>(NPOS + 1, kGridSize);
  const bool end_file = !FILES.ENDFIL.blank();
  bool filling = true;
  while (COUNT <= last) {
    // An entry a whole step or more behind T would never come into the
    // window of a forward step: carry the state back to it.
    if (T - POSNS.TJD(COUNT) >= HNEXT) {
      stepper.carry_to(s, T, POSNS.TJD(COUNT), HNEXT);
      TNEW = T + HNEXT;
    }
    hand_over_step(sink, s, T, HNEXT, COUNT, filling, end_file);
    stepper.step(s, T, TNEW, HNEXT);
    T = TNEW;
    TNEW = T + HNEXT;
  }

  // The end file belongs to the last listed line; with NPOS 0, to the first
  // listed time, the only one.
  if (end_file) {
    const JulianDate end = POSNS.TJD(std::clamp<std::int32_t>(NPOS, 1, kGridSize));
    sink.save(stepper.carried_copy(s, T, end, HNEXT, carry_force), end, FILES.ENDFIL);
  }
}
