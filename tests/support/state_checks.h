// Comparing state vectors in tests, component by component.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "types.h"

namespace testing_support {

// Every position and velocity component of `got` equals that of `want` to
// the bit; `what` names the case in a failure.
inline void expect_same_state(const StateVector& got, const StateVector& want,
                              const std::string& what = "") {
  EXPECT_EQ(got.x, want.x) << what;
  EXPECT_EQ(got.y, want.y) << what;
  EXPECT_EQ(got.z, want.z) << what;
  EXPECT_EQ(got.vx, want.vx) << what;
  EXPECT_EQ(got.vy, want.vy) << what;
  EXPECT_EQ(got.vz, want.vz) << what;
}

}  // namespace testing_support
