// The element file: twelve text lines holding one osculating orbit, written
// by kestle and by tav, read by tav (channel 44 for reading, 10 for writing).
// Both writers make the lines with common/elefile_lines.h.
//
//   line 1      numbered form: number (9 columns), a blank, the name (28), the
//               epoch's date yyyy-Mon-dd; unnumbered form: the name (28) and
//               the date
//   lines 2-11  one value each, 30 columns with 18 decimals: H, G, mean
//               anomaly M (deg) or perihelion time Tp (JD), argument of
//               perihelion, node, inclination (deg), e, mean motion n
//               (deg/day; exactly 0 marks the comet form), a or q (AU),
//               epoch (JD)
//   line 12     the source text (80 columns)
//
// Angles refer to the mean ecliptic and equinox of J2000; in memory they
// are radians.
#pragma once

#include "records.h"
#include "types.h"

// Asks for an element file name (again while the file does not exist),
// reads the file and returns its elements (radians; fifth value a or q),
// H and G. Sets OBJECT.NUMBER, NAME, EPOCH, ELSRC and ICOMET (1 when the
// mean motion is exactly zero). A short file or a malformed number ends
// the program with the fatal error line.
void GET_TAV_ELEMENTS(ElementSet& el, double& H, double& G);

// The name of the file that GET_TAV_ELEMENTS read last, as typed (40
// characters); blank before any.
const Text<40>& last_element_file_read();

// Writes the osculating elements of the state s (heliocentric, equatorial
// J2000, AU and AU per 1/k day) at date t as the element file `name`, with
// OBJECT's ICOMET, NUMBER, NAME, H and G, and shows them on the console.
// When a value would not read back from its line (too wide for the field,
// not finite, or a mean motion written as zero), no file is written: the
// console says which value, shows the elements and names the file not
// written.
void SAVE_ELE(const StateVector& s, JulianDate t, const Text<30>& name);

// Shows an element set (radians) on the console, in the a form or the q
// form as OBJECT.ICOMET says; with t > 0, under a heading with that date
// and with the mean anomaly at t.
void PRINT_ELE(const ElementSet& el, JulianDate t);
