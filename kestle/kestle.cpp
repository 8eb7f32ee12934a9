// The dialogue of kestle and the element file it writes.
//
// Every answer that goes into the file is one that the file can carry: a
// value whose line would not read back (too wide for its field), a
// semimajor axis whose mean motion would not, and a number, epoch or
// perihelion date that cannot be worked out or written are asked for again
// with a message, so that the file always reads back to the orbit typed.
#include "kestle.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>

#include "astcon.h"
#include "calendar.h"
#include "elefile_lines.h"
#include "stop.h"
#include "textio.h"

namespace {

using namespace lay;

// A typed date below this is a year (month and day follow), from it on a
// Julian date.
constexpr double kFirstJulianDate = 10000.0;

// The message after an answer that the file cannot carry.
void out_of_range(std::string_view what) {
  say({what, " out of range for the element file, please re-enter"});
}

// A typed value truncated toward zero for a 32-bit integer (year, day of
// month); false when it does not fit.
bool whole_part(double v, std::int32_t& out) {
  const double t = std::trunc(v);
  if (!(t >= std::numeric_limits<std::int32_t>::min() &&
        t <= std::numeric_limits<std::int32_t>::max()))
    return false;
  out = static_cast<std::int32_t>(t);
  return true;
}

double ask_double(std::string_view prompt) {
  say({prompt});
  double v = 0.0;
  ask({v});
  return v;
}

bool fits_value_line(double v) {
  double back = 0.0;
  return value_line_reads_back(v, back);
}

// A value for one line of the file, asked again until its line reads back.
double ask_value(std::string_view prompt, std::string_view what) {
  for (;;) {
    const double v = ask_double(prompt);
    if (fits_value_line(v)) return v;
    out_of_range(what);
  }
}

// The catalogue number from the typed characters: each character's code
// minus 48 at its decimal place, so that the digits of a plain number give
// that number. False when the number does not fit the nine columns of line
// 1; once the sum leaves 32 bits, further characters only move it further
// out, so the sum stops there.
bool typed_number(std::string_view typed, std::int32_t& number) {
  std::int64_t n = 0;
  for (char c : typed) {
    n = n * 10 + (static_cast<unsigned char>(c) - 48);
    if (n > std::numeric_limits<std::int32_t>::max() ||
        n < std::numeric_limits<std::int32_t>::min())
      return false;
  }
  if (n > 999999999 || n < -99999999) return false;
  number = static_cast<std::int32_t>(n);
  return true;
}

struct Date {
  std::int32_t year = 0, month = 0, day = 0;
  double hour = 0.0;
};

// The rest of a date typed as a year: the month (asked again until it is
// 1 to 12) and the decimal day of month (asked again, with tav's message,
// when it falls on 1582 October 5 to 14, which neither calendar has). The
// date of line 1 is the one the Julian date holds: a day of 0 or below,
// or beyond the end of the month, is a day of another month (2025 January
// 0.5 is 2024 December 31.5). False, without further questions, when the
// year is not one of -999 to 9999, the years that line 1 holds in its four
// columns (the year -44 is 45 BC); false after the questions when the day
// of month does not fit 32 bits.
bool ask_month_and_day(double year, Date& d, JulianDate& jd) {
  if (!whole_part(year, d.year) || d.year < -999 || d.year > 9999) return false;
  d.month = 0;
  do {
    say({"Enter month (1-12)"});
    ask({d.month});
  } while (d.month < 1 || d.month > 12);
  double day = 0.0;
  for (;;) {
    day = ask_double("Enter decimal day of month");
    if (!whole_part(day, d.day)) return false;
    if (!skipped_by_the_calendar(d.year, d.month, d.day)) break;
    say({kSkippedDaysMessage});
  }
  d.hour = (day - d.day) * 24.0;
  // Read in the calendar that line 1 and tav show the date in: the Julian
  // calendar before 1582 October 15, as old orbits give their dates.
  jd = calendar_to_jd(d.year, d.month, d.day, d.hour);
  // For a day of the month as typed, the same date again.
  MYDATE(d.year, d.month, d.day, d.hour, jd, -1);
  return true;
}

// Asks for a date as a year (with month and day) or as a Julian date.
double ask_date(std::string_view prompt) {
  say({prompt});
  say({"If the year is entered, month and day will be requested"});
  return ask_double("Otherwise the JED can be entered");
}

JulianDate epoch_dialogue(Date& d) {
  for (;;) {
    const double t = ask_date("Enter epoch date for these elements");
    JulianDate epoch = t;
    if (t < kFirstJulianDate) {
      if (ask_month_and_day(t, d, epoch) && fits_value_line(epoch)) {
        say({"Epoch Julian day is ", epoch});
        return epoch;
      }
    } else if (fits_value_line(epoch)) {
      MYDATE(d.year, d.month, d.day, d.hour, epoch, -1);
      write(console().out(),
            {L("Epoch calendar date is "), I(4), L("-"), I(2), L("-"), I(2), L(" "), F(6, 2),
             L(" hours")},
            {d.year, d.month, d.day, d.hour});
      return epoch;
    }
    out_of_range("Epoch");
  }
}

JulianDate perihelion_dialogue() {
  for (;;) {
    const double t = ask_date("Enter perihelion JED");
    JulianDate tp = t;
    if (t >= kFirstJulianDate) {
      if (fits_value_line(tp)) return tp;
    } else {
      Date d;
      if (ask_month_and_day(t, d, tp) && fits_value_line(tp)) {
        say({"perihelion JED = ", tp});
        return tp;
      }
    }
    out_of_range("Perihelion date");
  }
}

// Everything that goes into the file.
struct Elements {
  std::int32_t number = 0;
  Text<28> name;
  Text<80> source;
  Date date;  // of the epoch, for line 1
  JulianDate epoch = 0;
  double H = 0, G = 0;
  double m_or_tp = 0;                   // mean anomaly (deg) or perihelion time (JD)
  double peri = 0, node = 0, incl = 0;  // deg
  double e = 0;
  double n = 0;       // mean motion, deg/day; 0 for a comet
  double a_or_q = 0;  // AU
};

// The questions both element types ask, from the name to G.
void ask_identity_epoch_and_magnitudes(Elements& el, std::string_view name_prompt) {
  say({name_prompt});
  ask_text(el.name);
  say({"Enter a source for these elements"});
  ask_text(el.source);
  el.epoch = epoch_dialogue(el.date);
  el.H = ask_value("Enter Absolute magnitude, H", "Absolute magnitude");
  el.G = ask_value("Enter slope parameter, G", "Slope parameter");
}

// The orientation and shape of the orbit (degrees; e).
void ask_angles_and_eccentricity(Elements& el) {
  el.peri = ask_value("Enter argument of perihelion", "Argument of perihelion");
  el.node = ask_value("Enter longitude of ascending node", "Longitude of ascending node");
  el.incl = ask_value("Enter inclination", "Inclination");
  el.e = ask_value("Enter orbital eccentricity", "Eccentricity");
}

void minor_planet(Elements& el) {
  for (;;) {
    say({"Enter a minor planet number"});
    say({"(C/R if unnumbered)"});
    Text<30> typed;
    ask_text(typed, 20);
    if (typed_number(typed.trimmed(), el.number)) break;
    out_of_range("Number");
  }
  ask_identity_epoch_and_magnitudes(el, "Enter a name or provisional designation for this object");
  el.m_or_tp = ask_value("Enter mean anomaly", "Mean anomaly");
  ask_angles_and_eccentricity(el);
  // A negative axis (a hyperbola) takes its mean motion from |a|. A zero or
  // tiny axis has a mean motion beyond the file's field, and one so large
  // that its mean motion would be written as zero would read back as a comet.
  for (;;) {
    el.a_or_q = ask_value("Enter semimajor axis in AU", "Semimajor axis");
    el.n = std::pow(std::fabs(el.a_or_q), -1.5) * ASTCON::GAUSSK * ASTCON::RADDEG;
    double back = 0.0;
    if (value_line_reads_back(el.n, back) && back != 0.0) break;
    out_of_range("Mean motion");
  }
}

void comet(Elements& el) {
  ask_identity_epoch_and_magnitudes(el, "Enter a designation for this object");
  el.m_or_tp = perihelion_dialogue();
  ask_angles_and_eccentricity(el);
  el.a_or_q = ask_value("Enter perihelion distance q", "Perihelion distance");
  el.n = 0.0;  // marks the comet form
}

}  // namespace

void KESTLE() {
  const std::string stars(55, '*');
  say({stars});
  say({" "});
  say({"Element type:"});
  say({"1 => A minor planet element file will be built"});
  say({"2 => A comet element file will be built"});
  say({" "});
  say({stars});
  std::int32_t type = 0;
  // Only the two element types have a dialogue: anything else is asked again.
  do {
    say({"Enter element type"});
    ask({type});
  } while (type != 1 && type != 2);

  Elements el;
  if (type == 1) {
    minor_planet(el);
  } else {
    comet(el);
  }

  ElementFileLines lines;
  lines.numbered = true;
  lines.number = el.number;
  lines.name = el.name.view();
  lines.year = el.date.year;
  lines.month = el.date.month;
  lines.day = el.date.day;
  lines.values = {el.H,    el.G, el.m_or_tp, el.peri,   el.node,
                  el.incl, el.e, el.n,       el.a_or_q, el.epoch};
  lines.source = el.source.view();
  // Each answer was asked again until it fitted.
  if (first_value_not_carried(lines.values, type == 2) >= 0)
    throw std::logic_error("an element value that the file cannot carry");

  // An all-blank name names no file: asked again.
  Text<40> file;
  do {
    say({"Enter a name for this element file"});
    ask_text(file);
  } while (file.blank());
  TextFile f(kElementFileWriteUnit);
  f.open_write(file.view());
  write_element_file(f, lines);
  f.close();
  say({"Elements saved in file ", file.view()});
}
