#include "rkd.h"

#include "stop.h"
#include "textio.h"

// Placeholder until the method is built: says so and lists nothing.
void START_RKD(double, double, double, JulianDate, double HDIR, double& HOUT,
               const AccelerationFn&) {
  HOUT = HDIR;
}

void RKD(StateVector&, JulianDate, JulianDate T1, double& HNEXT, const AccelerationFn&) {
  HNEXT = T1;
}

void RKDINT(const StateVector&, JulianDate, std::int32_t, double, ListingSink&) {
  say({"The RKD method is not available yet: no listing."});
  throw ProgramStop{1};
}
