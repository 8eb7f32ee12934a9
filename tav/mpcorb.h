// The Minor Planet Center's MPCORB file (channel 100): one fixed-column line
// per minor planet after a 39-line header, read only.
//
// Used columns (from 1): line 1 36-75 the title; from line 40 on, 1-7 the
// packed number, 9-13 H, 15-19 G, 21-25 the packed epoch, 27-35 mean
// anomaly, 38-46 argument of perihelion, 49-57 node, 60-68 inclination (deg,
// J2000 ecliptic), 71-79 e, 81-91 mean daily motion (deg/day), 93-103 a (AU),
// 167-174 the number in parentheses, 176-194 the name. The nine numbers pass
// through single precision, as the file's own precision is about seven digits.
#pragma once

#include <cstdint>

#include "records.h"
#include "types.h"

// Value of one character of the packed notation: "0"-"9" are 0-9, "A"-"Z"
// 10-35 and "a"-"z" 36-61; any other character below "A" (code 65) is its
// code minus 48, any other from "A" on its code minus 55.
std::int32_t IUNPACK(char c);

// Finds one object in the file MPCFILE by number (choice 1) or by name
// (choice 2), asking on the console (and again after a search that reaches
// the end of the file), and returns its elements in the a form (radians,
// perihelion time from the mean anomaly and mean motion), H and G. Sets
// OBJECT.EPOCH, NAME, NUMBER, ELSRC and ICOMET (0); for Pluto, NPLANET = 8.
// A missing file ends the program with a message (ProgramStop); a short
// header or a malformed matched line ends it with the fatal error line.
void GET_MPC_ELEMENTS(const Text<32>& MPCFILE, std::int32_t choice, ElementSet& el, double& H,
                      double& G);
