// What the tests of the multistep integrators share: a listing sink that
// follows the window rule of the listing positions on POSNS.TJD, a main-belt
// orbit, the planetary set-up, and the one- or two-leg run of the ephemeris
// program.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "astcon.h"
#include "celem.h"
#include "elements.h"
#include "integration_checks.h"
#include "jplread.h"
#include "kepler.h"
#include "listing_sink.h"
#include "records.h"

// Fills the entries from COUNT on whose dates lie strictly within `del` of
// the step time, as the window mode of XVPOS does, keeping the state carried
// to each entry's date by two-body motion; keeps every step and save.
class WindowSink : public ListingSink {
 public:
  struct Step {
    JulianDate t;
    StateVector s;
    std::int32_t count_before;
  };
  struct Save {
    std::string name;
    JulianDate t;
    StateVector s;
  };

  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override {
    steps.push_back({t, s, COUNT});
    while (COUNT <= kGridSize && std::abs(t - POSNS.TJD(COUNT)) < del) {
      StateVector e;
      KEPLER(s, t, e, POSNS.TJD(COUNT));
      entries[COUNT] = e;
      ++COUNT;
    }
  }
  void save(const StateVector& s, JulianDate t, const Text<30>& name) override {
    saves.push_back({std::string(name.trimmed()), t, s});
  }

  std::vector<Step> steps;
  std::map<std::int32_t, StateVector> entries;
  std::vector<Save> saves;
};

// The signature that COWLS and ENCKE share, with their default forces.
using MultistepMethod = std::function<void(const StateVector&, JulianDate, StateVector&, double,
                                           std::int32_t, JulianDate&, ListingSink&)>;

// Records as at program start, no perturbing body, planets from the file
// (so CELEM does nothing), no element files.
inline void sun_alone() {
  reset_records();
  reset_mean_elements();
  PERTRB.NPLANET = 0;
  PLNSRC.IMEAN = 0;
  FILES.STFILE = "";
  FILES.ENDFIL = "";
  FILES.SCRFILE = "";
  OBJECT.ICOMET = 0;
}

// Ceres (number 1, H 3.33, G 0.15) as the object, records as sun_alone
// leaves them, on the stepping clock; each test loads the bodies it needs.
class CeresAmongPlanets : public integration_checks::PlanetsOnFastClock {
 protected:
  void SetUp() override {
    PlanetsOnFastClock::SetUp();
    sun_alone();
    OBJECT.NUMBER = 1;
    OBJECT.NAME = "Ceres";
    OBJECT.H = 3.33;
    OBJECT.G = 0.15;
  }
};

// Listed dates first, first + step, ... for entries 1 to n.
inline void set_grid(JulianDate first, double step, int n) {
  for (int i = 1; i <= n; ++i) POSNS.TJD(i) = first + (i - 1) * step;
}

// (1) Ceres, MPCORB elements of epoch 2023 Feb. 25.0 TT (K232P): M 17.21569,
// peri 73.47045, node 80.26013, i 10.58634 (deg), e 0.0788175,
// n 0.21411523 deg/day, a 2.7671817 AU.
inline constexpr JulianDate kCeresEpoch = 2460000.5;
inline ElementSet ceres_elements() {
  const double d = 1 / ASTCON::RADDEG;
  return {0.0788175,    10.58634 * d, 80.26013 * d,
          73.47045 * d, 2.7671817,    kCeresEpoch - 17.21569 / 0.21411523};
}
inline StateVector ceres_state() {
  StateVector s;
  ELEM2XV(ceres_elements(), kCeresEpoch, 0, s);
  return s;
}

// The DE405 file `name` of the test data with the ten perturbers of the
// DE405 masses (the third the Earth alone, as for NPLANET 10); false when
// the file is absent.
inline bool use_de405(const std::string& name) {
  const std::string path = testing_support::de405_path(name).string();
  if (!std::filesystem::exists(path)) return false;
  reset_ephemeris_reader();
  reset_mean_elements();
  JPLNAM.JPLFILE = path;
  integration_checks::load_masses(10);
  PLNSRC.IMEAN = 0;
  return true;
}

// The propagation of the ephemeris program for COWELL and ENCKE: one call
// from the epoch when the first listed time JD0 is not before it, else a
// backward leg to the turning date TM = JD0 - DEL with DEL negated in the
// run parameters, and the forward leg from the state it reached. Returns the
// last state.
inline StateVector run_like_ephem(const MultistepMethod& method, const StateVector& at_epoch,
                                  JulianDate epoch, JulianDate JD0, std::int32_t NPOS,
                                  ListingSink& sink) {
  StateVector out;
  if (JD0 >= epoch) {
    JulianDate tout = JD0;
    method(at_epoch, epoch, out, RUNPAR.DEL, NPOS, tout, sink);
    return out;
  }
  JulianDate TM = JD0 - RUNPAR.DEL;
  StateVector turning;
  RUNPAR.DEL = -RUNPAR.DEL;
  method(at_epoch, epoch, turning, RUNPAR.DEL, NPOS, TM, sink);
  RUNPAR.DEL = -RUNPAR.DEL;
  JulianDate tout = JD0;
  method(turning, TM, out, RUNPAR.DEL, NPOS, tout, sink);
  return out;
}

// Distances between states, as the other integrator tests take them.
using integration_checks::distance;
using integration_checks::speed_difference;
