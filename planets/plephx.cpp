#include "plephx.h"

#include <array>
#include <cmath>
#include <stdexcept>

#include "astcon.h"
#include "calendar.h"
#include "celem.h"
#include "elements.h"
#include "jplread.h"
#include "records.h"
#include "stop.h"
#include "textio.h"

namespace {

constexpr BodyNumber kEarth = 3, kMoon = 10, kSun = 11, kBarycentre = 12, kEmb = 13;
constexpr BodyNumber kNutations = 14, kLibrations = 15;

// Items 1 to 9 relative to the solar-system barycentre for the length of a
// request; the caller's setting comes back however the request ends.
class BarycentricItems {
 public:
  BarycentricItems() : saved_(JPLOPT.BARYC) { JPLOPT.BARYC = true; }
  ~BarycentricItems() { JPLOPT.BARYC = saved_; }
  BarycentricItems(const BarycentricItems&) = delete;
  BarycentricItems& operator=(const BarycentricItems&) = delete;

 private:
  bool saved_;
};

// The date as the reader takes it. A first part of 0.0 would ask the reader
// only to open the file, so the date is handed over in another split of the
// same sum: (ET2, 0) or, for the date 0.0 itself, (0.5, -0.5).
std::array<double, 2> reader_date(double ET1, double ET2) {
  if (ET1 != 0.0) return {ET1, ET2};
  if (ET2 != 0.0) return {ET2, 0.0};
  return {0.5, -0.5};
}

// A wait of about three seconds on the local clock, which starts again at 0
// at midnight. The clock is read again after each short sleep rather than in
// a busy loop, so that the pause holds no processor; it ends as a busy loop
// would, within a hundredth of a second.
void pause_three_seconds() {
  const double start = SECONDS();
  while (true) {
    double elapsed = SECONDS() - start;
    if (elapsed < 0.0) elapsed += 86400.0;
    if (elapsed >= 3.0) return;
    wait_for_local_clock();
  }
}

// The date lies outside the file: switch the run to mean planets.
std::int32_t fallback(JulianDate date, BodyNumber NTARG, BodyNumber NCENT, BodyState& RRD) {
  write(console().out(), {lay::L("0 ERROR RETURN FROM CALL TO STATE. EPOCH OUT OF RANGE.")}, {});
  say({"Switching to mean planetary elements"});
  say({"Some accuracy will be lost"});
  pause_three_seconds();
  PLNSRC.IMEAN = 1;
  PERTRB.NPLANET = 8;
  CELEM(date);

  // A date that is no number has no planets: status 1, zeros.
  if (!std::isfinite(date)) return 1;
  StateVector s;
  if (NTARG == kBarycentre && NCENT == kSun) {
    // Barycentre seen from the Sun: the mass-weighted heliocentric planets,
    // velocities turned from AU per 1/k day into AU/day like every other
    // state that this routine serves.
    for (int p = 1; p <= PERTRB.NPLANET; ++p) {
      ELEM2XV(PERTRB.PEL(p), date, 0, s);
      const double w = PERTRB.MASS(p) / (1.0 + PERTRB.MASS(p));
      const double k = ASTCON::GAUSSK;
      const BodyState v = {s.x, s.y, s.z, s.vx * k, s.vy * k, s.vz * k};
      for (std::size_t j = 0; j < 6; ++j) RRD[j] += w * v[j];
    }
    return 0;
  }
  if (NTARG >= 1 && NTARG <= 8) {
    // Not for use (status 1): the heliocentric mean planet, positions
    // divided by 1 + its mass.
    ELEM2XV(PERTRB.PEL(NTARG), date, 0, s);
    const double f = 1.0 + PERTRB.MASS(NTARG);
    RRD = {s.x / f, s.y / f, s.z / f, s.vx, s.vy, s.vz};
  }
  return 1;
}

// Nutations (target 14) or librations (15).
std::int32_t angles(const std::array<double, 2>& et, BodyNumber NTARG, BodyState& RRD) {
  StateRequest REQ;
  StateTable PVTAB;
  NutationState nut{};
  STATE({0.0, 0.0}, REQ, PVTAB, nut);  // the header, if no request has read it yet
  const bool nutations = NTARG == kNutations;
  if (JPLHDR.LAYOUT(2, nutations ? 12 : 13) == 0) {
    say({nutations ? "*****  NO NUTATIONS ON THE EPHEMERIS FILE  *****"
                   : "*****  NO LIBRATIONS ON THE EPHEMERIS FILE  *****"});
    throw ProgramStop(StopKind::PlanetaryFile);
  }
  REQ(nutations ? 11 : 12) = 2;
  if (STATE(et, REQ, PVTAB, nut) == 1) return fallback(et[0] + et[1], NTARG, 0, RRD);
  if (nutations)
    std::copy(nut.begin(), nut.end(), RRD.begin());
  else
    RRD = PVTAB(11);
  return 0;
}

}  // namespace

std::int32_t PLEPHX(JulianDate ET, BodyNumber NTARG, BodyNumber NCENT, BodyState& RRD) {
  return PLEPHX2(ET, 0.0, NTARG, NCENT, RRD);
}

std::int32_t PLEPHX2(double ET1, double ET2, BodyNumber NTARG, BodyNumber NCENT, BodyState& RRD) {
  const bool angle_request = NTARG == kNutations || NTARG == kLibrations;
  if (NTARG < 1 || NTARG > kLibrations || (!angle_request && (NCENT < 1 || NCENT > kEmb)))
    throw std::invalid_argument("PLEPHX: body number");
  RRD.fill(0.0);
  const std::array<double, 2> et = reader_date(ET1, ET2);
  if (angle_request) return angles(et, NTARG, RRD);
  if (NTARG == NCENT) return 0;

  const BarycentricItems baryc;
  StateRequest REQ;
  for (const BodyNumber k : {NTARG, NCENT}) {
    if (k <= kMoon) REQ(k) = 2;
    if (k == kMoon) REQ(kEarth) = 2;
    if (k == kEarth) REQ(kMoon) = 2;
    if (k == kEmb) REQ(kEarth) = 2;
  }
  StateTable PVTAB;
  NutationState nut{};
  if (STATE(et, REQ, PVTAB, nut) == 1) return fallback(ET1 + ET2, NTARG, NCENT, RRD);

  // Columns 11 to 13: the Sun, the barycentre (zeros), the Earth-Moon
  // barycentre as read, before column 3 becomes the Earth.
  BodyState sun{}, barycentre{}, emb{};
  if (NTARG == kSun || NCENT == kSun) sun = JPLOPT.SUNPV;
  if (NTARG == kEmb || NCENT == kEmb) emb = PVTAB(kEarth);

  BodyState& earth = PVTAB(kEarth);
  BodyState& moon = PVTAB(kMoon);
  if (NTARG * NCENT == 30 && NTARG + NCENT == 13) {
    earth.fill(0.0);  // Earth and Moon: the file's geocentric Moon as it stands
  } else {
    if (REQ(kEarth) == 2)
      for (std::size_t j = 0; j < 6; ++j) earth[j] -= moon[j] / (1.0 + JPLHDR.EMRATIO);
    if (REQ(kMoon) == 2)
      for (std::size_t j = 0; j < 6; ++j) moon[j] += earth[j];
  }

  auto column = [&](BodyNumber k) -> const BodyState& {
    if (k == kSun) return sun;
    if (k == kBarycentre) return barycentre;
    if (k == kEmb) return emb;
    return PVTAB(k);
  };
  const BodyState& target = column(NTARG);
  const BodyState& centre = column(NCENT);
  for (std::size_t j = 0; j < 6; ++j) RRD[j] = target[j] - centre[j];
  return 0;
}
