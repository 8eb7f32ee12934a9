// The real DE405 file of the shared data as the run's JPL file, with the
// records and the planetary reader put back to their start state around
// each test, on the stepping clock (the pause of the switch to mean planets
// takes no real time).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "planet_records.h"
#include "records.h"
#include "test_data.h"

class WithDe405 : public testing_support::FreshPlanetRecordsOnSteppingClock {
 protected:
  // Names the 2000-2040 DE405 file as JPLFILE; false when it is absent.
  static bool use_de405() {
    const auto p = testing_support::de405_path(testing_support::kDe405_2000_2040);
    if (!std::filesystem::exists(p)) return false;
    JPLNAM.JPLFILE.assign(p.string());
    return true;
  }
};

#define REQUIRE_DE405()                                                               \
  do {                                                                                \
    if (!use_de405())                                                                 \
      GTEST_SKIP() << "real data absent: "                                            \
                   << testing_support::de405_path(testing_support::kDe405_2000_2040); \
  } while (0)
