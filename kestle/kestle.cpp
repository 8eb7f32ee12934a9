// The dialogue of kestle and the element file it writes.
#include "kestle.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "astcon.h"
#include "calendar.h"
#include "stop.h"
#include "textio.h"

namespace {

using namespace lay;

constexpr int kFileUnit = 10;
// A typed date below this is a year (month and day follow), from it on a
// Julian date.
constexpr double kFirstJulianDate = 10000.0;

// A typed value truncated toward zero for a 32-bit integer (year, day of
// month); a value that does not fit is an input conversion error.
std::int32_t whole_part(double v) {
  const double t = std::trunc(v);
  if (!(t >= std::numeric_limits<std::int32_t>::min() &&
        t <= std::numeric_limits<std::int32_t>::max()))
    console().in().fail(ioerr::CONVERSION);
  return static_cast<std::int32_t>(t);
}

double ask_double(std::string_view prompt) {
  say({prompt});
  double v = 0.0;
  ask({v});
  return v;
}

// The catalogue number from the typed characters: each character's code
// minus 48 at its decimal place, so that the digits of a plain number give
// that number. A value beyond 32 bits is an input conversion error; once the
// sum leaves that range, further characters only move it further out.
std::int32_t typed_number(std::string_view typed) {
  std::int64_t n = 0;
  for (char c : typed) {
    n = n * 10 + (static_cast<unsigned char>(c) - 48);
    if (n > std::numeric_limits<std::int32_t>::max() ||
        n < std::numeric_limits<std::int32_t>::min())
      console().in().fail(ioerr::CONVERSION);
  }
  return static_cast<std::int32_t>(n);
}

struct Date {
  std::int32_t year = 0, month = 0, day = 0;
  double hour = 0.0;
};

// The rest of a date typed as a year: the month (asked again until it is
// 1 to 12, so that line 1 has its name) and the decimal day of month.
JulianDate ask_month_and_day(double year, Date& d) {
  d.year = whole_part(year);
  d.month = 0;
  do {
    say({"Enter month (1-12)"});
    ask({d.month});
  } while (d.month < 1 || d.month > 12);
  const double day = ask_double("Enter decimal day of month");
  d.day = whole_part(day);
  d.hour = (day - d.day) * 24.0;
  JulianDate jd = 0;
  MYDATE(d.year, d.month, d.day, d.hour, jd, 1);
  return jd;
}

// Asks for a date as a year (with month and day) or as a Julian date.
double ask_date(std::string_view prompt) {
  say({prompt});
  say({"If the year is entered, month and day will be requested"});
  return ask_double("Otherwise the JED can be entered");
}

JulianDate epoch_dialogue(Date& d) {
  const double t = ask_date("Enter epoch date for these elements");
  if (t < kFirstJulianDate) {
    const JulianDate epoch = ask_month_and_day(t, d);
    say({"Epoch Julian day is ", epoch});
    return epoch;
  }
  JulianDate epoch = t;
  MYDATE(d.year, d.month, d.day, d.hour, epoch, -1);
  write(console().out(),
        {L("Epoch calendar date is "), I(4), L("-"), I(2), L("-"), I(2), L(" "), F(6, 2),
         L(" hours")},
        {d.year, d.month, d.day, d.hour});
  return epoch;
}

JulianDate perihelion_dialogue() {
  const double t = ask_date("Enter perihelion JED");
  if (t >= kFirstJulianDate) return t;
  Date d;
  const JulianDate tp = ask_month_and_day(t, d);
  say({"perihelion JED = ", tp});
  return tp;
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
  el.H = ask_double("Enter Absolute magnitude, H");
  el.G = ask_double("Enter slope parameter, G");
}

// The orientation and shape of the orbit (degrees; e).
void ask_angles_and_eccentricity(Elements& el) {
  el.peri = ask_double("Enter argument of perihelion");
  el.node = ask_double("Enter longitude of ascending node");
  el.incl = ask_double("Enter inclination");
  el.e = ask_double("Enter orbital eccentricity");
}

void minor_planet(Elements& el) {
  say({"Enter a minor planet number"});
  say({"(C/R if unnumbered)"});
  Text<30> typed;
  ask_text(typed, 20);
  el.number = typed_number(typed.trimmed());
  ask_identity_epoch_and_magnitudes(el, "Enter a name or provisional designation for this object");
  el.m_or_tp = ask_double("Enter mean anomaly");
  ask_angles_and_eccentricity(el);
  // A zero axis has no mean motion: asked again. A negative one (a
  // hyperbola) takes its mean motion from |a|.
  do {
    el.a_or_q = ask_double("Enter semimajor axis in AU");
  } while (el.a_or_q == 0.0);
  el.n = std::pow(std::fabs(el.a_or_q), -1.5) * ASTCON::GAUSSK * ASTCON::RADDEG;
}

void comet(Elements& el) {
  ask_identity_epoch_and_magnitudes(el, "Enter a designation for this object");
  el.m_or_tp = perihelion_dialogue();
  ask_angles_and_eccentricity(el);
  el.a_or_q = ask_double("Enter perihelion distance q");
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

  // An all-blank name names no file: asked again.
  Text<40> file;
  do {
    say({"Enter a name for this element file"});
    ask_text(file);
  } while (file.blank());
  TextFile f(kFileUnit);
  f.open_write(file.view());
  write(f, {I(9), X(1), A(28), I(4), L("-"), A(3), L("-"), I(2)},
        {el.number, el.name, el.date.year, month_name(el.date.month), el.date.day});
  write(f, {F(30, 18)},
        {el.H, el.G, el.m_or_tp, el.peri, el.node, el.incl, el.e, el.n, el.a_or_q, el.epoch});
  write(f, {A(80)}, {el.source});
  f.close();
  say({"Elements saved in file ", file.view()});
}
