#include "params.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "calendar.h"
#include "grid.h"
#include "outfiles.h"
#include "records.h"
#include "reduce.h"
#include "stop.h"
#include "textio.h"

namespace {

using lay::A;
using lay::F;
using lay::I;
using lay::L;
using lay::X;

// Unit of the initialization file in the fatal error line.
constexpr int kIniUnit = 111;

// The name table of the dialogue: the parameters in the order of TAVI, each
// name filled with blanks to 7 characters.
constexpr std::array<std::string_view, kParamCount> kNames = {
    "NPOS   ", "YEAR   ", "MONTH  ", "DAY    ", "ET     ", "XJINC  ", "DEL    ",
    "CYEAR  ", "OLAT   ", "OLON   ", "NPLANET", "NCENTER", "MPCFILE", "PLANET ",
    "JPLFILE", "STFILE ", "ENDFIL ", "FORM   ", "METHOD "};

// Numbers of the parameters, in the order of TAVI, that the code names.
enum Param : int {
  P_NPOS = 1,
  P_YEAR = 2,
  P_MONTH = 3,
  P_DAY = 4,
  P_ET = 5,
  P_XJINC = 6,
  P_DEL = 7,
  P_CYEAR = 8,
  P_NPLANET = 11,
  P_NCENTER = 12,
  P_PLANET = 14,
  P_JPLFILE = 15,
  P_FORM = 18,
  P_METHOD = 19,
};

// Nearest whole number, halves away from zero, as a 32-bit integer. Typed
// values beyond 32 bits saturate here and in trunc_to_i32 (the tests then
// refuse them).
std::int32_t round_to_int(double x) {
  return trunc_to_i32(std::round(x));
}

template <std::size_t N>
void to_capitals(Text<N>& t) {
  for (std::size_t i = 0; i < N; ++i)
    if (t[i] >= 'a' && t[i] <= 'z') t[i] = static_cast<char>(t[i] - 'a' + 'A');
}

template <std::size_t N>
bool all_nul(const Text<N>& t) {
  const std::string_view v = t.view();
  return std::all_of(v.begin(), v.end(), [](char c) { return c == '\0'; });
}

bool is_mpc(const EphemState& s) {
  return s.FORM.is("MPC");
}

// The years of the first listed time: those whose dates the listing
// prints (grid.h).
constexpr std::int32_t kFirstYear = kFirstListedYear;
constexpr std::int32_t kLastYear = kLastListedYear;

// A year whose whole part, as the dates take it, lies from `first` to
// `last`: for YEAR the years the listing prints, for CYEAR the years whose
// equinox the listing can carry its places to (reduce.h).
bool year_held(double year, std::int32_t first = kFirstYear, std::int32_t last = kLastYear) {
  const std::int32_t whole = trunc_to_i32(year);
  return whole >= first && whole <= last;
}

// The date and hour of the first listed time, as the derived values make
// them: the whole day of DAY, and for the MPC form the hour from its
// fraction.
struct FirstTime {
  FirstDate date;
  double hour = 0;
};
FirstTime first_time(const EphemState& s) {
  FirstTime t;
  t.date = {trunc_to_i32(RUNPAR.YEAR), RUNPAR.MONTH, trunc_to_i32(s.DAY)};
  t.hour = is_mpc(s) ? (s.DAY - t.date.day) * 24.0 : RUNPAR.ET;
  return t;
}

// The first listed time as a Julian date, before any delta-T, as the
// listing's grid takes it.
JulianDate first_listed_jd(const EphemState& s) {
  const FirstTime t = first_time(s);
  return ::first_listed_jd(t.date, t.hour);
}

// ------------------------------------------------------------ display lines

const Layout form_line = {X(1), L("FORM = "), A(8), L("   Format for output listings")};
const Layout npos_line = {X(1), L("NPOS =  "), I(4), X(5), L(" Positions to print")};
const Layout year_line = {X(1), L("YEAR =  "), I(4), X(5), L(" Year of first position")};
const Layout month_line = {X(1), L("MONTH = "), I(4), X(5), L(" Month of first position")};
const Layout day_mpc_line = {X(1), L("DAY  =  "), F(8, 5), X(1), L(" Day of first position")};
const Layout day_line = {X(1), L("DAY  =  "), I(4), X(5), L(" Day of first position")};
const Layout ut_line = {X(1), L("UT =    "), F(7, 2), X(2),
                        L(" Universal time hours of first position")};
const Layout et_line = {X(1), L("ET =    "), F(7, 2), X(2),
                        L(" Ephemeris time hours of first position")};
const Layout xjinc_line = {X(1), L("XJINC = "), F(7, 2), X(2),
                           L(" Hours between printed positions")};
const Layout xjinc_mpc_line = {X(1), L("XJINC ="), F(9, 5), X(1),
                               L(" Days between printed positions ")};
const Layout del_line = {X(1), L("DEL =   "), F(7, 2), X(2), L(" Integration increment in days")};
const Layout method_line = {X(1), L("METHOD = "), A(), L("   Method of integration")};
const Layout cyear_line = {X(1), L("CYEAR = "), I(4), X(5),
                           L(" Coordinate epoch for printed positions")};
const Layout olat_line = {X(1), L("OLAT =  "), F(7, 2), X(2),
                          L(" Observer latitude for topocentric (>90 for geocentric)")};
const Layout olon_line = {X(1), L("OLON =  "), F(7, 2), X(2),
                          L(" Observer west longitude for topocentric correction")};
const Layout nplanet_line = {X(1), L("NPLANET=  "), I(2), X(5),
                             L(" Number of planets for perturbations (10th is the moon)")};
const Layout ncenter_line = {X(1), L("NCENTER=   "), I(2), X(5),
                             L(" Planet number for center of coordinate system ")};
const Layout mpcfile_line = {X(1), L("MPCFILE =   "), A(), L(" Minor Planet Center database")};
const Layout planet_line = {X(1), L("PLANET = "), A(), L(" Planetary positions (MEAN or JPL )")};
const Layout jplfile_line = {X(1), L("JPLFILE = "), A(), L("JPL Ephemeris file")};
const Layout stfile_line = {X(1), L("STFILE = "), A(),
                            L("   Name for output element file at start")};
const Layout endfil_line = {X(1), L("ENDFIL = "), A(), L("  Name for output element file at end")};

}  // namespace

std::array<GroupVar, kParamCount> tavi_variables(EphemState& s) {
  return {{{"NPOS", Target(RUNPAR.NPOS)},
           {"YEAR", Target(RUNPAR.YEAR)},
           {"MONTH", Target(RUNPAR.MONTH)},
           {"DAY", Target(s.DAY)},
           {"ET", Target(RUNPAR.ET)},
           {"XJINC", Target(RUNPAR.XJINC)},
           {"DEL", Target(RUNPAR.DEL)},
           {"CYEAR", Target(RUNPAR.CYEAR)},
           {"OLAT", Target(OBSERV.OLAT)},
           {"OLON", Target(OBSERV.OLON)},
           {"NPLANET", Target(PERTRB.NPLANET)},
           {"NCENTER", Target(POSNS.NCENTER)},
           {"MPCFILE", Target(s.MPCFILE)},
           {"PLANET", Target(s.PLANET)},
           {"JPLFILE", Target(JPLNAM.JPLFILE)},
           {"STFILE", Target(FILES.STFILE), &s.stfile_too_long},
           {"ENDFIL", Target(FILES.ENDFIL), &s.endfil_too_long},
           {"FORM", Target(s.FORM)},
           {"METHOD", Target(INTEG.METHOD)}}};
}

void initialization_menu(EphemState& s) {
  for (;;) {
    say({"Enter one of the following:"});
    say({"1 => Short output format"});
    say({"2 => Long output format"});
    say({"3 => Astrometric output format"});
    say({"4 => MPC output format"});
    say({"<C/R> => previously built initialization file"});
    Text<1> answer;
    ask_text(answer);
    switch (answer[0]) {
      case '1':
        s.INIFILE = "tavshort.ini";
        break;
      case '2':
        s.INIFILE = "tavlong.ini";
        break;
      case '3':
        s.INIFILE = "tavastrm.ini";
        break;
      case '4':
        s.INIFILE = "tavmpc.ini";
        break;
      case ' ':
        say({"Input initialization file name"});
        ask_text(s.INIFILE);
        break;
      default:
        break;  // INIFILE stays as it was
    }
    if (file_exists(s.INIFILE.view())) break;
    // An answer that names no file (a blank name, or another key before any
    // name was given) has nothing to report as missing: only the menu again.
    if (!names_nothing(s.INIFILE.view())) say({s.INIFILE.trimmed(), " does not exist."});
    s.INIFILE = "";
    say({"Please reenter initialization option"});
  }

  TextFile ini(kIniUnit);
  ini.open_read(s.INIFILE.view());
  const auto vars = tavi_variables(s);
  read_group(ini, "TAVI", vars);
  ini.close();

  // A text that the file does not set would hold NUL characters: a file name
  // of NULs would count as a name and could not be opened, and NULs would be
  // printed in the display. They become blanks. METHOD keeps its NULs, which
  // the display turns into "COWELL".
  auto blank_if_unset = [](auto& text) {
    if (all_nul(text)) text = "";
  };
  blank_if_unset(s.MPCFILE);
  blank_if_unset(s.PLANET);
  blank_if_unset(JPLNAM.JPLFILE);
  blank_if_unset(FILES.STFILE);
  blank_if_unset(FILES.ENDFIL);
  blank_if_unset(s.FORM);
  s.first_call_done = true;
}

void show_parameters(EphemState& s) {
  TextFile& out = console().out();
  const bool mpc = is_mpc(s);
  say({"Here are your initialized ephemeris parameters:"});
  say({" "});
  write(out, form_line, {s.FORM});
  say({"(SHORT=>normal,LONG=>opp.search,ASTRM=>astrometry,MPC=>Minor Planet Center)"});
  write(out, npos_line, {RUNPAR.NPOS});
  write(out, year_line, {trunc_to_i32(RUNPAR.YEAR)});
  write(out, month_line, {RUNPAR.MONTH});
  if (mpc) {
    write(out, day_mpc_line, {s.DAY});
  } else {
    write(out, day_line, {round_to_int(s.DAY)});
  }
  if (s.FORM.is("ASTRM")) {
    write(out, ut_line, {RUNPAR.ET});
  } else if (!mpc) {
    write(out, et_line, {RUNPAR.ET});
  }
  write(out, mpc ? xjinc_mpc_line : xjinc_line, {RUNPAR.XJINC});
  write(out, del_line, {RUNPAR.DEL});
  if (INTEG.METHOD[0] == '\0') INTEG.METHOD = "COWELL";
  write(out, method_line, {INTEG.METHOD});
  write(out, cyear_line, {trunc_to_i32(RUNPAR.CYEAR)});
  write(out, olat_line, {OBSERV.OLAT});
  write(out, olon_line, {OBSERV.OLON});
  write(out, nplanet_line, {PERTRB.NPLANET});
  write(out, ncenter_line, {POSNS.NCENTER});
  write(out, mpcfile_line, {s.MPCFILE});
  write(out, planet_line, {s.PLANET});
  if (s.PLANET.is("JPL")) write(out, jplfile_line, {JPLNAM.JPLFILE});
  write(out, stfile_line, {FILES.STFILE});
  write(out, endfil_line, {FILES.ENDFIL});
  say({"Input name of the variable to change,(C/R to continue)"});
}

void change_parameter(EphemState& s, int k) {
  TextFile& out = console().out();
  const std::string_view name = kNames.at(static_cast<std::size_t>(k - 1));
  const auto prompt = [&] {
    if (k == P_ET) {
      out.write_line(s.FORM.is("ASTRM") ? " Enter new value for UT " : " Enter new value for ET ");
    } else {
      out.write_line(std::string(" Enter new value for ") + std::string(name));
    }
  };
  prompt();

  // The answer goes where the group TAVI puts the parameter's value.
  const auto vars = tavi_variables(s);
  const GroupVar& var = vars.at(static_cast<std::size_t>(k - 1));
  const auto& target = var.target.get();
  if (const auto* text = std::get_if<std::span<char>>(&target)) {
    Text<32> SVAL;
    // A file to write is not cut to its field (it would be made under a
    // name nobody gave): a longer name is asked for again.
    for (;;) {
      const std::size_t typed = ask_text(SVAL);
      if (!var.cut || typed <= text->size()) break;
      say_name_too_long(std::string(name.substr(0, name.find(' '))) + " variable");
      prompt();
    }
    if (var.cut) *var.cut = false;  // the name typed replaces the file's
    to_capitals(SVAL);
    // Into the parameter's own length: JPLFILE is filled with blanks, STFILE
    // and ENDFIL take the first 30 characters, METHOD the first 6.
    const std::size_t n = std::min(text->size(), SVAL.size());
    std::copy_n(SVAL.view().begin(), n, text->begin());
    std::fill(text->begin() + static_cast<std::ptrdiff_t>(n), text->end(), ' ');
    return;
  }
  ask({Target(s.XVAL)});
  if (auto* const* i = std::get_if<std::int32_t*>(&target)) {
    **i = trunc_to_i32(s.XVAL);  // NPOS, MONTH, NPLANET, NCENTER
  } else {
    *std::get<double*>(target) = s.XVAL;
  }
}

double listed_day(const EphemState& s) {
  // A whole day, halves away from zero; the MPC form's fraction is the hour.
  return is_mpc(s) ? s.DAY : std::round(s.DAY);
}

void round_day(EphemState& s) {
  s.DAY = listed_day(s);
}

int failed_value_test(const EphemState& s) {
  // The listing grid holds NPOS+1 times in 500 entries.
  if (RUNPAR.NPOS > kGridSize - 1) {
    say({"NPOS variable out of range, at most 499, please re-enter"});
    return P_NPOS;
  }
  if (!year_held(RUNPAR.YEAR)) {
    say({"YEAR variable out of range 0-9999, please re-enter"});
    return P_YEAR;
  }
  if (RUNPAR.MONTH < 1 || RUNPAR.MONTH > 12) {
    say({"Month variable out of range 1-12, please re-enter"});
    return P_MONTH;
  }
  const double whole_day = std::trunc(listed_day(s));
  if (whole_day < 0 || whole_day > 31) {
    say({"DAY variable out of range 0-32, please re-enter"});
    return P_DAY;
  }
  // The listing's dates go from the Julian calendar to the Gregorian at
  // 1582 October 15, which follows October 4: the days between are in
  // neither.
  if (skipped_by_the_calendar(trunc_to_i32(RUNPAR.YEAR), RUNPAR.MONTH, trunc_to_i32(whole_day))) {
    say({kSkippedDaysMessage});
    return P_DAY;
  }
  if (RUNPAR.ET < 0 || RUNPAR.ET > 24) {
    say({"Hour variable out of range 0-24, please re-enter"});
    return P_ET;
  }
  // The equinox of the printed places is 1 January of the year CYEAR, as
  // far from today as the precession still holds.
  if (!year_held(RUNPAR.CYEAR, kFirstEquinoxYear, kLastEquinoxYear)) {
    say({"CYEAR variable out of range 0-5215, please re-enter"});
    return P_CYEAR;
  }
  if (PERTRB.NPLANET < 1 || PERTRB.NPLANET > 10) {
    say({"NPLANET variable out of range 1-10, please re-enter"});
    return P_NPLANET;
  }
  const bool mean = s.PLANET.is("MEAN");
  const bool jpl = s.PLANET.is("JPL");
  if (mean && POSNS.NCENTER != 3) {
    say({"NCenter must be Earth (=3) to use MEAN planet positions"});
    say({"Please re-enter ncenter"});
    return P_NCENTER;
  }
  if (!jpl && !mean) {
    say({"PLANET must be set to JPL or MEAN, please re-enter"});
    return P_PLANET;
  }
  if (!s.FORM.is("MPC") && !s.FORM.is("ASTRM") && !s.FORM.is("SHORT") && !s.FORM.is("LONG")) {
    say({"FORM is SHORT, LONG, ASTRM or MPC. Please re-enter"});
    return P_FORM;
  }
  if (jpl && !file_exists(JPLNAM.JPLFILE.view())) {
    say({"WARNING JPL data file ", JPLNAM.JPLFILE.trimmed(), " does not exist"});
    say({"Please enter a new name/location for JPLFILE"});
    return P_JPLFILE;
  }
  return 0;
}

void set_planet_source(EphemState& s) {
  const bool mean = s.PLANET.is("MEAN");
  if (mean && PERTRB.NPLANET > 8) {
    say({"For mean elements, nplanet must be 8 or less"});
    say({"nplanet has been reset to 8"});
    PERTRB.NPLANET = 8;
  }
  PLNSRC.IMEAN = mean ? 1 : 0;
}

int failed_run_test(const EphemState& s) {
  // The method is compared as held: a name in lower case from an
  // initialization file is refused here, and the answer typed then is
  // turned into capitals.
  const Text<6>& METHOD = INTEG.METHOD;
  const bool integrating = METHOD.is("COWELL") || METHOD.is("ENCKE");
  if (!integrating && !METHOD.is("KEPLER") && !METHOD.is("RKD")) {
    say({"METHOD is KEPLER, COWELL, ENCKE or RKD. Please re-enter"});
    return P_METHOD;
  }
  // The light time of each line comes from the change of place between two
  // listed times: without an interval there is none.
  if (RUNPAR.XJINC == 0.0) {
    say({"XJINC variable must not be 0, please re-enter"});
    return P_XJINC;
  }
  // The fixed-step methods fill the listed times in the order of their
  // steps, forwards from the first: a listing that runs backwards is left
  // behind (RKD, whose steps follow the listing, can list it).
  if (integrating && RUNPAR.XJINC < 0.0) {
    say({"XJINC variable must be above 0 for COWELL and ENCKE, please re-enter"});
    return P_XJINC;
  }
  // The fixed-step methods step by DEL; a KEPLER solution leaves it 0.
  if (integrating && !(RUNPAR.DEL > 0.0)) {
    say({"DEL variable must be above 0 for COWELL and ENCKE, please re-enter"});
    return P_DEL;
  }
  // A step lost when added to the first listed time (below half a unit in
  // the last place of its Julian date, 2.3e-10 day for dates of today) does
  // not move a step's date on: the dates then move only every few steps,
  // and a listing longer than minutes needs more steps than an integration
  // may take.
  if (integrating) {
    const JulianDate jd = first_listed_jd(s);
    if (jd + RUNPAR.DEL == jd) {
      say({"DEL variable too small to advance the listed times, please re-enter"});
      return P_DEL;
    }
  }
  // The observing body is a planet request's centre, 1 to 13.
  if (POSNS.NCENTER < 1 || POSNS.NCENTER > 13) {
    say({"NCENTER variable out of range 1-13, please re-enter"});
    return P_NCENTER;
  }
  // The names of the files to write; the capture file too, which was named
  // before the initialization file was read and its files named.
  return files_to_write_test(s);
}

int parameter_tests(EphemState& s) {
  round_day(s);
  if (const int k = failed_value_test(s)) return k;
  set_planet_source(s);
  return failed_run_test(s);
}

void ask_again(EphemState& s, int k) {
  if (k == kCaptureQuestion) {
    ask_capture_file(s);
  } else {
    change_parameter(s, k);
  }
}

void set_derived_values(EphemState& s) {
  const FirstTime t = first_time(s);
  RUNPAR.IDAY = t.date.day;
  if (is_mpc(s)) {
    RUNPAR.ET = t.hour;    // the fraction of the day in hours
    RUNPAR.XJINC *= 24.0;  // days into hours
  }
  s.first = t.date;
}

void interval_back_to_days(const EphemState& s) {
  if (is_mpc(s)) RUNPAR.XJINC /= 24.0;
}

void parameter_dialogue(EphemState& s) {
  for (;;) {
    show_parameters(s);
    Text<7> VNAME;
    ask_text(VNAME);
    if (VNAME.blank()) {
      const int k = parameter_tests(s);
      if (k == 0) break;
      ask_again(s, k);
      continue;
    }
    to_capitals(VNAME);
    if (VNAME.is("UT")) VNAME = "ET";
    const auto it = std::find(kNames.begin(), kNames.end(), VNAME.view());
    if (it != kNames.end()) change_parameter(s, static_cast<int>(it - kNames.begin()) + 1);
  }
  set_derived_values(s);
}
