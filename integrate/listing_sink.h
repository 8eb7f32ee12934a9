// What an integrator hands back to the ephemeris program while it runs: the
// state of each step, for the listing entries near it, and the states to
// save as element files. The ephemeris program implements it (the window
// mode of XVPOS and SAVE_ELE); tests implement it to watch an integration.
#pragma once

#include <cstdint>

#include "types.h"

class ListingSink {
 public:
  virtual ~ListingSink() = default;

  // The window mode of XVPOS. From the heliocentric state s at date t
  // (equatorial J2000, AU and AU per 1/k day), fills the listing entries from
  // COUNT on whose dates lie strictly within `del` days of t (del > 0, the
  // length of the coming or the last step made positive), in order, by
  // two-body motion, and advances COUNT past them. Stops at the first entry
  // outside the window; never passes the last entry of the grid. A fill
  // that ends before its last entry (the positions cannot be had) sets
  // COUNT past every entry, to 501, at that call and at every later one.
  virtual void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) = 0;

  // SAVE_ELE: the osculating elements of s at date t shown on the console and
  // written as the element file `name` (30 characters, not blank).
  virtual void save(const StateVector& s, JulianDate t, const Text<30>& name) = 0;
};
