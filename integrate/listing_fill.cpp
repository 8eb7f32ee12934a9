#include "listing_fill.h"

#include <cmath>

#include "records.h"

std::int32_t window_count(JulianDate t, double del, std::int32_t COUNT) {
  while (COUNT >= 1 && COUNT <= kGridSize && std::fabs(t - POSNS.TJD(COUNT)) < del) ++COUNT;
  return COUNT;
}

void hand_over_step(ListingSink& sink, const StateVector& s, JulianDate t, double del,
                    std::int32_t& COUNT, bool& filling, bool go_on) {
  const std::int32_t window = window_count(t, del, COUNT);
  if (!filling) {
    COUNT = window;
    return;
  }
  sink.fill(s, t, del, COUNT);
  if (COUNT > window && go_on) {
    filling = false;
    COUNT = window;
  }
}
