#include "major.h"

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>

#include "astcon.h"
#include "elefile.h"
#include "plephx.h"
#include "positions.h"
#include "records.h"
#include "textio.h"

namespace {

constexpr BodyNumber kSun = 11;

// PLNAME: one name per BodyNumber 1 to 13.
constexpr std::array<std::string_view, 13> kBodyNames = {"Mercury",
                                                         "Venus",
                                                         "Earth",
                                                         "Mars",
                                                         "Jupiter",
                                                         "Saturn",
                                                         "Uranus",
                                                         "Neptune",
                                                         "Pluto",
                                                         "Moon",
                                                         "Sun",
                                                         "Solar System Barycenter",
                                                         "Earth-Moon Barycenter"};

// A body number typed at `prompt`, asked again with a message while it lies
// outside the name table: any other number would name no body at all.
BodyNumber ask_body(std::string_view prompt) {
  for (;;) {
    say({prompt});
    std::int32_t body = 0;
    ask({Target(body)});
    if (body >= 1 && body <= 13) return body;
    say({"Body number out of range 1-13, please re-enter"});
  }
}

double length(const BodyState& v) {
  return std::sqrt((v[0] * v[0] + v[1] * v[1]) + v[2] * v[2]);
}

// The target's heliocentric state as SAVE_ELE takes it: AU and AU per 1/k day.
StateVector heliocentric_state(const BodyState& v) {
  using ASTCON::GAUSSK;
  return {v[0], v[1], v[2], v[3] / GAUSSK, v[4] / GAUSSK, v[5] / GAUSSK};
}

}  // namespace

std::string_view body_name(BodyNumber body) {
  if (body < 1 || body > 13) throw std::out_of_range("body name");
  return kBodyNames[static_cast<std::size_t>(body - 1)];
}

std::int32_t MAJOR_PLANETS() {
  say({"The planets are numbered as follows:"});
  for (BodyNumber b = 1; b <= 11; ++b) {
    std::string line = b < 10 ? "  " : " ";
    line += std::to_string(b) + " => ";
    line += body_name(b);
    say({line});
  }
  const BodyNumber target = ask_body("Enter a number for the target planet");
  POSNS.NCENTER = ask_body("Enter a number for the observation planet");
  if (PLNSRC.IMEAN == 1) {
    say({"To do planetary ephemerides, you must use JPL"});
    return kMajorRefused;
  }

  const BodyNumber centre = POSNS.NCENTER;
  OBJECT.NUMBER = 0;
  OBJECT.NAME = std::string(body_name(target)) + " observed from " + std::string(body_name(centre));
  OBJECT.ELSRC = "JPL ephemeris data De405";
  OBJECT.PNAME = body_name(target);  // its first 13 characters choose the magnitude law

  // The last entry up to NPOS filled from the file, with the target's
  // heliocentric state there: where a listing that leaves the file saves
  // its end file.
  std::int32_t last = 0;
  JulianDate last_t = 0;
  StateVector last_helio{};
  bool end_saved = false;
  start_listing_fill();
  for (std::int32_t i = 1; i <= RUNPAR.NPOS + 1 && i <= kGridSize; ++i) {
    const JulianDate t = POSNS.TJD(i);
    BodyState seen{}, helio{}, observer{};
    // A date outside the file: the requests have switched to mean planets,
    // and this entry and the ones after it keep another listing's positions.
    // The switch shows in IMEAN, which was 0 when the fill began (mean
    // planets refuse it), also where a request is answered from the mean
    // planets with status 0, as the barycentre seen from the Sun is: without
    // the test each entry would switch again, with its notice and pause.
    const auto switched = [](std::int32_t status) {
      if (status == 0 && PLNSRC.IMEAN == 0) return false;
      end_listing_fill(kOutsideJplFile);
      return true;
    };
    if (switched(PLEPHX(t, target, centre, seen))) break;
    if (switched(PLEPHX(t, target, kSun, helio))) break;
    if (i == 1 && !FILES.STFILE.blank()) SAVE_ELE(heliocentric_state(helio), t, FILES.STFILE);
    if (i == RUNPAR.NPOS && !FILES.ENDFIL.blank()) {
      SAVE_ELE(heliocentric_state(helio), t, FILES.ENDFIL);
      end_saved = true;
    }
    if (switched(PLEPHX(t, centre, kSun, observer))) break;
    POSNS.RHELIO(i) = length(helio);
    POSNS.DELTA(i) = length(seen);
    POSNS.ROBS(i) = length(observer);
    // Topocentric direction; DELTA stays the distance from the centre body.
    if (OBSERV.OLAT < 90.0) TOPCOR(seen[0], seen[1], seen[2], t);
    double ra = std::atan2(seen[1], seen[0]);
    if (ra < 0.0) ra += 2.0 * ASTCON::PI;
    POSNS.RA(i) = ra;
    POSNS.DEC(i) = std::atan(seen[2] / std::sqrt(seen[0] * seen[0] + seen[1] * seen[1]));
    note_entry_filled(i);
    if (i <= RUNPAR.NPOS) {
      last = i;
      last_t = t;
      last_helio = heliocentric_state(helio);
    }
  }
  // A listing that leaves the file before its NPOS-th time: the end file at
  // the last listed time that the file covers, after the notice of the
  // switch. One whose first time lies outside the file has no state to save.
  if (!end_saved && last >= 1 && !FILES.ENDFIL.blank()) SAVE_ELE(last_helio, last_t, FILES.ENDFIL);
  return kMajorFilled;
}
