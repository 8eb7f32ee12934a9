// Search and decoding of the MPCORB file.
#include "mpcorb.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "astcon.h"
#include "calendar.h"
#include "stop.h"
#include "textio.h"

namespace {

using namespace lay;

constexpr int kUnit = 100;
constexpr int kHeaderLines = 39;  // the search starts at line 40
constexpr std::int32_t kPluto = 134340;

std::string_view trim_right(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1);
}

std::string_view trim_left(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string_view() : s.substr(first);
}

// The number in parentheses of columns 167-174, moved to the left.
std::string_view number_columns(std::string_view line, std::string& scratch) {
  return trim_right(trim_left(columns(line, 166, 8, scratch)));
}

// What the user asked for and how a line is compared with it. Texts are
// compared exactly, the shorter one filled with blanks.
struct SearchKey {
  std::int32_t choice = 1;
  Text<28> key;  // number search: "(" typed text ")"; name search: as typed

  bool matches(std::string_view line, std::string& scratch) const {
    const std::string_view k = key.trimmed();
    if (choice == 2) {
      // Only the first 16 characters of the name are in the compared columns.
      if (k.size() > 16) return false;
      const std::string_view field = columns(line, 175, 16, scratch);
      return trim_right(field) == k;
    }
    return number_columns(line, scratch) == k;
  }
};

SearchKey ask_key(std::int32_t choice) {
  SearchKey s;
  s.choice = choice;
  if (choice == 2) {
    say({"Enter minor planet name (as it appears in MPC)"});
    ask_text(s.key);
  } else {
    say({"Enter minor planet number"});
    Text<28> typed;
    typed = "";
    ask({typed});
    std::string k = "(";
    k += typed.trimmed();
    k += ')';
    s.key = k;
  }
  return s;
}

// Line 1 gives the title (columns 36-75); lines 2 to 39 are skipped.
void read_header(TextFile& f) {
  Text<40> title;
  read(f, {X(35), A(40)}, {title});
  OBJECT.ELSRC = title.view();
  for (int k = 2; k <= kHeaderLines; ++k) f.next_line();
}

// Reads lines until one matches; false at the end of the file.
bool find_line(TextFile& f, const SearchKey& key, std::string& line) {
  std::string scratch;
  while (f.read_line(line)) {
    if (key.matches(line, scratch)) return true;
  }
  return false;
}

// The value of a packed text: each character's value weighs 10 to the power
// of the number of characters after it.
std::int32_t unpack_number(std::string_view packed) {
  std::int32_t n = 0;  // at most 7 characters of value -48..200: no overflow
  for (char c : trim_right(packed)) n = n * 10 + IUNPACK(c);
  return n;
}

// A number of the file in single precision, widened again. A value beyond
// the range of single precision cannot be read into it.
double single(double v, const TextFile& f) {
  if (!(std::fabs(v) <= FLT_MAX)) f.fail(ioerr::CONVERSION);
  return static_cast<double>(static_cast<float>(v));
}

bool packed_digit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
}

// The epoch from the packed century (column 21), year (22-23), month (24)
// and day (25), at 0 h. Characters that cannot be a date make the line
// malformed.
JulianDate packed_epoch(char century, std::int32_t yy, char month_c, char day_c,
                        const TextFile& f) {
  std::int32_t year = 100 * IUNPACK(century) + yy;
  std::int32_t month = IUNPACK(month_c), day = IUNPACK(day_c);
  if (!packed_digit(century) || yy < 0 || month < 1 || month > 12 || day < 1 || day > 31)
    f.fail(ioerr::CONVERSION);
  double hour = 0.0;
  JulianDate jd = 0;
  MYDATE(year, month, day, hour, jd, 1);
  return jd;
}

}  // namespace

std::int32_t IUNPACK(char c) {
  const int code = static_cast<unsigned char>(c);
  // Lower-case letters continue after "Z" (a0191 is 360191).
  if (c >= 'a' && c <= 'z') return code - 61;
  return code >= 65 ? code - 55 : code - 48;
}

void GET_MPC_ELEMENTS(const Text<32>& MPCFILE, std::int32_t choice, ElementSet& el, double& H,
                      double& G) {
  if (file_kind(MPCFILE.view()) == FileKind::Missing) {
    say({"MPCORB file not found, exiting program."});
    throw ProgramStop(StopKind::MpcorbMissing);
  }
  TextFile f(kUnit);
  SearchKey key;
  std::string line;
  for (;;) {
    f.open_read(MPCFILE.view());
    read_header(f);
    key = ask_key(choice);
    if (find_line(f, key, line)) break;
    say({"End of MPCORB encountered. Re-enter input information"});
    say({"Names are case sensitive and may include spaces."});
    f.close();
  }

  // The matched line, by its columns.
  Text<7> packed;
  Text<1> century, month_c, day_c;
  std::int32_t yy = 0;
  double h = 0, g = 0, M = 0, peri = 0, node = 0, incl = 0, e = 0, n = 0, a = 0;
  read_text(line, {A(7), X(1),    F(5, 2), X(1),    F(5, 2), X(1),     A(1), I(2),
                   A(1), A(1),    X(1),    F(9, 5), X(2),    F(9, 5),  X(2), F(9, 5),
                   X(2), F(9, 5), X(2),    F(9, 7), X(1),    F(11, 8), X(1), F(11, 7)},
            {packed, h, g, century, yy, month_c, day_c, M, peri, node, incl, e, n, a}, f);
  h = single(h, f);
  g = single(g, f);
  M = single(M, f);
  peri = single(peri, f);
  node = single(node, f);
  incl = single(incl, f);
  e = single(e, f);
  n = single(n, f);
  a = single(a, f);
  // Without a mean motion the line gives no perihelion time.
  if (n == 0.0) f.fail(ioerr::CONVERSION);

  OBJECT.EPOCH = packed_epoch(century[0], yy, month_c[0], day_c[0], f);
  H = h;
  G = g;
  const double RADDEG = ASTCON::RADDEG;
  el.e = e;
  el.i = incl / RADDEG;
  el.node = node / RADDEG;
  el.peri = peri / RADDEG;
  el.aq = a;
  el.tp = OBJECT.EPOCH - (M / RADDEG) / (n / RADDEG);
  OBJECT.ICOMET = 0;

  std::string scratch;
  if (choice == 2) {
    // Readable designation: the number in parentheses and the name.
    OBJECT.NAME = columns(line, 166, 28, scratch);
    // The number of a numbered object is in columns 1-7 (packed); an
    // unnumbered object has none.
    const std::string_view num = number_columns(line, scratch);
    OBJECT.NUMBER = !num.empty() && num.front() == '(' ? unpack_number(packed.view()) : 0;
  } else {
    OBJECT.NAME = columns(line, 175, 19, scratch);
    OBJECT.NUMBER = unpack_number(packed.view());
  }

  if (OBJECT.NUMBER == kPluto || key.key.trimmed() == "Pluto") {
    say({"Pluto is not able to perturb itself, nplanet reset to 8"});
    PERTRB.NPLANET = 8;
  }
  f.close();
}
