// The element files that the three integration methods save at the end of
// a listing: read back, they hold the orbit at their own dates, with daily,
// monthly and yearly lines; how each method ends a listing whose fill ends
// early; and no file for a listing of no lines.
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
#include "positions.h"
#include "program_run.h"
#include "reference_orbit.h"
#include "rkd.h"
#include "source.h"
#include "state_checks.h"

namespace {

namespace fs = std::filesystem;

using integration_checks::kMainBelt;
using integration_checks::kT0;

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

class EndFiles : public CeresAmongPlanets {};

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

// The listing positions themselves (the window mode of XVPOS), with the
// saves kept rather than written.
class PositionsSink : public ListingSink {
 public:
  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override {
    grid_.fill(s, t, del, COUNT);
  }
  void save(const StateVector& s, JulianDate t, const Text<30>& name) override {
    saves.push_back({std::string(name.trimmed()), t, s});
  }
  std::vector<WindowSink::Save> saves;

 private:
  GridSink grid_;
};

// The road on which a fill ends early: listed from Mars with the DE405 file
// that ends on 2040 January 7, the run switches to mean planets, which give
// the Sun only as seen from the Earth, and the listing stops at that date.
// Each method's end file is then the one of the same listing from the
// Earth, which the mean planets complete, to the bit: the integration does
// not depend on the observing body.
TEST_F(EndFiles, ListingEndingAtTheEndOfTheFileSavesTheCompleteListingsEndFile) {
  if (!use_de405("de405_2000-2040_le.bin"))
    GTEST_SKIP() << "test data absent: " << integration_checks::kShortDe405;
  // From 2039 September 19.0, lines ten days apart from September 24.5:
  // entries 1 to 11 (to JD 2466156.0) lie within the file, 12 and 13 not.
  const JulianDate T0 = 2466050.5, JD0 = T0 + 5.5;
  const std::int32_t NPOS = 12;
  StateVector s0;
  KEPLER(ceres_state(), kCeresEpoch, s0, T0);
  for (const Method m : {Method::Cowell, Method::Encke, Method::Rkd}) {
    SCOPED_TRACE(name_of(m));
    std::vector<WindowSink::Save> ends;
    for (const BodyNumber centre : {3, 4}) {
      use_de405("de405_2000-2040_le.bin");
      POSNS.NCENTER = centre;
      OBSERV.OLAT = 95;
      set_grid(JD0, 10, NPOS + 1);
      RUNPAR.DEL = 2;
      FILES.ENDFIL = "end.ele";
      PositionsSink sink;
      start_listing_fill();
      {
        ConsoleScript console;
        run_method(m, s0, T0, JD0, NPOS, sink);
      }
      EXPECT_EQ(PLNSRC.IMEAN, 1);
      EXPECT_EQ(listing_fill_ended(), centre == 4);
      EXPECT_EQ(listing_entries_filled(), centre == 4 ? 11 : NPOS + 1);
      ASSERT_EQ(sink.saves.size(), 1u);
      ends.push_back(sink.saves[0]);
    }
    EXPECT_EQ(ends[1].t, ends[0].t);
    testing_support::expect_same_state(ends[1].s, ends[0].s);
    if (m == Method::Rkd) {
      EXPECT_EQ(ends[1].t, POSNS.TJD(NPOS));
    }
  }
}

// ---------------------------------------------------------------- Sun alone

class ListingEnds : public ::testing::Test {
 protected:
  void SetUp() override {
    sun_alone();
    RUNPAR.DEL = 2;
  }
};

// A window sink whose fill ends before entry `end_at`, as the listing
// positions end theirs when they cannot give the Sun as seen from the
// centre body: COUNT goes past every entry.
class EndingSink : public WindowSink {
 public:
  explicit EndingSink(std::int32_t end_at) : end_at_(end_at) {}
  void fill(const StateVector& s, JulianDate t, double del, std::int32_t& COUNT) override {
    ++fills;
    if (ended) {
      ADD_FAILURE() << "filled after its end";
      return;
    }
    WindowSink::fill(s, t, del, COUNT);
    if (COUNT > end_at_) {
      for (std::int32_t i = end_at_; i < COUNT; ++i) entries.erase(i);
      COUNT = kGridSize + 1;
      ended = true;
    }
  }
  bool ended = false;
  int fills = 0;

 private:
  std::int32_t end_at_;
};

// The rule for a fill that ends early (k of N lines), the same for the
// three methods: with an end element file to save, the integration goes on
// without filling to where the complete listing ends, and the file is the
// one the complete listing saves, to the bit, at the same date (COWELL and
// ENCKE: the step after which the last entry is filled; RKD: the NPOS-th
// listed time). Without one, the run ends at once, as it always has. The
// start file is saved as before.
TEST_F(ListingEnds, FillEndingEarlySavesTheEndFileOfTheCompleteListing) {
  const StateVector s0 = integration_checks::at(kMainBelt, 0, kT0);
  const JulianDate T0 = kT0, JD0 = T0 + 40.5;
  const std::int32_t NPOS = 12;
  for (const Method m : {Method::Cowell, Method::Encke, Method::Rkd}) {
    for (const double spacing : {1.0, 30.0}) {
      SCOPED_TRACE(std::string(name_of(m)) + " lines " + std::to_string(spacing) + " days apart");
      set_grid(JD0, spacing, NPOS + 1);
      FILES.STFILE = "start.ele";
      FILES.ENDFIL = "end.ele";
      WindowSink complete;
      run_method(m, s0, T0, JD0, NPOS, complete);
      ASSERT_EQ(complete.saves.size(), 2u);
      for (const std::int32_t end_at : {1, 4}) {
        SCOPED_TRACE("fill ending before entry " + std::to_string(end_at));
        EndingSink cut(end_at);
        run_method(m, s0, T0, JD0, NPOS, cut);
        EXPECT_TRUE(cut.ended);
        EXPECT_EQ(cut.entries.size(), static_cast<std::size_t>(end_at - 1));
        ASSERT_EQ(cut.saves.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
          EXPECT_EQ(cut.saves[i].name, complete.saves[i].name);
          EXPECT_EQ(cut.saves[i].t, complete.saves[i].t);
          testing_support::expect_same_state(cut.saves[i].s, complete.saves[i].s,
                                             cut.saves[i].name);
        }
        if (m == Method::Rkd) {
          EXPECT_EQ(cut.saves[1].t, POSNS.TJD(NPOS));
        }

        FILES.ENDFIL = "";
        EndingSink no_file(end_at);
        run_method(m, s0, T0, JD0, NPOS, no_file);
        EXPECT_EQ(no_file.fills, cut.fills) << "fill calls up to the end of the fill";
        EXPECT_EQ(no_file.steps.size(), cut.steps.size());
        ASSERT_EQ(no_file.saves.size(), 1u);
        EXPECT_EQ(no_file.saves[0].name, "start.ele");
        FILES.ENDFIL = "end.ele";
      }
    }
  }
}

// A listing of no lines (NPOS below 0) has no listed time: no method saves
// an element file for it. RKD does nothing at all; COWELL and ENCKE end at
// their first output step as before.
TEST_F(ListingEnds, NoElementFileForAListingOfNoLines) {
  const StateVector s0 = integration_checks::at(kMainBelt, 0, kT0);
  const JulianDate T0 = kT0, JD0 = T0 + 40.5;
  FILES.STFILE = "start.ele";
  FILES.ENDFIL = "end.ele";
  // Entry 1 as another listing of the run left it, far from JD0.
  set_grid(T0 - 1e6, 1, 1);
  for (const Method m : {Method::Cowell, Method::Encke, Method::Rkd}) {
    SCOPED_TRACE(name_of(m));
    WindowSink sink;
    run_method(m, s0, T0, JD0, -1, sink);
    EXPECT_TRUE(sink.saves.empty());
    EXPECT_TRUE(sink.entries.empty());
    EXPECT_EQ(sink.steps.size(), m == Method::Rkd ? 0u : 1u);
  }
}

}  // namespace
