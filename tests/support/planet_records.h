// A test that starts with the records, the planetary file reader and the
// mean elements as at program start, and puts them back so when it ends, so
// that no file, switch or planet set of one test reaches the next.
#pragma once

#include <gtest/gtest.h>

#include "calendar.h"
#include "celem.h"
#include "jplread.h"
#include "records.h"
#include "stepping_clock.h"

namespace testing_support {

class FreshPlanetRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_records();
    reset_ephemeris_reader();
    reset_mean_elements();
  }
  void TearDown() override {
    reset_ephemeris_reader();
    reset_mean_elements();
    reset_records();
  }
};

// The same on the stepping clock, so that a switch to mean planets does not
// pause for real; the system's clock comes back at the end.
class FreshPlanetRecordsOnSteppingClock : public FreshPlanetRecords {
 protected:
  void SetUp() override {
    FreshPlanetRecords::SetUp();
    SteppingClock::start(0.0);
  }
  void TearDown() override {
    set_local_clock(nullptr);
    FreshPlanetRecords::TearDown();
  }
};

}  // namespace testing_support
