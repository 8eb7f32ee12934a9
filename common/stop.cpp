#include "stop.h"

#include <cstdio>

#include "textio.h"

namespace {
std::string fatal_line(int number, int unit, const std::string& path, const std::string& detail) {
  return "severe (" + std::to_string(number) + "): " + io_error_message(number) + detail +
         ", unit " + std::to_string(unit) + ", file " + path;
}
}  // namespace

FatalIoError::FatalIoError(int number, int unit, std::string path, const std::string& detail)
    : std::runtime_error(fatal_line(number, unit, path, detail)),
      number_(number),
      unit_(unit),
      path_(std::move(path)) {}

const char* io_error_message(int number) {
  switch (number) {
    case ioerr::GROUP_SYNTAX:
      return "syntax error in assignment group";
    case ioerr::GROUP_TOO_MANY:
      return "more values than the group variable holds";
    case ioerr::GROUP_NAME:
      return "name is not a variable of the group";
    case ioerr::LINE_TOO_LONG:
      return "input record too long";
    case ioerr::END_OF_FILE:
      return "end-of-file during read";
    case ioerr::NOT_FOUND:
      return "file not found";
    case ioerr::OPEN_FAILURE:
      return "open failure";
    case ioerr::WRITE_FAILURE:
      return "error during write";
    case ioerr::FREE_SYNTAX:
      return "syntax error in free-form input";
    case ioerr::CONVERSION:
      return "input conversion error";
    default:
      return "input/output error";
  }
}

namespace {
// The console's output first, so that the error line comes after it; a
// console that cannot be written does not keep the line from standard error.
void error_line(const std::string& line) {
  console().out().flush_quietly();
  std::fprintf(stderr, "%s\r\n", line.c_str());
  std::fflush(stderr);
}
}  // namespace

int run_program(void (*main_routine)()) {
  int status = 0;
  try {
    try {
      main_routine();
    } catch (const ProgramStop& stop) {
      // The program's own stop: its message is on the console.
      status = stop.exit_status();
    }
    // The output still buffered at the end: a console that cannot take it
    // is a failed write like any other.
    console().flush_output();
  } catch (const FatalIoError& e) {
    error_line(e.what());
    status = 1;
  } catch (const std::exception& e) {
    // A fault of the program itself (a table index out of range, a request
    // no caller should make): say so rather than abort.
    error_line(std::string("internal error: ") + e.what());
    status = 2;
  }
  return status;
}
