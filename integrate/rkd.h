// The RKD method: a variable-step Runge-Kutta-Nystrom integration of the
// full heliocentric motion under FORCE1 (Mercury included), from the epoch of
// the elements to the first listed time and then through the listing.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day; steps and
// dates in days.
#pragma once

#include <cstdint>

#include "force.h"
#include "listing_sink.h"
#include "types.h"

// The first step from the position (x, y, z) at T0, with the sign of HDIR
// (which must not be 0), in days.
void START_RKD(double x, double y, double z, JulianDate T0, double HDIR, double& HOUT,
               const AccelerationFn& force = FORCE);

// One step of the state s from T0 to T1 (s at T1 on return); HNEXT the
// proposed next step in days, with the sign of T1 - T0.
void RKD(StateVector& s, JulianDate T0, JulianDate T1, double& HNEXT,
         const AccelerationFn& force = FORCE1);

// The whole integration: from the state s0 at the epoch T0 with the first
// step H (its sign the direction to the first listed time) to the first
// listed time, then forwards through entries 1 to NPOS + 1 of the listing,
// handing the state to sink.fill before every step; the element files
// FILES.STFILE and FILES.ENDFIL through sink.save, dated at the first and
// the NPOS-th listed time.
void RKDINT(const StateVector& s0, JulianDate T0, std::int32_t NPOS, double H, ListingSink& sink);
