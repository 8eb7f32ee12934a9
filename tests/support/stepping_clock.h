// A local clock that tests drive: it moves on by a fixed step at every
// reading, so the three-second pause of the switch to mean planets takes no
// real time (with a clock of the tests in place the pause does not sleep
// between its readings: calendar.h).
#pragma once

#include <cstdint>

#include "calendar.h"

namespace testing_support {

struct SteppingClock {
  static inline std::int64_t now_ms = 0;
  static inline std::int64_t step_ms = 250;
  static inline int readings = 0;
  static LocalTime read() {
    const std::int64_t t = now_ms % 86'400'000;
    now_ms += step_ms;
    ++readings;
    return {static_cast<int>(t / 3'600'000), static_cast<int>(t / 60'000 % 60),
            static_cast<int>(t / 1000 % 60), static_cast<int>(t % 1000)};
  }
  // Puts the clock in place of the system's at `seconds_of_day`, no reading
  // made yet; set_local_clock(nullptr) gives the system's clock back.
  static void start(double seconds_of_day) {
    now_ms = static_cast<std::int64_t>(seconds_of_day * 1000.0);
    readings = 0;
    set_local_clock(&read);
  }
};

}  // namespace testing_support
