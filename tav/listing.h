// The printed listing: RADEC reduces each listed entry to its astrometric place
// and prints the table in one of the forms SHORT, LONG, ASTRM or MPC on the
// console and, when FILES.SCRFILE names one, into the capture file.
//
// Computing stays in reduce.h; this file turns numbers into lines. Every
// line comes from a layout (textio.h) through checked_line, which refuses a
// layout whose count of fields differs from the count of values.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "reduce.h"
#include "textio.h"
#include "types.h"

// FORM compared over its first 30 characters, trailing blanks ignored; a
// form that matches none keeps the previous listing's (SHORT at the first).
// Lists lines 1 to min(NPOS, listing_entries_filled() - 1) (positions.h),
// and no more than the entries of a grid cut at the years its lines print
// (grid.h) allow; when that falls short of NPOS the data lines end with the
// notice " Only k of N lines listed: " and the reason given to
// end_listing_fill, or the grid's reason when the cut comes first.
// Afterwards no entry counts as filled (start_listing_fill).
// Records read: FILES.SCRFILE, OBJECT, RUNPAR (NPOS, CYEAR, XJINC), POSNS,
//               DATES
// Records written: POSNS.RA and DEC of the lines listed (the printed places)
// Files: the capture file (channel 13), created or rewritten, closed at the
//        end; a failed open or write ends the program with the fatal line.
void RADEC(const Text<32>& FORM);

// ---------------------------------------------------------------- pieces

// The forms, numbered as the listing keeps them from one call to the next.
enum class Form : std::int32_t { Short = 0, Astrm = 1, Long = 2, Mpc = 3 };

// The form RADEC would use now for FORM, and the one a run starts with.
Form select_form(const Text<32>& FORM);
void reset_listing_form();

// One line of the layout with exactly one value for each of its value
// fields, in order; a different count, a value of the wrong kind, or a line
// end or stop piece in the layout throws std::logic_error. A fixed-point
// field shows a value that is not a number or infinite as asterisks over
// the whole field, as it shows a value too wide for it.
std::string checked_line(const Layout& layout, std::initializer_list<Value> values);

// A value of whole units (hours, degrees) as the forms print it, in whole
// units, minutes and seconds: with `seconds`, whole minutes and the seconds
// rounded to 1/scale; without, the minutes rounded to 1/scale (sec 0). A
// second that rounds to 60 carries into the minute, a minute of 60 into the
// units. For value >= 0; not a number gives not-a-number parts.
struct UnitsMinutesSeconds {
  double units = 0, m = 0, sec = 0;
};
UnitsMinutesSeconds split_rounded(double value, bool seconds, double scale);

// A reduced place in hours, minutes and seconds of time and degrees,
// minutes and seconds of arc, rounded and carried as the form prints it.
// SHORT and LONG: m and dm rounded to 0.01 and 0.1 minute, sec and ds 0.
// ASTRM and MPC: m and dm whole, sec and ds rounded to 0.01 and 0.1 second.
// A minute or second that rounds to 60 carries into the next unit; 24 hours
// become 0. Any right ascension is first brought into [0, 2 pi), so that
// no more than 23 h is shown. A place that is not a number gives
// not-a-number parts, which print as asterisks.
struct Sexagesimal {
  double h = 0;  // whole hours
  double m = 0, sec = 0;
  char sign = '+';  // "-" for a declination below zero
  double deg = 0;   // whole degrees of |dec|
  double dm = 0, ds = 0;
};
Sexagesimal sexagesimal(double RA, double DEC, Form form);

// The 7-character name of an observing body: Mercury ... Moon for 1 to 10,
// "Sun", "SS bary" and "EM bary" for 11 to 13, "Unknown" for any other.
std::string centre_name(std::int32_t NCENTER);

// Header and underline of a form; `year` is INT(CYEAR), `centre` the
// 7-character name of the observing body.
std::string header_line(Form form, std::int32_t year, std::string_view centre);
std::string underline(Form form);

// What a data line shows: the calendar date and hour of the entry, the
// reduced line, r and delta.
struct LineValues {
  std::int32_t year = 0, month = 1, day = 0;
  double hour = 0;
  ReducedLine reduced;
  double r = 0, delta = 0;
};
std::string data_line(Form form, const LineValues& v);
