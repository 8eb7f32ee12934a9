// The element files that the three integration methods save at the end of
// a listing: read back, they hold the orbit at their own dates, with daily,
// monthly and yearly lines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "console_script.h"
#include "cowell.h"
#include "elefile.h"
#include "encke.h"
#include "integration_fixture.h"
#include "program_run.h"
#include "reference_orbit.h"
#include "rkd.h"
#include "source.h"

namespace {

namespace fs = std::filesystem;

// The window sink of the multistep tests, whose saves also write the
// element files (in the current folder).
class FileSink : public WindowSink {
 public:
  void save(const StateVector& s, JulianDate t, const Text<30>& name) override {
    WindowSink::save(s, t, name);
    ConsoleScript quiet;
    SAVE_ELE(s, t, name);
  }
};

// The three methods as the ephemeris program starts them, from the state
// s0 at the epoch T0 to the listing on POSNS.TJD (first listed time JD0);
// COWELL and ENCKE step by RUNPAR.DEL.
enum class Method { Cowell, Encke, Rkd };
const char* name_of(Method m) {
  return m == Method::Cowell ? "COWELL" : m == Method::Encke ? "ENCKE" : "RKD";
}

void run_method(Method m, const StateVector& s0, JulianDate T0, JulianDate JD0, std::int32_t NPOS,
                ListingSink& sink, const AccelerationFn& force = FORCE,
                const AccelerationFn& force1 = FORCE1, const DeviationFn& rhs = RHS) {
  switch (m) {
    case Method::Cowell:
      run_like_ephem(
          [&](const StateVector& a, JulianDate ta, StateVector& b, double h, std::int32_t n,
              JulianDate& tb, ListingSink& k) { COWLS(a, ta, b, h, n, tb, k, force); },
          s0, T0, JD0, NPOS, sink);
      break;
    case Method::Encke:
      run_like_ephem(
          [&](const StateVector& a, JulianDate ta, StateVector& b, double h, std::int32_t n,
              JulianDate& tb, ListingSink& k) { ENCKE(a, ta, b, h, n, tb, k, force, rhs); },
          s0, T0, JD0, NPOS, sink);
      break;
    case Method::Rkd: {
      double H = 0;
      START_RKD(s0.x, s0.y, s0.z, T0, JD0 - T0 >= 0 ? 3.0 : -3.0, H, force);
      RKDINT(s0, T0, NPOS, H, sink, force1, force);
      break;
    }
  }
}

// Works in a temporary folder of its own (element files are written by
// name).
class InTempFolder {
 public:
  InTempFolder() : old_(fs::current_path()) { fs::current_path(dir_.path()); }
  ~InTempFolder() { fs::current_path(old_); }

 private:
  testing_support::TempDir dir_;
  fs::path old_;
};

// The element file `name` read back by GET_TAV_ELEMENTS, and the state at
// its own date as a KEPLER listing from it starts: the state of the
// elements at their epoch, carried by KEPLER to that date (a step of 0).
struct ReadBack {
  JulianDate date;
  StateVector s;
};
ReadBack read_back(const std::string& name) {
  ElementSet el;
  {
    ConsoleScript console(name + "\n");
    GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G);
  }
  ReadBack r{OBJECT.EPOCH, {}};
  KEPLER(state_at_epoch(el, OBJECT.EPOCH, OBJECT.ICOMET), OBJECT.EPOCH, r.s, r.date);
  return r;
}

// ---------------------------------------------------------------- DE405

class EndFiles : public integration_checks::PlanetsOnFastClock {
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

// Ceres from its epoch (2023 Feb 25), ten bodies of DE405, a listing of
// NPOS lines from 2023 Mar 1.0 a day, a month (30 days) or a year (365.25
// days) apart, DEL 2 for COWELL and ENCKE. The end file, read back, gives
// the place of the independent reference orbit (reference_orbit.h, 1-day
// steps, Mercury in as the method has it: not for COWELL) at the file's
// date to 0.05 arcsecond as seen from the Earth; for RKD, whose file is
// dated at the NPOS-th listed time, also the place the integration listed
// there.
TEST_F(EndFiles, ReadBackTheyHoldTheOrbitAtTheirDates) {
  if (!use_de405("de405_1960-2060_le.bin"))
    GTEST_SKIP() << "test data absent: " << integration_checks::kDe405;
  InTempFolder folder;
  const StateVector s0 = ceres_state();
  const JulianDate JD0 = 2460004.5;
  struct Spacing {
    const char* name;
    double days;
    std::int32_t NPOS;
  };
  const Spacing spacings[] = {{"daily", 1, 10}, {"monthly", 30, 10}, {"yearly", 365.25, 3}};
  for (const Method m : {Method::Cowell, Method::Encke, Method::Rkd}) {
    for (const Spacing& sp : spacings) {
      const std::string what = std::string(name_of(m)) + " " + sp.name;
      SCOPED_TRACE(what);
      set_grid(JD0, sp.days, sp.NPOS + 1);
      RUNPAR.DEL = 2;
      FILES.ENDFIL = "end.ele";
      fs::remove("end.ele");
      FileSink sink;
      run_method(m, s0, kCeresEpoch, JD0, sp.NPOS, sink);
      ASSERT_EQ(sink.entries.size(), static_cast<std::size_t>(sp.NPOS + 1));
      const ReadBack back = read_back("end.ele");
      if (m == Method::Rkd) {
        EXPECT_EQ(back.date, POSNS.TJD(sp.NPOS));
      }

      reference_orbit::Orbit ref({m != Method::Cowell, 10});
      const StateVector want = ref.carry(s0, kCeresEpoch, back.date, 1.0);
      const auto earth = integration_checks::earth(back.date);
      const double gap = reference_orbit::arcsec_between(reference_orbit::position(back.s),
                                                         reference_orbit::position(want), earth);
      std::printf("%-15s end file on JD %.4f against the reference: %.2e\"", what.c_str(),
                  back.date, gap);
      EXPECT_LT(gap, 0.05);
      if (m == Method::Rkd) {
        const double listed = reference_orbit::arcsec_between(
            reference_orbit::position(back.s), reference_orbit::position(sink.entries.at(sp.NPOS)),
            earth);
        std::printf(", against its listed place: %.2e\"", listed);
        EXPECT_LT(listed, 0.05);
      }
      std::printf("\n");
    }
  }
}

}  // namespace
