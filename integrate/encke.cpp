#include "encke.h"

#include "stop.h"
#include "textio.h"

// Placeholder until the method is built: says so and lists nothing.
void ENCKE(const StateVector&, JulianDate, StateVector&, double, std::int32_t, JulianDate&,
           ListingSink&) {
  say({"The ENCKE method is not available yet: no listing."});
  throw ProgramStop{1};
}
