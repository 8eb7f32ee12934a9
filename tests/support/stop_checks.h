// The kind of the program's own stop with which a call ends, for tests of
// the routines that stop the program.
#pragma once

#include <functional>
#include <optional>
#include <ostream>

#include "stop.h"

// Prints a stop kind by its exit status in test messages.
inline std::ostream& operator<<(std::ostream& os, StopKind kind) {
  return os << "StopKind(" << static_cast<int>(kind) << ")";
}

namespace testing_support {

// The kind of the ProgramStop that `call` throws; none when it returns.
// Anything else it throws goes on to the test.
inline std::optional<StopKind> stop_kind(const std::function<void()>& call) {
  try {
    call();
  } catch (const ProgramStop& stop) {
    return stop.kind();
  }
  return std::nullopt;
}

}  // namespace testing_support
