#include "source.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "cowell.h"
#include "de405_masses.h"
#include "elefile.h"
#include "elements.h"
#include "encke.h"
#include "kepler.h"
#include "major.h"
#include "mpcorb.h"
#include "outfiles.h"
#include "parabola.h"
#include "params.h"
#include "positions.h"
#include "records.h"
#include "rkd.h"
#include "step_bound.h"
#include "textio.h"

namespace {

// Epoch given to elements that have none (a negative epoch).
constexpr JulianDate kDefaultEpoch = 2449400.5;

// A positive number in plain decimals with at most `digits` significant
// digits and no trailing zeros (2, 0.00052, 10000), rounded to the nearest,
// or when `down` to the largest such number that, read back, is not above v
// (so that the DEL a notice gives serves when typed).
std::string plain_number(double v, int digits, bool down) {
  char buf[48];
  // Beyond plain decimals of a sensible length, the exponent form.
  if (!(v >= 1e-12 && v < 1e12)) {
    std::snprintf(buf, sizeof buf, "%.*g", digits, v);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, v);
  const std::string e(buf);
  const std::size_t at = e.find('e');
  std::string mantissa = e.substr(0, at);
  mantissa.erase(std::remove(mantissa.begin(), mantissa.end(), '.'), mantissa.end());
  long long n = std::stoll(mantissa);
  const int power = std::atoi(e.c_str() + at + 1) - (digits - 1);  // v is about n x 10^power
  const auto text = [power](long long m) {
    std::string t = std::to_string(m);
    if (power >= 0) return t + std::string(static_cast<std::size_t>(power), '0');
    const std::size_t decimals = static_cast<std::size_t>(-power);
    if (t.size() <= decimals) t.insert(0, decimals - t.size() + 1, '0');
    t.insert(t.size() - decimals, ".");
    while (t.back() == '0') t.pop_back();
    if (t.back() == '.') t.pop_back();
    return t;
  };
  if (down)
    while (n > 1 && std::strtod(text(n).c_str(), nullptr) > v) --n;
  return text(n);
}

// For COWELL and ENCKE, a DEL longer than the longest step that serves the
// orbit and the listing (step_bound.h): writes why and which DEL would
// serve, and returns true. The listing is not made.
bool fixed_step_too_long(const StateVector& s0, JulianDate epoch, JulianDate JD0) {
  const bool cowell = INTEG.METHOD.is("COWELL");
  if (!cowell && !INTEG.METHOD.is("ENCKE")) return false;
  JulianDate last = JD0;
  for (std::int32_t i = 1; i <= RUNPAR.NPOS + 1 && i <= kGridSize; ++i)
    last = std::max(last, POSNS.TJD(i));
  const StepBound b = longest_fixed_step(cowell ? FixedStepKind::Cowell : FixedStepKind::Encke,
                                         PERTRB.NPLANET, s0, epoch, JD0, last);
  if (!(RUNPAR.DEL > b.longest)) return false;
  const std::string del = "DEL = " + plain_number(RUNPAR.DEL, 6, false) + " days is too long for ";
  const std::string needs = std::string(cowell ? "COWELL" : "ENCKE") + " needs DEL at most " +
                            plain_number(b.longest, 2, true) + " days";
  switch (b.limit) {
    case StepLimit::Sun:
      say({del + "this orbit."});
      say({"Within the integrated span it comes to " + plain_number(b.closest, 2, false) +
           " AU from the Sun:"});
      say({needs + " there."});
      break;
    case StepLimit::Mercury:
      say({del + "the pull of Mercury (an 88-day orbit):"});
      say({needs + " over this span."});
      break;
    case StepLimit::Venus:
      say({del + "the pull of Venus (a 225-day orbit):"});
      say({needs + " over this span."});
      break;
  }
  say({"No listing is made: change DEL (or METHOD) and choose the elements again."});
  return true;
}

}  // namespace

void two_leg_run(const FixedStepMethod& method, const StateVector& s0, JulianDate epoch,
                 JulianDate JD0, ListingSink& sink) {
  StateVector end;
  // A listing that starts at the epoch takes two legs too: in one leg the
  // first output step would lie exactly one step after the first listed
  // time, outside the window that fills it, and that line would never be
  // filled.
  if (JD0 > epoch) {
    JulianDate tout = JD0;
    method(s0, epoch, end, RUNPAR.DEL, RUNPAR.NPOS, tout, sink);
    return;
  }
  JulianDate TM = JD0 - RUNPAR.DEL;  // the turning date, one step before JD0
  StateVector turning;
  RUNPAR.DEL = -RUNPAR.DEL;
  method(s0, epoch, turning, RUNPAR.DEL, RUNPAR.NPOS, TM, sink);
  RUNPAR.DEL = -RUNPAR.DEL;
  JulianDate tout = JD0;
  method(turning, TM, end, RUNPAR.DEL, RUNPAR.NPOS, tout, sink);
}

double rkd_direction(JulianDate JD0, JulianDate epoch) {
  return JD0 - epoch >= 0.0 ? 3.0 : -3.0;
}

ElementSourceState& element_source_state() {
  static ElementSourceState state;
  return state;
}

std::int32_t ask_element_source() {
  std::int32_t& IOPT = element_source_state().IOPT;
  do {
    say({"Options for elements:"});
    say({"   1 => Search MPCORB by number"});
    say({"   2 => Search MPCORB by name"});
    say({"   3 => From a file generated by this program or kestle,"});
    say({"   4 => From JPLEPH for major planet ephemeris"});
    say({"Enter element option"});
    Text<1> answer;
    ask_text(answer);
    switch (answer[0]) {
      case '1':
        IOPT = 1;
        break;
      case '2':
        IOPT = 2;
        break;
      case '3':
      case ' ':
        IOPT = 3;
        break;
      case '4':
        IOPT = 4;
        break;
      default:
        break;  // the previous source again; none yet at the first question
    }
  } while (IOPT == 0);
  return IOPT;
}

void set_third_mass() {
  PERTRB.MASS(3) = de405_third_mass(PERTRB.NPLANET);
}

StateVector state_at_epoch(const ElementSet& el, JulianDate epoch, std::int32_t icomet) {
  StateVector s;
  if (icomet == 1 && el.e > 0.98 && el.e < 1.02) {
    PARABOLA(el, epoch, s);
  } else {
    ELEM2XV(el, epoch, icomet, s);
  }
  return s;
}

void propagate(const StateVector& s0, JulianDate epoch, JulianDate JD0) {
  const Text<6>& METHOD = INTEG.METHOD;
  if (METHOD.is("KEPLER")) {
    RUNPAR.DEL = 0.0;  // stays in the run parameters
    say({"Doing Kepler solution..."});
    StateVector s;
    KEPLER(s0, epoch, s, JD0);
    std::int32_t first = 1;
    XVPOS(s, JD0, RUNPAR.DEL, first);  // DEL 0: the whole table from one state
  } else if (METHOD.is("COWELL")) {
    GridSink sink;
    two_leg_run([](const StateVector& a, JulianDate ta, StateVector& b, double h, std::int32_t n,
                   JulianDate& tb, ListingSink& k) { COWLS(a, ta, b, h, n, tb, k); },
                s0, epoch, JD0, sink);
  } else if (METHOD.is("ENCKE")) {
    GridSink sink;
    two_leg_run([](const StateVector& a, JulianDate ta, StateVector& b, double h, std::int32_t n,
                   JulianDate& tb, ListingSink& k) { ENCKE(a, ta, b, h, n, tb, k); },
                s0, epoch, JD0, sink);
  } else if (METHOD.is("RKD")) {
    double h = 0.0;
    START_RKD(s0.x, s0.y, s0.z, epoch, rkd_direction(JD0, epoch), h);
    GridSink sink;
    RKDINT(s0, epoch, RUNPAR.NPOS, h, sink);
  } else {
    // The parameter tests refuse any other method.
    throw std::logic_error("unknown METHOD");
  }
}

SourceOutcome fill_positions(EphemState& s) {
  ElementSet el;
  switch (ask_element_source()) {
    case 1:
    case 2:
      GET_MPC_ELEMENTS(s.MPCFILE, element_source_state().IOPT, el, OBJECT.H, OBJECT.G);
      OBJECT.PNAME = "";  // a minor planet takes no major body's magnitude law
      break;
    case 3:
      GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G);
      OBJECT.PNAME = "";
      // The element file read may not be written over: a capture file or
      // an element file to write that names it is asked for again.
      s.ELEFILE = last_element_file_read();
      while (const int k = files_to_write_test(s)) ask_again(s, k);
      break;
    default:
      return MAJOR_PLANETS() == kMajorRefused ? SourceOutcome::Refused : SourceOutcome::Filled;
  }

  set_third_mass();
  say({"Input elements:"});
  PRINT_ELE(el, OBJECT.EPOCH);
  if (OBJECT.EPOCH < 0.0) {
    OBJECT.EPOCH = kDefaultEpoch;
    RUNPAR.DEL = 0.0;
    say({"No osculation date, Kepler solution is being done"});
    INTEG.METHOD = "KEPLER";
  }
  const StateVector s0 = state_at_epoch(el, OBJECT.EPOCH, OBJECT.ICOMET);
  // A step too long for the orbit would list places far off without a
  // word: back to the parameter display, as a refused major-planet listing
  // goes, where DEL is changed. The element file read is no longer in use.
  if (fixed_step_too_long(s0, OBJECT.EPOCH, s.JD0)) {
    s.ELEFILE = "";
    return SourceOutcome::Refused;
  }
  start_listing_fill();  // a method that fills nothing lists nothing
  propagate(s0, OBJECT.EPOCH, s.JD0);
  return SourceOutcome::Filled;
}
