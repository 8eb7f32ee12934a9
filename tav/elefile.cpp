// The element file: its reader, its writer and the console display of an
// element set.
#include "elefile.h"

#include <array>
#include <cmath>
#include <string>
#include <string_view>

#include "astcon.h"
#include "calendar.h"
#include "elefile_lines.h"
#include "elements.h"
#include "textio.h"

namespace {

using namespace lay;

constexpr int kReadUnit = 44;

Text<40> last_read(std::string_view(""));

// Mean motion n (rad/day) from |a|, so that a hyperbola saved in the
// a form gets one too, and the mean anomaly M (rad) at date t. For an
// ellipse M above 2 pi loses 2 pi once, below 0 gains 2 pi once, and no
// more. A hyperbola's M is not an angle: a turn added or taken would move
// the perihelion time that the reader works out from it, so it stays.
void mean_motion_and_anomaly(const ElementSet& el, JulianDate t, double& n, double& M) {
  n = ASTCON::GAUSSK * std::pow(std::fabs(el.aq), -1.5);
  M = (t - el.tp) * n;
  if (!(el.aq > 0)) return;
  if (M > 2 * ASTCON::PI) M -= 2 * ASTCON::PI;
  if (M < 0) M += 2 * ASTCON::PI;
}

// Line 1: number and name in the numbered form when columns 1 to 9 read as
// an integer field, otherwise the first 50 columns as the name and no number.
void read_first_line(std::string_view line) {
  std::int32_t number = 0;
  std::string scratch;
  if (parse_int_field(columns(line, 0, 9, scratch), number)) {
    OBJECT.NUMBER = number;
    OBJECT.NAME = columns(line, 10, 28, scratch);
  } else {
    OBJECT.NUMBER = 0;
    OBJECT.NAME = columns(line, 0, 50, scratch);
  }
}

}  // namespace

void GET_TAV_ELEMENTS(ElementSet& el, double& H, double& G) {
  Text<40> name;
  for (;;) {
    say({"Enter name of input element data file"});
    ask_text(name);
    if (file_exists(name.view())) break;
    say({name.view(), " element file does not exist"});
    say({"Please re-enter file name"});
  }

  TextFile f(kReadUnit);
  f.open_read(name.view());
  last_read = name;
  // A file without a first line is left to the read of line 2 to report.
  std::string line1;
  if (f.read_line(line1)) read_first_line(line1);

  std::array<double, 10> v{};  // lines 2 to 11
  read(f, {F(30, 18)}, {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]});
  read(f, {A(80)}, {OBJECT.ELSRC});
  f.close();

  const double RADDEG = ASTCON::RADDEG;
  H = v[0];
  G = v[1];
  const double n = v[7] / RADDEG;  // rad/day
  el.e = v[6];
  el.i = v[5] / RADDEG;
  el.node = v[4] / RADDEG;
  el.peri = v[3] / RADDEG;
  el.aq = v[8];
  OBJECT.EPOCH = v[9];
  if (v[7] == 0.0) {
    // Comet form: line 4 is the perihelion time, passed through the same
    // conversion as the angles (so its last bit may change).
    const double tp_rad = v[2] / RADDEG;
    el.tp = tp_rad * RADDEG;
    OBJECT.ICOMET = 1;
  } else {
    el.tp = OBJECT.EPOCH - (v[2] / RADDEG) / n;
    OBJECT.ICOMET = 0;
  }
}

const Text<40>& last_element_file_read() {
  return last_read;
}

void SAVE_ELE(const StateVector& s, JulianDate t, const Text<30>& name) {
  const double RADDEG = ASTCON::RADDEG;
  // In the a form XV2ELEM gives the osculating semimajor axis 1/(2/r - v^2)
  // also in its near-parabolic band, so the mean motion always has one.
  ElementSet el;
  XV2ELEM(s, t, el);

  const bool comet_form = OBJECT.ICOMET != 0;
  double line4 = el.tp, line9 = 0.0;  // comet form: Tp and a zero mean motion
  if (!comet_form) {
    double n = 0, M = 0;
    mean_motion_and_anomaly(el, t, n, M);
    line4 = M * RADDEG;
    line9 = n * RADDEG;
  }
  ElementFileLines lines;
  lines.numbered = OBJECT.NUMBER != 0;
  lines.number = OBJECT.NUMBER;
  lines.name = OBJECT.NAME.view();
  double hour = 0;
  JulianDate date = t;
  MYDATE(lines.year, lines.month, lines.day, hour, date, -1);
  lines.values = {
      OBJECT.H, OBJECT.G, line4, el.peri * RADDEG, el.node * RADDEG, el.i * RADDEG, el.e,
      line9,    el.aq,    t};
  const std::string source = "TAV generated file " + name.str();
  lines.source = source;

  // A value too wide for its field (a huge axis in the near-parabolic band,
  // a state with no finite elements), or a mean motion that would be written
  // as zero, would give a file that does not read back, or reads back as
  // another form: no file is written (an earlier file of that name is left
  // as it was), and the console says so.
  if (const int k = first_value_not_carried(lines.values, comet_form); k >= 0) {
    static constexpr std::array<std::string_view, 10> what = {
        "absolute magnitude", "slope parameter",
        "mean anomaly",       "argument of perihelion",
        "ascending node",     "inclination",
        "eccentricity",       "mean motion",
        "semimajor axis",     "date"};
    std::string_view value = what.at(static_cast<std::size_t>(k));
    if (comet_form && k == eleline::M_OR_TP) value = "perihelion date";
    if (comet_form && k == eleline::A_OR_Q) value = "perihelion distance";
    say({"Elements not saved: the ", value, " does not fit the element file"});
    PRINT_ELE(el, t);
    say({"Nothing written on file ", name.view()});
    return;
  }

  TextFile f(kElementFileWriteUnit);
  f.open_write(name.view());
  say({"Elements saved:"});
  PRINT_ELE(el, t);
  write_element_file(f, lines);
  f.close();
  say({"Elements saved on file ", name.view()});
}

void PRINT_ELE(const ElementSet& el, JulianDate t) {
  const double RADDEG = ASTCON::RADDEG;
  TextFile& out = console().out();
  if (t > 0) write(out, {X(1), L("Osculating elements on JD "), F(11, 3), L(" follow:")}, {t});
  if (OBJECT.ICOMET == 0) {
    double n = 0, M = 0;
    mean_motion_and_anomaly(el, t, n, M);
    write(out, {X(1), L("Mean anomaly (M)      = "), F(21, 15)}, {M * RADDEG});
    write(out, {X(1), L("Semi-major axis (a)   = "), F(21, 17)}, {el.aq});
  } else {
    write(out, {X(1), L("Perihelion distance (q) = "), F(21, 17)}, {el.aq});
  }
  // Bytes 236 and 234 show as the symbols of omega and Omega in code page 437.
  write(out, {X(1), L("Angle of per (\xEC)      = "), F(21, 15)}, {el.peri * RADDEG});
  write(out, {X(1), L("Long of asc node (\xEA)  = "), F(21, 15)}, {el.node * RADDEG});
  write(out, {X(1), L("Inclination (i)       = "), F(21, 15)}, {el.i * RADDEG});
  write(out, {X(1), L("Eccentricity (e)      = "), F(21, 17)}, {el.e});
  write(out, {X(1), L("Perihelion date (Tp)  = "), F(21, 12)}, {el.tp});
  out.write_line("");
}
