// How an integration hands its steps to the listing: the window rule that
// decides which listed times a step serves, and what the integrators do
// when the listing's fill ends before its last line.
#pragma once

#include <cstdint>

#include "listing_sink.h"
#include "types.h"

// COUNT advanced past the listing entries from COUNT on whose dates
// POSNS.TJD lie strictly within `del` days of t, as the window mode of the
// listing advances it; never past entry 500 (COUNT is then 501), nothing
// for a COUNT below 1.
std::int32_t window_count(JulianDate t, double del, std::int32_t COUNT);

// The hand-over of the state s at the step date t (del: the window's
// half-width, days). While `filling`, sink.fill fills the entries of the
// window and advances COUNT. A fill that ends early sets COUNT past every
// entry (the listing positions do so when they cannot give the Sun as seen
// from the centre body); then, when `go_on` (an end element file is to be
// saved), `filling` becomes false, COUNT is put back where the window rule
// leaves it, and from then on it is advanced by the window rule alone: the
// integration goes on, without filling, to where a complete listing ends,
// and its end element file is saved there as after a complete listing.
// With `go_on` false COUNT stays past every entry and the run ends at its
// next test of COUNT, as it always has.
// Records read: POSNS.TJD.
void hand_over_step(ListingSink& sink, const StateVector& s, JulianDate t, double del,
                    std::int32_t& COUNT, bool& filling, bool go_on);
