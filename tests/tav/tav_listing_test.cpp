// Whole runs of tav that print listings: the console compared byte for byte
// with the transcripts in expected/, the capture files with the console, the
// element files of a major-planet listing with expected files. How the
// expected files were made and checked: expected/README.md.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "program_run.h"
#include "tav_run.h"
#include "test_data.h"

namespace {

using namespace tav_run;

// Eight ephemerides in one run with the DE405 file: every form with its
// capture file, both MPCORB searches and the repeated source, element files
// from kestle (a comet near e = 1) and one without an epoch, a topocentric
// listing, a listing from Mars, listings before the epoch and backwards,
// Mars from the Earth with element files, a minor planet after it, and a
// major-planet listing cut short at the end of the file.
const std::string kListingAnswers =
    // 1: Ceres by number, SHORT, 6 days from 2023 Mar 1, capture short.txt.
    "short.txt\n \nlisting.ini\n\n1\n1\ny\n"
    // 2: LONG from 6 h ET, 12-hourly, equinox 2023, topocentric; the answer
    //    7 repeats the search by number: Vesta.
    "long.txt\nform\nlong\nnpos\n5\net\n6\nxjinc\n12\ncyear\n2023\nolat\n40\nolon\n75\n\n7\n4\ny\n"
    // 3: MPC from 2009 Jun 10.5 UT, two days backwards, geocentric:
    //    kestle's comet file (e = 0.9994), before its epoch of Jun 18.
    "mpc.txt\nform\nmpc\nyear\n2009\nmonth\n6\nday\n10.5\nxjinc\n-2\nolat\n95\n\n3\ncomet.ele\ny\n"
    // 4: SHORT, no capture; RKD with DEL 3 asked for, but the element file
    //    (the blank answer) has no epoch: the notice and a Kepler solution.
    "\nform\nshort\nday\n1\nnpos\n4\nxjinc\n24\nmethod\nrkd\ndel\n3\n\n\nno_epoch.ele\ny\n"
    // 5: the display shows KEPLER and 0.00; ASTRM, Eros by name, from Mars.
    "astrm.txt\nform\nastrm\nyear\n2019\nmonth\n7\nday\n20\nut\n5."
    "5\nncenter\n4\nnpos\n5\n\n2\nEros\ny\n"
    // 6: Mars from the Earth, LONG, ten days apart, with both element files.
    "\nform\nlong\nyear\n2023\nmonth\n1\nday\n1\nnpos\n4\nxjinc\n240\nncenter\n3\n"
    "stfile\nmars_start.ele\nendfil\nmars_end.ele\n\n4\n4\n3\ny\n"
    // 7: Ceres again, SHORT: the H-G law, not Mars's.
    "\nform\nshort\nnpos\n2\nstfile\n \nendfil\n \n\n1\n1\ny\n"
    // 8: Jupiter from the Earth from 2040 Jan 1: the file ends on Jan 7.
    "\nyear\n2040\nxjinc\n24\nnpos\n10\n\n4\n5\n3\nn\n";

// The capture file of a listing holds the console's listing with the
// capture title; the console adds only the closing line naming the file.
void expect_capture_matches_console(const std::string& console, const TempDir& dir,
                                    const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_TRUE(fs::exists(dir / name));
  std::string listing = read_file(dir / name);
  const std::string capture_title = "\r\nElements from:  ";
  const std::size_t title = listing.find(capture_title);
  ASSERT_EQ(title, 2u);  // after the two empty lines
  listing.replace(title, capture_title.size(), "\r\nElements :  ");
  std::string closing = " Screen output is in file named " + name;
  closing += std::string(30 - name.size(), ' ') + "\r\n";
  EXPECT_NE(console.find(listing + closing), std::string::npos);
}

TEST(TavListing, EightEphemeridesWithTheDe405File) {
  const fs::path de405 = testing_support::de405_path(testing_support::kDe405_2000_2040);
  if (!fs::exists(de405)) GTEST_SKIP() << "DE405 file absent: " << de405;
  TempDir dir;
  place(dir, "listing.ini", kFixtures / "listing.ini");
  place(dir, "no_epoch.ele", kFixtures / "no_epoch.ele");
  place(dir, "comet.ele", kKestleExpected / "comet.ele");
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  fs::create_symlink(de405, dir / "JPLEPH.405");

  const RunResult r = testing_support::run_program(TAV_BINARY, kListingAnswers, dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(same_bytes(read_file(kExpected / "listing_run.txt"), r.out));
  for (const char* name : {"short.txt", "long.txt", "mpc.txt", "astrm.txt"}) {
    expect_capture_matches_console(r.out, dir, name);
  }
  for (const char* name : {"MARS_START.ELE", "MARS_END.ELE"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(same_bytes(read_file(kExpected / name), read_file(dir / name)));
  }
}

// With mean planets the major-planet source is refused: back to the display,
// the MPC interval still in days and the typed observing body kept (which
// the tests then refuse with mean planets); then Ceres with no lines.
TEST(TavListing, MajorPlanetsRefusedUnderMeanPlanets) {
  TempDir dir;
  place(dir, "tavmpc.ini", kRun / "tavmpc.ini");
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  const RunResult r = testing_support::run_program(
      TAV_BINARY, "\n4\nnpos\n0\n\n4\n4\n5\n\n3\n\n1\n1\nn\n", dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(same_bytes(read_file(kExpected / "major_refused.txt"), r.out));
}

}  // namespace
