#include "cowell.h"

#include "stop.h"
#include "textio.h"

// Placeholder until the method is built: says so and lists nothing.
void COWLS(const StateVector&, JulianDate, StateVector&, double, std::int32_t, JulianDate&,
           ListingSink&, const AccelerationFn&) {
  say({"The COWELL method is not available yet: no listing."});
  throw ProgramStop{1};
}
