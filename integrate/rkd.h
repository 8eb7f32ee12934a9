// The RKD method: a variable-step Runge-Kutta-Nystrom integration of the
// full heliocentric motion under FORCE1 (Mercury included), from the epoch of
// the elements to the first listed time and then through the listing.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day; steps and
// dates in days. The accelerations are parameters (the force model by
// default) so that tests can run the method under the Sun alone.
#pragma once

#include <cstdint>

#include "force.h"
#include "listing_sink.h"
#include "types.h"

// The first step from the position (x, y, z) at T0, with the sign of HDIR
// (which must not be 0, else std::invalid_argument), in days: from the size
// of the position and of the acceleration and from the change of the
// acceleration over a trial step (two evaluations of `force`).
// Records: PEL brought to T0 by CELEM when planets come from mean elements.
void START_RKD(double x, double y, double z, JulianDate T0, double HDIR, double& HOUT,
               const AccelerationFn& force = FORCE);

// One nine-stage step of the state s from T0 to T1 (s at T1 on return):
// position of order seven, velocity by Gauss-Lobatto weights. Always
// accepted. HNEXT: the proposed next step in days, with the sign of T1 - T0,
// sized from the embedded lower-order position for an error of 1e-16, and,
// where that is the shorter (the short steps near the Sun or a planet), for
// a difference of the two positions of kRkdShortStepTol times the distance
// from the Sun; kRkdZeroErrorGrowth times the step just taken when the two
// positions agree to their rounding. T1 = T0 leaves s unchanged and
// proposes 0. Nine evaluations of `force`.
// Records written: OBJECT.VRKD (the start velocity of the step).
void RKD(StateVector& s, JulianDate T0, JulianDate T1, double& HNEXT,
         const AccelerationFn& force = FORCE1);

// The same step under FORCE (Mercury left out), with a tolerance of its own
// (also 1e-16). The program does not use it.
void RKDX(StateVector& s, JulianDate T0, JulianDate T1, double& HNEXT,
          const AccelerationFn& force = FORCE);

// Given:   s0, T0  the state at the epoch of the elements
//          NPOS    the number of listed lines (entries 1 to NPOS + 1 filled);
//                  below 0 (no listed time): nothing is done
//          H       the first step in days (START_RKD), its sign the
//                  direction from T0 to the first listed time; 0: nothing
//                  is done
//          sink    the listing (window mode of XVPOS) and SAVE_ELE
// Records read: POSNS.TJD, FILES.STFILE, FILES.ENDFIL; through the force
//          model PERTRB and PLNSRC
// Records written: OBJECT.VRKD; PEL through CELEM with mean planets
// Called: CELEM, RKD, RK7, sink.fill, sink.save
//
// Phase 1 steps from T0 towards the first listed time (in either direction)
// until the next step would pass it, its first step of length H taken again
// from T0 with its own proposal for as long as that proposal is shorter than
// 0.9 times the step (the estimate above the tolerance: H comes from no
// estimate); phase 2 runs forwards, handing the state to sink.fill before
// every step with the length of that step, until every entry up to NPOS + 1
// is filled. Should the first entry still to be
// filled lie a whole step or more behind the state (after a backward phase
// 1, after a first step that passes the first listed time by more than the
// next step, or with listed times that decrease), the state is carried back
// to that entry's date first, so that every entry is filled and the run
// ends. The start element file (STFILE, when not blank) is dated at the
// first listed time, the end file (ENDFIL) at the NPOS-th, or at the first
// for NPOS 0; each holds a copy of the state carried there, which never
// changes the integrated state: by one RK7 step under `carry_force` when
// the date lies within the current step proposal of the state (the start
// file, and the end file of lines closer than a step), else by RKD steps
// under `step_force` of at most the current proposal (the end file of lines
// a month or a year apart). Should the fill end before its last entry
// (sink.fill sets COUNT past every entry) with an end file to save, the run
// goes on without filling to where a complete listing ends, and saves the
// file there, at the NPOS-th listed time (hand_over_step, listing_fill.h).
//
// A step that collapses (a proposal below 1e-8 days or not a number, a
// state not finite: a close approach, a collision, a state at a body) ends
// the run with a message of one or two lines and ProgramStop, the
// program's own stop (exit status 5); so does a run of more than 10 million
// steps.
void RKDINT(const StateVector& s0, JulianDate T0, std::int32_t NPOS, double H, ListingSink& sink,
            const AccelerationFn& step_force = FORCE1, const AccelerationFn& carry_force = FORCE);

// The shortest step that RKDINT accepts from RKD, days, and its bound on the
// number of steps of one run.
inline constexpr double kRkdMinStep = 1e-8;
inline constexpr std::int64_t kRkdMaxSteps = 10'000'000;

// The factor by which RKD lengthens the next step after one whose error
// estimate is 0 (rkd.cpp says why 2 is safe).
inline constexpr double kRkdZeroErrorGrowth = 2;

// The bound on the difference of RKD's two positions of a step, as a
// fraction of the distance from the Sun (rkd.cpp says why 5e-14).
inline constexpr double kRkdShortStepTol = 5e-14;
