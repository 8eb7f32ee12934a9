// The ENCKE method: the deviation of the object from the two-body orbit
// through its start state, integrated with the multistep machinery of the
// Cowell method (same coefficients, 8 differences, fixed step, 8 RK7
// start-up steps), the perturbations of bodies 1 to NPLANET included.
//
// States are heliocentric, equatorial J2000, AU and AU per 1/k day; the
// step H and the dates in days.
#pragma once

#include <cstdint>
#include <functional>

#include "force.h"
#include "listing_sink.h"
#include "types.h"

// The signature of a deviation acceleration: S^2 times the acceleration of
// the deviation (DX, DY, DZ) AU of the object from the reference position
// (XR, YR, ZR) AU, in Gaussian units, with the bodies at date T.
using DeviationAcceleration = void(double XR, double YR, double ZR, double DX, double DY, double DZ,
                                   double S, JulianDate T, double& AX, double& AY, double& AZ);
using DeviationFn = std::function<DeviationAcceleration>;

// Encke's form of the deviation acceleration: the two-body difference term
// with f(q), free of the cancellation of two nearly equal Sun terms, plus
// the direct and indirect terms of the bodies 1 to PERTRB.NPLANET (Mercury
// included), from the mean elements PEL when PLNSRC.IMEAN is 1, else from
// PLEPHX. When PLEPHX switches the run to mean planets, writes
// " Error return from plephx" and returns the two-body term alone.
// Records read: ASTCON.SUNMU; the bodies through perturbers_at (force.h).
// An object at the Sun or at a body, or a reference position at the Sun,
// ends the run with a message and ProgramStop.
void RHS(double XR, double YR, double ZR, double DX, double DY, double DZ, double S, JulianDate T,
         double& AX, double& AY, double& AZ);

// Arguments and effects as COWLS (cowell.h), with the deviation integrated
// in place of the full motion. The reference orbit is the two-body orbit
// through s0 at T0: for the start-up by SEL_ORB when OBJECT.ICOMET is 1,
// otherwise and for every step by KEPLER. The start-up integrates the full
// motion with RK7 under `force` (FORCE: bodies 2 to NPLANET); the steps take
// the deviation acceleration `rhs`.
// Records read: as COWLS, and OBJECT.ICOMET.
// Called:   CELEM, rhs, KEPLER, SEL_ORB, RK7, COEFF, sink.save, sink.fill
void ENCKE(const StateVector& s0, JulianDate T0, StateVector& s, double H, std::int32_t NPOS,
           JulianDate& TOUT, ListingSink& sink, const AccelerationFn& force = FORCE,
           const DeviationFn& rhs = RHS);
