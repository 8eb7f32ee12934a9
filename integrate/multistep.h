// The fixed-step multistep machinery that the Cowell and Encke integrators
// share: a Stormer predictor and a Cowell corrector for the position, an
// Adams-Moulton formula for the velocity, all in summed form with 8 backward
// differences, and the tests that keep a run from going on without end.
// Each test that fails writes two console lines and throws ProgramStop, the
// program's own stop (exit status 5), like a Kepler equation that does not
// converge (status 4): these are the limits of the method, not failures of
// input or output.
//
// Every quantity is per axis. Accelerations are scaled: HK^2 times the
// acceleration in Gaussian units (HK = GAUSSK times the step in days), so
// the position formulas give AU and the velocity formula HK times the
// velocity in AU per 1/k day.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "coeff.h"
#include "listing_sink.h"
#include "types.h"

using Vec3 = std::array<double, 3>;

class SummedMultistep {
 public:
  static constexpr int ND = 8;  // backward differences kept

  // Set-up at the start time T0. acc[i] is the scaled acceleration at
  // T0 - i H (i = 0 to 8); x0 and v0 the start position (AU) and velocity
  // (AU per 1/k day); HK the step in the Gaussian time variable. Builds the
  // difference table at T0, the coefficients and the start sums.
  void start(double HK, const std::array<Vec3, ND + 1>& acc, const Vec3& x0, const Vec3& v0);

  // The Stormer prediction of the position at the next step.
  Vec3 predict() const;

  // Takes the scaled acceleration FP at the predicted position into the
  // first sum and the differences, and returns the Cowell-corrected position.
  Vec3 correct(const Vec3& FP);

  // Takes the scaled acceleration A at the corrected position in place of
  // FP: the step is complete.
  void accept(const Vec3& FP, const Vec3& A);

  // The velocity at the current step (AU per 1/k day).
  Vec3 velocity() const;

  // The corrector formula applied at the current step itself, before the
  // next step: the current position. For tests of the start sums.
  Vec3 position() const;

 private:
  double HK_ = 0;
  CoeffTable SC_{}, AD_{};
  Vec3 ACC0_{};                      // scaled acceleration at the current step
  std::array<Vec3, ND + 3> DIFF_{};  // DIFF(1..8): backward differences
  Vec3 SUM1_{}, SUM2_{};             // first and second sums
};

// Ends the run with a message and ProgramStop when the step H (days)
// cannot advance an integration (0, not a number, infinite, or so small
// that GAUSSK H is 0), or when T0 or TOUT is not a number. `method` names
// the method in the message.
void check_multistep_start(std::string_view method, JulianDate T0, double H, JulianDate TOUT);

// The most steps one call of an integrator may take: some 70 minutes of
// force evaluations with ten bodies from the JPL file. A step of 0.0001 day
// over 98 years takes 360 million.
inline constexpr double kMaxMultistepSteps = 2147483647.0;

// Ends the run with a message and ProgramStop when the steps of H from T0
// to TOUT, and for H > 0 to the last listed date POSNS.TJD(NPOS + 1), are
// more than kMaxMultistepSteps: a step so small beside the span that the run
// would not end in any useful time (or never, once the step is lost in the
// rounding of the elapsed time).
void check_step_count(std::string_view method, JulianDate T0, double H, std::int32_t NPOS,
                      JulianDate TOUT);

// Ends the run with a message and ProgramStop when the state s at the
// step time T holds something that is not a finite number.
void check_finite_state(std::string_view method, const StateVector& s, JulianDate T);

// After an output step at T of a forward run (H > 0) that has not finished
// its listing (COUNT <= NPOS + 1): ends the run with a message and
// ProgramStop when the listing entry COUNT can never be filled, because
// it lies beyond the listing grid or its date POSNS.TJD(COUNT) lies one step
// or more behind T (every later step lies further from it).
void check_listing_reachable(std::string_view method, JulianDate T, double H, std::int32_t COUNT);

// The hand-over at an output step: s is the state at the step time T, which
// becomes TOUT. Stops on a state that is not finite. A backward leg (H < 0)
// ends here. A forward run saves the start element file (FILES.STFILE) while
// COUNT is 1, fills the listing entries within one step of T
// (hand_over_step, listing_fill.h; `filling` starts true), and ends once
// COUNT exceeds NPOS + 1, saving the end element file (FILES.ENDFIL);
// otherwise it stops when the next entry can never be reached. When the
// fill ends early and an end file is to be saved, the run goes on without
// filling to where a complete listing ends and saves it there. A listing of
// no lines (NPOS below 0) saves no element file. Returns true when the run
// ends.
bool output_step(std::string_view method, const StateVector& s, JulianDate T, double H,
                 std::int32_t NPOS, JulianDate& TOUT, std::int32_t& COUNT, bool& filling,
                 ListingSink& sink);
