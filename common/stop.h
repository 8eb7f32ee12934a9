// The two ways a program ends early. Library code throws; each program's
// main catches (see run_program) and turns the throw into the exit status.
#pragma once

#include <stdexcept>
#include <string>

// A failed read, write or open: main writes one line to standard error,
//   severe (24): end-of-file during read, unit 5, file /dev/stdin
// and ends with a non-zero exit status.
class FatalIoError : public std::runtime_error {
 public:
  // `detail` follows the message of the error number (for example the
  // number of the line that was too long), before ", unit ".
  FatalIoError(int number, int unit, std::string path, const std::string& detail = {});
  int number() const { return number_; }
  int unit() const { return unit_; }
  const std::string& path() const { return path_; }

 private:
  int number_;
  int unit_;
  std::string path_;
};

// Error numbers of the fatal line.
namespace ioerr {
inline constexpr int GROUP_SYNTAX = 17;
inline constexpr int GROUP_TOO_MANY = 18;
inline constexpr int GROUP_NAME = 19;
inline constexpr int LINE_TOO_LONG = 22;  // a line longer than the text layer holds
inline constexpr int END_OF_FILE = 24;
inline constexpr int NOT_FOUND = 29;
inline constexpr int OPEN_FAILURE = 30;
inline constexpr int WRITE_FAILURE = 38;
inline constexpr int FREE_SYNTAX = 59;
inline constexpr int CONVERSION = 64;
}  // namespace ioerr

// The message text of an error number, as the fatal line shows it.
const char* io_error_message(int number);

// The program's own stops after it has written its message on the console
// (one line or two): the run cannot give what was asked, though no read,
// write or open failed. Nothing goes to the error stream. Each kind ends
// the program with an exit status of its own, apart from 0 (a normal end),
// 1 (a FatalIoError) and 2 (a fault of the program itself), so that a
// script that pipes its answers in can tell that no listing came, and why.
enum class StopKind {
  // "MPCORB file not found, exiting program."
  MpcorbMissing = 3,
  // A two-body solution that does not converge: "Kepler equation solution
  // failed in 20 iterations", "No convergence for near parabolic
  // approximation".
  TwoBody = 4,
  // An integration that cannot go on: its step collapses, it would need too
  // many steps, a listed time is left behind, its state is no longer a
  // number, or it reaches the centre of a body.
  Integration = 5,
  // The planetary ephemeris file cannot give what was asked: a data record
  // that cannot be read, nutations or librations that it does not hold.
  PlanetaryFile = 6,
};

class ProgramStop {
 public:
  explicit ProgramStop(StopKind kind) : kind_(kind) {}
  StopKind kind() const { return kind_; }
  // The exit status with which the program ends.
  int exit_status() const { return static_cast<int>(kind_); }

 private:
  StopKind kind_;
};

// Runs a program's main routine: returns 0 after a normal end, the stop's
// own status (3 to 6) after a ProgramStop, writes the fatal line and returns
// 1 after a FatalIoError, and returns 2 after any other exception (a fault
// of the program itself).
// Console output is flushed before anything goes to standard error; console
// output that cannot be written (also what is still buffered at the end) is
// the FatalIoError of a failed write on unit 6, and its line still reaches
// standard error.
int run_program(void (*main_routine)());
