#include "listing.h"

#include <cmath>
#include <stdexcept>
#include <variant>

#include "astcon.h"
#include "frames.h"
#include "grid.h"
#include "positions.h"
#include "records.h"

namespace {

using namespace lay;

Form current_form = Form::Short;

constexpr std::int32_t kPageLines = 1000000;  // lines before the page prompt
const std::string kDegree = "\xF8";           // the degree sign of code page 437

bool is_value_field(const Piece& p) {
  return p.kind == Piece::Kind::Int || p.kind == Piece::Kind::Fixed || p.kind == Piece::Kind::Text;
}

// An integer field from a whole number held as a double; not a number or a
// value beyond the integers overflows the field (asterisks).
std::int32_t whole(double v) {
  if (!std::isfinite(v) || std::fabs(v) >= 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(v);
}

std::string_view sign_text(char sign) {
  return sign == '-' ? "-" : "+";
}

// ------------------------------------------------------------ the layouts
//
// Columns as the forms print them; each layout is one line.

const Layout short_line = {X(1),    I(4),       L("-"),  A(3),    L("-"),  I(2),   X(1),    F(4, 1),
                           X(2),    I(2),       L("h"),  X(1),    F(5, 2), L("m"), X(2),    A(1),
                           I(2),    L(kDegree), X(1),    F(4, 1), L("'"),  X(2),   F(5, 1), X(1),
                           F(7, 3), X(1),       F(7, 3), X(2),    F(5, 1), X(2),   F(5, 1)};
const Layout long_line = {X(1),    I(4), L("-"),     A(3),    L("-"),  I(2),    X(1),
                          F(4, 1), X(1), I(2),       L("h"),  F(5, 2), L("m"),  X(1),
                          A(1),    I(2), L(kDegree), F(4, 1), L("'"),  F(9, 5), X(1),
                          F(5, 1), X(1), F(10, 6),   X(1),    F(5, 1), X(1),    F(9, 5)};
const Layout astrm_line = {X(1),   I(4),    L("-"),  A(3),   L("-"),  I(2),    X(2), I(2),
                           L("h"), I(2),    L("m"),  X(2),   I(2),    L("h"),  X(1), I(2),
                           L("m"), X(1),    F(5, 2), L("s"), X(2),    A(1),    I(2), L(kDegree),
                           X(1),   I(2),    L("'"),  X(1),   F(4, 1), L("\""), X(2), F(5, 1),
                           X(2),   F(7, 3), X(2),    F(7, 3)};
const Layout mpc_line = {X(1),    I(4), L("-"),     A(3),   X(2),    F(8, 5), X(3),   I(2),
                         L("h"),  X(1), I(2),       L("m"), X(1),    F(5, 2), L("s"), X(2),
                         A(1),    I(2), L(kDegree), X(1),   I(2),    L("'"),  X(1),   F(4, 1),
                         L("\""), X(2), F(5, 1),    X(1),   F(7, 3), X(1),    F(7, 3)};

const Layout short_header = {X(4), L("DATE"), X(6), L("ET"),    X(4), L("RA("), I(4), L(")"),
                             X(4), L("DEC("), I(4), L(")"),     X(5), L("Mv"),  X(4), L("Sun"),
                             X(3), A(7),      X(1), L("Phase"), X(3), L("Elon")};
const Layout astrm_header = {X(4), L("Date"), X(8), L("UT"),   X(7), L("RA("),
                             I(4), L(")"),    X(7), L("Dec("), I(4), L(")"),
                             X(7), L("Mv"),   X(5), L("Sun"),  X(5), A(7)};
const Layout long_header = {X(4), L("DATE"), X(6), L("ET"),    X(2), L("RA("), I(4), L(")"),
                            X(2), L("DEC("), I(4), L(")"),     X(5), L("Mv"),  X(5), L("Sun"),
                            X(3), A(7),      X(3), L("Phase"), X(2), L("Elon")};
const Layout mpc_header = {X(4), L("Date"), X(4), L("UT(day)"), X(7), L("RA("),
                           I(4), L(")"),    X(7), L("Dec("),    I(4), L(")"),
                           X(7), L("Mv"),   X(4), L("Sun"),     X(4), A(7)};

const Layout title_console = {L("Elements :  "), A(40)};
const Layout title_capture = {L("Elements from:  "), A(40)};
const Layout planet_numbered = {X(10), L("Planet : "), I(8), X(1), A(40)};
const Layout planet_named = {X(10), L("Planet : "), A(40)};
const Layout comet_numbered = {X(2), L("Comet : "), I(8), X(1), A(40)};
const Layout comet_named = {X(2), L("Comet : "), A(40)};
const Layout origin_line = {L("  Origin is at "), A(7)};
const Layout closing_line = {X(1), L("Screen output is in file named "), A(30)};
const Layout short_notice = {X(1), L("Only "), I(3), L(" of "), I(3), L(" lines listed: "), A()};

// ------------------------------------------------------------ the writer

// Sends each line to the console and, when one is open, the capture file.
class ListingWriter {
 public:
  explicit ListingWriter(TextFile* capture) : capture_(capture) {}
  void both(std::string_view line) {
    console().out().write_line(line);
    if (capture_) capture_->write_line(line);
  }

 private:
  TextFile* capture_;
};

}  // namespace

// ---------------------------------------------------------------- pieces

Form select_form(const Text<32>& FORM) {
  const Text<30> f(FORM.view().substr(0, 30));
  if (f.is("SHORT")) return Form::Short;
  if (f.is("ASTRM")) return Form::Astrm;
  if (f.is("LONG")) return Form::Long;
  if (f.is("MPC")) return Form::Mpc;
  return current_form;
}

void reset_listing_form() {
  current_form = Form::Short;
}

std::string checked_line(const Layout& layout, std::initializer_list<Value> values) {
  std::size_t fields = 0;
  for (const Piece& p : layout.pieces()) {
    if (is_value_field(p)) ++fields;
    if (p.kind == Piece::Kind::LineEnd || p.kind == Piece::Kind::Stop)
      throw std::logic_error("a listing layout is one line");
  }
  if (fields != values.size())
    throw std::logic_error("layout of " + std::to_string(fields) + " fields given " +
                           std::to_string(values.size()) + " values");
  std::string line;
  const Value* v = values.begin();
  for (const Piece& p : layout.pieces()) {
    switch (p.kind) {
      case Piece::Kind::Literal:
        line += p.lit;
        continue;
      case Piece::Kind::Blanks:
        line.append(static_cast<std::size_t>(std::max(p.w, 0)), ' ');
        continue;
      default:
        break;
    }
    const auto& x = (v++)->get();
    if (p.kind == Piece::Kind::Int && std::holds_alternative<std::int32_t>(x)) {
      line += format_int(std::get<std::int32_t>(x), p.w);
    } else if (p.kind == Piece::Kind::Fixed && std::holds_alternative<double>(x)) {
      const double d = std::get<double>(x);
      line += std::isfinite(d) ? format_fixed(d, p.w, p.d)
                               : std::string(static_cast<std::size_t>(p.w), '*');
    } else if (p.kind == Piece::Kind::Text && std::holds_alternative<std::string_view>(x)) {
      line += format_text(std::get<std::string_view>(x), p.w);
    } else {
      throw std::logic_error("value does not suit its field");
    }
  }
  return line;
}

UnitsMinutesSeconds split_rounded(double value, bool seconds, double scale) {
  double m = (value - std::trunc(value)) * 60.0;
  double sec = 0.0;
  if (!seconds) {
    m = std::round(m * scale) / scale;
  } else {
    sec = (m - std::trunc(m)) * 60.0;
    m = std::trunc(m);
    sec = std::round(sec * scale) / scale;
    if (sec == 60.0) {
      sec = 0.0;
      m += 1.0;
    }
  }
  double units = std::trunc(value);
  if (m == 60.0) {
    m = 0.0;
    units += 1.0;
  }
  return {units, m, sec};
}

Sexagesimal sexagesimal(double RA, double DEC, Form form) {
  Sexagesimal out;
  const bool seconds = form == Form::Astrm || form == Form::Mpc;
  out.sign = DEC < 0.0 ? '-' : '+';
  // Light time and aberration can carry a place at 0 h just below 0 or to
  // 2 pi when no precession follows: shown as 23 h 59 m and 0 h. Any other
  // value is brought into [0, 2 pi) as well, so that no line shows more
  // than 23 h.
  RA = angle_in_circle(RA);
  // Right ascension to 0.01 second or minute of time, declination to 0.1
  // second or minute of arc.
  const UnitsMinutesSeconds ra = split_rounded(ASTCON::RADDEG * RA / 15.0, seconds, 100.0);
  const UnitsMinutesSeconds dec = split_rounded(std::fabs(ASTCON::RADDEG * DEC), seconds, 10.0);
  out.h = ra.units == 24.0 ? 0.0 : ra.units;
  out.m = ra.m;
  out.sec = ra.sec;
  out.deg = dec.units;  // a carry moves one degree further from zero; the sign is kept apart
  out.dm = dec.m;
  out.ds = dec.sec;
  return out;
}

std::string centre_name(std::int32_t NCENTER) {
  static constexpr std::string_view names[] = {"Mercury", "Venus",   "Earth",   "Mars",  "Jupiter",
                                               "Saturn",  "Uranus",  "Neptune", "Pluto", "Moon",
                                               "Sun",     "SS bary", "EM bary"};
  const std::string_view n = NCENTER >= 1 && NCENTER <= 13
                                 ? names[static_cast<std::size_t>(NCENTER - 1)]
                                 : std::string_view("Unknown");
  std::string s(n);
  s.resize(7, ' ');
  return s;
}

std::string header_line(Form form, std::int32_t year, std::string_view centre) {
  switch (form) {
    case Form::Short:
      return checked_line(short_header, {year, year, centre});
    case Form::Astrm:
      return checked_line(astrm_header, {year, year, centre});
    case Form::Long:
      return checked_line(long_header, {year, year, centre});
    case Form::Mpc:
      return checked_line(mpc_header, {year, year, centre});
  }
  throw std::logic_error("form");
}

std::string underline(Form form) {
  switch (form) {
    case Form::Short:
      return "    ----      --    --------    ---------     --    ---   -----   -----   ----";
    case Form::Astrm:
      return "    ----        --       --------       ---------       --     ---     -----";
    case Form::Long:
      return "    ----      --  --------  ---------     --     ---   -----     -----  ----";
    case Form::Mpc:
      return "    ----    -------       --------       ---------       --    ---    -----";
  }
  throw std::logic_error("form");
}

std::string data_line(Form form, const LineValues& v) {
  const ReducedLine& q = v.reduced;
  const Sexagesimal p = sexagesimal(q.ra, q.dec, form);
  const std::string_view month = month_text(v.month);
  const std::string_view sign = sign_text(p.sign);
  switch (form) {
    case Form::Short:
      return checked_line(short_line,
                          {v.year, month, v.day, v.hour, whole(p.h), p.m, sign, whole(p.deg), p.dm,
                           q.magnitude, v.r, v.delta, q.phase, q.elongation});
    case Form::Long:
      return checked_line(long_line,
                          {v.year, month, v.day, v.hour, whole(p.h), p.m, sign, whole(p.deg), p.dm,
                           q.magnitude, v.r, v.delta, q.phase, q.elongation});
    case Form::Astrm: {
      // Whole hours and minutes of the time, rounded as the right ascension
      // is: a time a few thousandths of a second below a whole minute (an
      // hour of 0.99999999 from the calendar) shows as that minute.
      const UnitsMinutesSeconds ut = split_rounded(v.hour, true, 100.0);
      return checked_line(
          astrm_line, {v.year, month, v.day, whole(ut.units), whole(ut.m), whole(p.h), whole(p.m),
                       p.sec, sign, whole(p.deg), whole(p.dm), p.ds, q.magnitude, v.r, v.delta});
    }
    case Form::Mpc:
      return checked_line(mpc_line, {v.year, month, static_cast<double>(v.day) + v.hour / 24.0,
                                     whole(p.h), whole(p.m), p.sec, sign, whole(p.deg), whole(p.dm),
                                     p.ds, q.magnitude, v.r, v.delta});
  }
  throw std::logic_error("form");
}

// ---------------------------------------------------------------- RADEC

void RADEC(const Text<32>& FORM) {
  current_form = select_form(FORM);
  const Form form = current_form;
  const ReductionFrame frame = reduction_frame(RUNPAR.CYEAR);

  TextFile capture(13);
  const bool capturing = !FILES.SCRFILE.blank();
  if (capturing) capture.open_write(FILES.SCRFILE.view());
  ListingWriter out(capturing ? &capture : nullptr);
  TextFile& con = console().out();

  // Title block: the console and the capture file name the source apart.
  con.write_line("");
  con.write_line("");
  con.write_line(checked_line(title_console, {OBJECT.ELSRC.view().substr(0, 40)}));
  if (capturing) {
    capture.write_line("");
    capture.write_line("");
    capture.write_line(checked_line(title_capture, {OBJECT.ELSRC.view().substr(0, 40)}));
  }

  // Object line and, from another body than the Earth, the origin line.
  out.both("");
  out.both("");
  const std::string_view name = OBJECT.NAME.view().substr(0, 40);
  const bool comet = OBJECT.ICOMET == 1;
  if (OBJECT.NUMBER != 0) {
    out.both(checked_line(comet ? comet_numbered : planet_numbered, {OBJECT.NUMBER, name}));
  } else {
    out.both(checked_line(comet ? comet_named : planet_named, {name}));
  }
  const std::string centre = centre_name(POSNS.NCENTER);
  if (POSNS.NCENTER != 3) out.both(checked_line(origin_line, {centre}));

  out.both("");
  out.both(header_line(form, trunc_to_i32(RUNPAR.CYEAR), centre));
  out.both(underline(form));

  // The lines whose entry and the next one hold positions of this object,
  // within the entries of the grid when its dates left the years that the
  // lines can print: what ends first gives the reason of the notice.
  std::int32_t usable = listing_entries_filled();
  std::string_view why = listing_fill_reason();
  if (const ListingGridCut& cut = listing_grid_cut(); cut.cut && cut.entries <= usable) {
    usable = cut.entries;
    why = cut.reason;
  }
  const std::int32_t lines = std::max(0, std::min(RUNPAR.NPOS, usable - 1));
  std::int32_t NLINE = 5;
  for (std::int32_t I = 1; I <= lines; ++I) {
    LineValues v;
    v.reduced = reduce_entry(I, frame);
    v.year = DATES.IYR(I);
    v.month = DATES.IMO(I);
    v.day = DATES.IDY(I);
    v.hour = DATES.HR(I);
    v.r = POSNS.RHELIO(I);
    v.delta = POSNS.DELTA(I);
    out.both(data_line(form, v));
    if (++NLINE == kPageLines) {
      say({"C/R to continue"});
      ask({});
      NLINE = 0;
    }
  }
  if (lines < RUNPAR.NPOS) {
    if (why.empty()) why = "no positions for the later lines";
    out.both(checked_line(short_notice, {lines, RUNPAR.NPOS, why}));
  }
  start_listing_fill();

  if (capturing) {
    con.write_line(checked_line(closing_line, {FILES.SCRFILE}));
    capture.close();
  }
}
