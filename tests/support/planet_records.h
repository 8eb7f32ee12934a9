// A test that starts with the records, the planetary file reader and the
// mean elements as at program start, and puts them back so when it ends, so
// that no file, switch or planet set of one test reaches the next.
#pragma once

#include <gtest/gtest.h>

#include "celem.h"
#include "jplread.h"
#include "records.h"

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

}  // namespace testing_support
