// The run parameters of tav: the initialization-file menu, the group TAVI,
// the parameter display, changing a parameter by name, the tests and the
// values derived from them.
//
// Units: YEAR, CYEAR in years; DAY in days of the month; ET in hours of the
// day; XJINC in hours between listed times (for the MPC form in days, except
// between set_derived_values and interval_back_to_days); DEL in days; OLAT and
// OLON (west) in degrees.
#pragma once

#include <array>

#include "group.h"
#include "tav.h"

// Number of the run parameters, in the order of the group TAVI.
inline constexpr int kParamCount = 19;

// The 19 variables of the group TAVI and where their values live. STFILE
// and ENDFIL, files to write, are not cut: one longer than its 30
// characters sets s.stfile_too_long or s.endfil_too_long, and the tests ask
// for it again.
std::array<GroupVar, kParamCount> tavi_variables(EphemState& s);

// Menu of initialization files, repeated until a file that exists is named;
// reads its group TAVI into the run parameters and sets the first-call flag.
// Texts that the file leaves NUL, METHOD apart, become blanks.
void initialization_menu(EphemState& s);

// The parameter display, ending with the prompt for a name.
void show_parameters(EphemState& s);

// The dialogue: display, changes by name, tests; returns once every test
// has passed and the derived values are set.
void parameter_dialogue(EphemState& s);

// Asks for parameter `k` (1 to 19, the order of TAVI) and stores the answer.
// A name for STFILE or ENDFIL longer than 30 characters is refused with a
// message and asked for again.
void change_parameter(EphemState& s, int k);

// The tests of the values typed, with their messages, in the dialogue's
// order: NPOS, YEAR within 0 to 214748 (the years whose dates the calendar
// holds), MONTH, DAY (taken as listed_day gives it; not 1582 October 5 to
// 14, which the listing's calendar skips), ET, CYEAR within 0 to 5215 (the
// years the precession reaches, reduce.h), NPLANET, NCENTER with mean
// planets, PLANET, FORM, the JPL file. Returns 0 when all pass, or the
// number of the parameter to ask for after the message of the first that
// fails. Changes nothing.
int failed_value_test(const EphemState& s);

// The day of the first listed time: DAY rounded to a whole day, halves away
// from zero, for every form but MPC, whose fraction of DAY is the hour.
double listed_day(const EphemState& s);
// DAY := listed_day, before the tests.
void round_day(EphemState& s);

// Once the value tests pass: with mean planets an NPLANET above 8 becomes 8,
// with its notice (nothing is asked); PLNSRC.IMEAN from PLANET.
void set_planet_source(EphemState& s);

// The tests of the method and the steps, made after set_planet_source: a
// METHOD that names none of the four, an XJINC of 0, for COWELL and ENCKE
// an XJINC below 0 and a DEL of 0 or below or too small to move the first
// listed time (Julian date) on, an NCENTER outside 1 to 13, and last the
// names of the files to write (outfiles.h). Returns 0 when all pass, or the
// number of the question to ask after the message.
int failed_run_test(const EphemState& s);

// All of it, as the dialogue does on an empty answer: round_day, the value
// tests, set_planet_source, the method tests. Returns 0 when all pass, or
// the question to ask (see ask_again).
int parameter_tests(EphemState& s);

// Asks the question of a failed test: the value of parameter k (1 to 19),
// or the capture question (kCaptureQuestion).
void ask_again(EphemState& s, int k);

// IDAY; for the MPC form ET from the fraction of DAY and XJINC in hours; the
// date of the first listed time.
void set_derived_values(EphemState& s);

// For the MPC form, XJINC back from hours into days.
void interval_back_to_days(const EphemState& s);
