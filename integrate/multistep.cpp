#include "multistep.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "astcon.h"
#include "listing_fill.h"
#include "records.h"
#include "stop.h"
#include "textio.h"

void SummedMultistep::start(double HK, const std::array<Vec3, ND + 1>& acc, const Vec3& x0,
                            const Vec3& v0) {
  HK_ = HK;
  ACC0_ = acc[0];
  for (int k = 0; k < 3; ++k) {
    // First differences, then each higher order from the one below, so that
    // DIFF(j) is the j-th backward difference of acc[0], acc[1], ... at acc[0].
    for (int I = 1; I <= ND; ++I) {
      const int J = ND - I;
      DIFF_[J + 1][k] = acc[J][k] - acc[J + 1][k];
    }
    for (int K = 2; K <= ND; ++K)
      for (int I = K; I <= ND; ++I) {
        const int L = ND + K - I;
        DIFF_[L][k] = DIFF_[L - 1][k] - DIFF_[L][k];
      }
  }
  COEFF(ND, SC_, AD_);
  // The sums for which the velocity formula and the corrector taken at T0
  // give back v0 and x0.
  for (int k = 0; k < 3; ++k) {
    double s1 = HK * v0[k] - AD_[1][1] * ACC0_[k];
    for (int j = 1; j <= ND; ++j) s1 = s1 - AD_[1][j + 1] * DIFF_[j][k];
    double P = x0[k] - SC_[1][2] * ACC0_[k];
    for (int j = 1; j <= ND; ++j) P = P - SC_[1][j + 2] * DIFF_[j][k];
    SUM1_[k] = s1;
    SUM2_[k] = s1 + P;
  }
}

Vec3 SummedMultistep::predict() const {
  Vec3 x{};
  for (int k = 0; k < 3; ++k) {
    double v = SC_[0][2] * ACC0_[k] + SUM2_[k];
    for (int j = 1; j <= ND; ++j) v = v + SC_[0][j + 2] * DIFF_[j][k];
    x[k] = v;
  }
  return x;
}

Vec3 SummedMultistep::correct(const Vec3& FP) {
  Vec3 x{};
  for (int k = 0; k < 3; ++k) {
    SUM1_[k] = SUM1_[k] + FP[k];
    // The differences at the new step, built with FP; the oldest eighth
    // difference drops out.
    DIFF_[0][k] = FP[k] - ACC0_[k];
    for (int I = 1; I <= ND - 1; ++I) DIFF_[I][k] = DIFF_[I - 1][k] - DIFF_[I][k];
    for (int I = 1; I <= ND; ++I) {
      const int J = ND - I;
      DIFF_[J + 1][k] = DIFF_[J][k];
    }
    double v = FP[k] * SC_[1][2] + SUM2_[k];
    for (int j = 1; j <= ND; ++j) v = v + SC_[1][j + 2] * DIFF_[j][k];
    x[k] = v;
  }
  return x;
}

void SummedMultistep::accept(const Vec3& FP, const Vec3& A) {
  for (int k = 0; k < 3; ++k) {
    ACC0_[k] = A[k];
    const double E = A[k] - FP[k];
    SUM1_[k] = SUM1_[k] + E;
    SUM2_[k] = SUM2_[k] + SUM1_[k];
    for (int j = 1; j <= ND; ++j) DIFF_[j][k] = DIFF_[j][k] + E;
  }
}

Vec3 SummedMultistep::velocity() const {
  Vec3 v{};
  for (int k = 0; k < 3; ++k) {
    double s = AD_[1][1] * ACC0_[k] + SUM1_[k];
    for (int j = 1; j <= ND; ++j) s = s + AD_[1][j + 1] * DIFF_[j][k];
    v[k] = s / HK_;
  }
  return v;
}

Vec3 SummedMultistep::position() const {
  // SUM2 less SUM1 is the second sum one step back, the one the corrector
  // of this step used.
  Vec3 x{};
  for (int k = 0; k < 3; ++k) {
    double v = ACC0_[k] * SC_[1][2] + (SUM2_[k] - SUM1_[k]);
    for (int j = 1; j <= ND; ++j) v = v + SC_[1][j + 2] * DIFF_[j][k];
    x[k] = v;
  }
  return x;
}

namespace {

// The program's own stop of an integration that cannot go on: the line
// saying why, and a second saying so.
[[noreturn]] void stop_run(std::initializer_list<FreeValue> line) {
  say(line);
  say({"The integration cannot go on."});
  throw ProgramStop(StopKind::Integration);
}

}  // namespace

void check_multistep_start(std::string_view method, JulianDate T0, double H, JulianDate TOUT) {
  const std::string m(method);
  const double HK = ASTCON::GAUSSK * H;
  // A zero step leaves the step time where it is, and the velocity formula
  // divides by HK.
  if (std::isnan(H) || std::isinf(H))
    stop_run({"The " + m + " method has no number for its step DEL."});
  if (!std::isfinite(HK) || HK == 0.0)
    stop_run({"The " + m + " method cannot advance with a step DEL of 0 days."});
  if (!std::isfinite(T0) || !std::isfinite(TOUT))
    stop_run({"The " + m + " integration has no date to start from or to reach."});
}

void check_step_count(std::string_view method, JulianDate T0, double H, std::int32_t NPOS,
                      JulianDate TOUT) {
  JulianDate target = TOUT;
  if (H > 0 && NPOS >= 0 && NPOS < kGridSize) target = std::max(TOUT, POSNS.TJD(NPOS + 1));
  const double needed = (target - T0) / H;
  if (!(needed <= kMaxMultistepSteps))
    stop_run(
        {"The " + std::string(method) + " integration would need more than 2147483647 steps."});
}

void check_finite_state(std::string_view method, const StateVector& s, JulianDate T) {
  if (!is_finite(s))
    stop_run({"The " + std::string(method) + " integration has lost its orbit on JD ", T});
}

void check_listing_reachable(std::string_view method, JulianDate T, double H, std::int32_t COUNT) {
  const std::string m(method);
  if (COUNT < 1 || COUNT > kGridSize)
    stop_run({"The " + m + " integration has run past the end of the listing grid."});
  const JulianDate t = POSNS.TJD(COUNT);
  if (T - t >= H) {
    // Every later step lies further from that date than this one.
    say({"The " + m + " integration cannot reach the listed time JD", t});
    say({"It lies a step or more behind; the integration cannot go on."});
    throw ProgramStop(StopKind::Integration);
  }
}

bool output_step(std::string_view method, const StateVector& s, JulianDate T, double H,
                 std::int32_t NPOS, JulianDate& TOUT, std::int32_t& COUNT, bool& filling,
                 ListingSink& sink) {
  TOUT = T;
  check_finite_state(method, s, T);
  if (H < 0) return true;  // the backward leg ends at its first output step

  // A listing of no lines has no listed time to save an orbit for.
  const bool files = NPOS >= 0;
  if (files && COUNT == 1 && !FILES.STFILE.blank()) sink.save(s, T, FILES.STFILE);
  const bool end_file = files && !FILES.ENDFIL.blank();
  hand_over_step(sink, s, T, H, COUNT, filling, end_file);
  if (COUNT > std::int64_t{NPOS} + 1) {
    if (end_file) sink.save(s, T, FILES.ENDFIL);
    return true;
  }
  check_listing_reachable(method, T, H, COUNT);
  return false;
}
