// Input files that are not regular files: /dev/zero and a FIFO named as
// each kind of input file of tav end promptly, with the question asked
// again where the name was typed, or error 30 where it comes from the run
// parameters; and a console of one endless line ends with error 22.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "elefile.h"
#include "jplread.h"
#include "mpcorb.h"
#include "params.h"
#include "plephx.h"
#include "program_run.h"
#include "records.h"
#include "tav.h"
#include "test_io.h"

namespace {

using namespace testing_support;

// A call that hangs is killed by the alarm, and the test fails, instead of
// blocking the test run.
class Deadline {
 public:
  Deadline() { alarm(20); }
  ~Deadline() { alarm(0); }
};

struct InputCase {
  const char* what;
  std::string (*answers)(const std::string& name);  // on the console
  void (*call)(const std::string& name);            // the reader
  std::string shown;                                // a text the console must show; empty: none
  int error;                                        // the fatal error that ends the call
  int unit;
};

TEST(NonRegularInputFiles, EndPromptly) {
  TempDir dir;
  const std::string fifo = (dir / "fifo").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  const std::vector<InputCase> cases = {
      // Typed names: not an existing file, so the question comes again (and
      // the end of the answers then ends the call).
      {"initialization file", [](const std::string& name) { return " \n" + name + "\n"; },
       [](const std::string&) {
         EphemState s;
         initialization_menu(s);
       },
       " does not exist.\r\n Please reenter initialization option\r\n", ioerr::END_OF_FILE, 5},
      {"element file", [](const std::string& name) { return name + "\n"; },
       [](const std::string&) {
         ElementSet el;
         GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G);
       },
       " element file does not exist\r\n Please re-enter file name\r\n", ioerr::END_OF_FILE, 5},
      // Names from the run parameters: error 30 on the file's channel.
      {"MPCORB file", [](const std::string&) { return std::string("1\n"); },
       [](const std::string& name) {
         ElementSet el;
         Text<32> file;
         file = name;
         GET_MPC_ELEMENTS(file, 1, el, OBJECT.H, OBJECT.G);
       },
       "", ioerr::OPEN_FAILURE, 100},
      {"JPL file", [](const std::string&) { return std::string(); },
       [](const std::string& name) {
         JPLNAM.JPLFILE = name;
         PLNSRC.IMEAN = 0;
         BodyState r{};
         PLEPHX(2451545.0, 3, 11, r);
       },
       "", ioerr::OPEN_FAILURE, 12},
  };
  for (const InputCase& c : cases) {
    for (const std::string& name : {std::string("/dev/zero"), fifo}) {
      SCOPED_TRACE(std::string(c.what) + " " + name);
      reset_records();
      reset_ephemeris_reader();
      ConsoleScript console(c.answers(name));
      {
        Deadline deadline;
        EXPECT_TRUE(fails_with([&] { c.call(name); }, c.error, c.unit));
      }
      const std::string out = console.output();
      if (!c.shown.empty()) {
        EXPECT_NE(out.find(" " + name + " "), std::string::npos) << out;
        EXPECT_NE(out.find(c.shown), std::string::npos) << out;
      }
    }
  }
}

// The console as one endless line: the first answer ends the run with the
// line-length error instead of filling the memory.
TEST(NonRegularInputFiles, EndlessConsoleLine) {
  TempDir dir;
  const RunResult r = run_on_endless_line(TAV_BINARY, dir.path());
  EXPECT_EQ(r.status, 1);  // 124 would be the timeout
  EXPECT_EQ(r.err, "severe (22): input record too long at line 1, unit 5, file /dev/stdin\r\n");
}

}  // namespace
