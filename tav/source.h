// The object of one ephemeris: where its orbit comes from, its state at the
// epoch of the elements, and the method that carries it to the listed times
// and fills the positions of the listing grid.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day; dates are
// Julian dates; DEL in days.
#pragma once

#include <cstdint>
#include <functional>

#include "listing_sink.h"
#include "tav.h"
#include "types.h"

// Element-source choices: 1 MPCORB by number, 2 MPCORB by name, 3 element
// file, 4 major planet; 0 until the first valid answer of the run.
struct ElementSourceState {
  std::int32_t IOPT = 0;
};

// The choice kept for the run (one instance).
ElementSourceState& element_source_state();

// The element-source question: "1" to "4" set IOPT, a blank answer sets 3,
// any other answer keeps the previous choice (asked again while there is
// none). Returns IOPT.
std::int32_t ask_element_source();

// Third mass of PERTRB.MASS: the Earth alone when NPLANET is 10, the
// Earth-Moon barycentre otherwise.
void set_third_mass();

// What came of the element source.
enum class SourceOutcome {
  Refused,  // major planets under mean planets, or a DEL too long for COWELL or
            // ENCKE (step_bound.h): back to the parameter display
  Filled,   // the grid holds the positions: on to the listing
};

// Given:   s        EPHEM's state (MPCFILE, JD0)
// Returned          Refused or Filled
// Records read:    RUNPAR (NPOS, DEL), PERTRB.NPLANET, INTEG.METHOD, PLNSRC,
//                  POSNS.TJD (the span listed, for the step's bound)
// Records written: OBJECT (by the loaders; PNAME cleared for MPCORB and
//                  element files), PERTRB.MASS(3), RUNPAR.DEL (0 after a
//                  KEPLER solution or a missing epoch; negated and restored
//                  around the backward leg), INTEG.METHOD ("KEPLER" after a
//                  missing epoch), POSNS and the element files through the
//                  methods
// Called: GET_MPC_ELEMENTS, GET_TAV_ELEMENTS, MAJOR_PLANETS, PRINT_ELE,
//         PARABOLA or ELEM2XV, KEPLER and XVPOS, longest_fixed_step, COWLS,
//         ENCKE, START_RKD and RKDINT
// Asks for the source, loads the elements, turns them into the state at the
// epoch and fills the grid by METHOD. For COWELL and ENCKE a DEL longer than
// the longest that serves the orbit and the listing (step_bound.h) is
// refused first, with a notice that gives that longest DEL. The METHOD is
// one of the four (the parameter tests refuse any other). An element file
// read becomes s.ELEFILE, and the capture file, STFILE or ENDFIL that names
// it is asked for again (outfiles.h); a refusal clears s.ELEFILE.
SourceOutcome fill_positions(EphemState& s);

// The starting state at the epoch: PARABOLA for a comet-form set with
// 0.98 < e < 1.02, ELEM2XV otherwise.
StateVector state_at_epoch(const ElementSet& el, JulianDate epoch, std::int32_t icomet);

// Carries the state s0 at the epoch to the listed times by METHOD and fills
// the grid (JD0 the first listed time as typed).
void propagate(const StateVector& s0, JulianDate epoch, JulianDate JD0);

// A fixed-step method with the arguments of COWLS and ENCKE: start state and
// date, end state, step, NPOS, target date (the date reached on return), sink.
using FixedStepMethod = std::function<void(const StateVector&, JulianDate, StateVector&, double,
                                           std::int32_t, JulianDate&, ListingSink&)>;

// The COWELL and ENCKE road: one call from the epoch with the step
// RUNPAR.DEL when JD0 is after the epoch; otherwise a backward leg
// (DEL negated in the run parameters) to TM = JD0 - DEL, then, with DEL
// back to its value, the forward leg from the state and the date reached.
void two_leg_run(const FixedStepMethod& method, const StateVector& s0, JulianDate epoch,
                 JulianDate JD0, ListingSink& sink);

// The direction value of the RKD start: +3.0 when JD0 - epoch is 0 or more,
// -3.0 otherwise.
double rkd_direction(JulianDate JD0, JulianDate epoch);
