// kestle: builds one element file from values typed on the console.
//
// Asks for the element type (1 minor planet, 2 comet), the identification,
// the source text, the epoch (a year with month and decimal day, or a Julian
// date), H and G, the elements (angles in degrees, J2000 ecliptic; a in AU
// for a minor planet, or the perihelion time and q in AU for a comet) and the
// file name, then writes the 12-line element file on channel 10 with line 1
// in the numbered form. An answer that the file cannot carry (a value too
// wide for its 30 columns, a semimajor axis whose mean motion is too wide for
// its field or would be written as zero, a number too wide for 9 columns, an
// epoch or perihelion date that cannot be worked out) is asked for again with
// a message, so the file always reads back; so is a day of 1582 October 5 to
// 14, which neither calendar has. A decimal day below 1 is a day of the
// month before (2025 January 0.5 is 2024 December 31.5): line 1 names the
// day that the epoch's Julian date holds.
#pragma once

void KESTLE();
