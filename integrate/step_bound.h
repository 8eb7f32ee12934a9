// The longest step DEL that the fixed-step methods COWELL and ENCKE can take
// for an orbit and a listing, so that the listed places stay within about
// one second of arc of the same integration with a far shorter step. A
// plain computation on the two-body orbit through the starting state: no
// console, no records.
//
// What limits the step (measured with the integrators themselves: under
// the Sun alone against the exact conic; with the planets against ENCKE at
// a step so short that halving it moves nothing beyond 0.01"):
// - the Sun. At its closest to the Sun within the integrated span, at a
//   distance r with the speed v, the object turns by one radian in about
//   tau = 2 r / (k v) days: sqrt(2) q^1.5 / k at the perihelion of a
//   parabola, P / pi on a circular orbit of period P. The error grows with
//   about the tenth power of DEL / tau, and with the revolutions made
//   within the span, each of which adds a drift along the orbit. The step
//   is held to tau / (19 g^0.2), g = 1 + (span / P) (1 + e) / (1 - e) for
//   an ellipse and 1 for a parabola or a hyperbola, for both methods: ENCKE
//   passes a lone perihelion with steps some three times as long as
//   COWELL's, but over revolutions among the inner planets both err alike,
//   by the planets' part. The 8 RK7 steps of each start-up, of the same
//   length, count within the span;
// - the innermost perturbing body that the method feels, whose pull on the
//   Sun (the same for every object) turns with the body's period: Mercury
//   (88 days) for ENCKE, which always includes it, the step at most
//   12 days; Venus (225 days) for COWELL with NPLANET 2 or more, at most
//   45 days; each times (span / 2 years)^-0.2.
// Close approaches to a planet are not weighed here: they need a shorter
// step again, which only the approach itself shows.
#pragma once

#include <cstdint>

#include "types.h"

// The two fixed-step methods.
enum class FixedStepKind { Cowell, Encke };

// What limits the step.
enum class StepLimit {
  Sun,      // the passage nearest the Sun
  Mercury,  // Mercury's pull (ENCKE)
  Venus,    // Venus's pull (COWELL)
};

struct StepBound {
  double longest = 0;  // days: the longest DEL that serves
  StepLimit limit = StepLimit::Sun;
  double closest = 0;  // AU: the object's least distance from the Sun within
                       // the span integrated with that step
};

// Given:   method     COWELL or ENCKE
//          nplanet    the perturbing bodies 1 to NPLANET
//          s0, epoch  the heliocentric state at the epoch (AU, AU per 1/k
//                     day) and its Julian date
//          first      the first listed time (Julian date), where the
//                     integration begins its listing; before the epoch, a
//                     backward leg goes there first
//          last       the last listed time (Julian date), not before first
// Returned            the longest DEL (days) for which the bound holds, what
//                     sets it and the least distance from the Sun with it; a
//                     step longer than `longest` is too long
// Called:  KEPLER (the states at the ends of the integrated span)
// The integrated span of a step D: with first after the epoch, one leg from
// the epoch (its start-up 8 D before it) to a step past `last`; otherwise
// a backward leg from the epoch (its start-up 8 D after it) to about 2 D
// before `first`, and a forward leg from there (its start-up 8 D before
// it) to a step past `last`. A state that is not a finite number gives no
// bound (an infinite `longest`): the integrators stop on it themselves.
StepBound longest_fixed_step(FixedStepKind method, std::int32_t nplanet, const StateVector& s0,
                             JulianDate epoch, JulianDate first, JulianDate last);
