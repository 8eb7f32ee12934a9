#include "positions.h"

#include "elefile.h"

// Placeholders until the listing positions are built.
void XVPOS(const StateVector&, JulianDate, double, std::int32_t&) {}

void TOPCOR(double&, double&, double&, JulianDate) {}

void GridSink::fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) {
  XVPOS(s, t, del, COUNT);
}

void GridSink::save(const StateVector& s, JulianDate t, const Text<30>& name) {
  SAVE_ELE(s, t, name);
}
