// The MPCORB reader against real Minor Planet Center files, each behind a
// 39-line header written by the test.
#include "mpcorb.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "astcon.h"
#include "program_run.h"
#include "records.h"
#include "stop.h"
#include "stop_checks.h"
#include "test_data.h"
#include "test_io.h"

namespace {

using namespace testing_support;

constexpr double R = ASTCON::RADDEG;
const std::string kTitle = "MPCORB test file, Minor Planet Center";  // columns 36-75

double single(double v) {
  return static_cast<double>(static_cast<float>(v));
}

class Mpcorb : public ::testing::Test {
 protected:
  void SetUp() override {
    if (data_dir().empty()) GTEST_SKIP() << "real data folder absent";
    reset_records();
    old_dir = fs::current_path();
    fs::current_path(dir.path());
    file = "MPCORB.DAT";
  }
  void TearDown() override {
    if (!old_dir.empty()) fs::current_path(old_dir);
  }

  // The 39 header lines; line 1 holds the title in columns 36 to 75.
  static std::string header(int count = 39) {
    std::string h = std::string(35, ' ') + kTitle + "\n";
    for (int k = 2; k <= count; ++k) h += "header line " + std::to_string(k) + "\n";
    return h;
  }
  static std::string data(const std::string& name) { return read_file(data_dir() / "mpc" / name); }
  void make(const std::string& body) { write_file("MPCORB.DAT", body); }
  const std::function<void()> load_by_number = [this] {
    GET_MPC_ELEMENTS(file, 1, el, OBJECT.H, OBJECT.G);
  };

  // Runs one search with the given answers; returns the console output.
  std::string search(std::int32_t choice, const std::string& answers) {
    ConsoleScript console(answers);
    GET_MPC_ELEMENTS(file, choice, el, OBJECT.H, OBJECT.G);
    return console.output();
  }

  TempDir dir;
  fs::path old_dir;
  Text<32> file;
  ElementSet el;
};

const std::string kNumberPrompt = " Enter minor planet number\r\n";
const std::string kNamePrompt = " Enter minor planet name (as it appears in MPC)\r\n";
const std::string kEndOfFile =
    " End of MPCORB encountered. Re-enter input information\r\n"
    " Names are case sensitive and may include spaces.\r\n";

TEST_F(Mpcorb, NumberSearchLoadsTheLine) {
  make(header() + data("observeplan_MPCORB.excerpt_K232P.DAT"));
  OBJECT.ICOMET = 1;  // left by a comet loaded before
  EXPECT_EQ(search(1, "1\n"), kNumberPrompt);
  // 00001    3.33  0.15 K232P  17.21569   73.47045   80.26013   10.58634
  //   0.0788175  0.21411523   2.7671817 ...  (1) Ceres
  const double epoch = 2460000.5;  // K232P: 2023 February 25, 0 h
  EXPECT_EQ(OBJECT.EPOCH, epoch);
  EXPECT_EQ(OBJECT.H, single(3.33));
  EXPECT_EQ(OBJECT.G, single(0.15));
  EXPECT_EQ(el.e, single(0.0788175));
  EXPECT_EQ(el.i, single(10.58634) / R);
  EXPECT_EQ(el.node, single(80.26013) / R);
  EXPECT_EQ(el.peri, single(73.47045) / R);
  EXPECT_EQ(el.aq, single(2.7671817));
  EXPECT_EQ(el.tp, epoch - (single(17.21569) / R) / (single(0.21411523) / R));
  EXPECT_EQ(OBJECT.ICOMET, 0);
  EXPECT_EQ(OBJECT.NUMBER, 1);
  EXPECT_EQ(OBJECT.NAME.view(), "Ceres" + std::string(59, ' '));
  EXPECT_EQ(OBJECT.ELSRC.view(), kTitle + std::string(80 - kTitle.size(), ' '));
}

struct FoundCase {
  const char* what;
  std::int32_t choice;
  std::string answer;
  std::int32_t number;
  std::string name;  // trimmed
  JulianDate epoch;
};

TEST_F(Mpcorb, SearchesOfTheNeaFile) {
  make(header() + data("NEA_2019-07.txt"));
  const JulianDate k1972 = 2458666.5;  // 2019 July 2
  const std::vector<FoundCase> cases = {
      {"number 433", 1, "433", 433, "Eros", k1972},
      {"number after the first line", 1, "99942", 99942, "Apophis", k1972},
      {"packed number a0191", 1, "360191", 360191, "1988 TA", k1972},
      {"quoted answer", 1, "'433'", 433, "Eros", k1972},
      {"name: readable designation", 2, "Eros", 433, "   (433) Eros", k1972},
      {"name of an unnumbered object", 2, "2010 AF", 0, "         2010 AF", k1972},
      {"name of 17 characters, first 16 typed", 2, "Wilson-Harringto", 4015,
       "  (4015) Wilson-Harrington", k1972},
  };
  for (const FoundCase& c : cases) {
    SCOPED_TRACE(c.what);
    OBJECT.NUMBER = 12345;  // from an object loaded before
    const std::string out = search(c.choice, c.answer + "\n");
    EXPECT_EQ(out, c.choice == 1 ? kNumberPrompt : kNamePrompt);
    EXPECT_EQ(OBJECT.NUMBER, c.number);
    EXPECT_EQ(OBJECT.NAME.trimmed(), c.name);
    EXPECT_EQ(OBJECT.EPOCH, c.epoch);
  }
}

// Answers that match no line: the end of the file, the two messages, the
// file read again from its header and the question asked again.
TEST_F(Mpcorb, FruitlessSearchAsksAgain) {
  make(header() + data("NEA_2019-07.txt"));
  const std::vector<FoundCase> cases = {
      {"leading zeros", 1, "00433", 0, "", 0},
      {"number in parentheses", 1, "(433)", 0, "", 0},
      {"lower case", 2, "eros", 0, "", 0},
      {"leading blank", 2, " Eros", 0, "", 0},
      {"all 17 characters", 2, "Wilson-Harrington", 0, "", 0},
  };
  for (const FoundCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string prompt = c.choice == 1 ? kNumberPrompt : kNamePrompt;
    const std::string out =
        search(c.choice, c.answer + "\n" + (c.choice == 1 ? "433" : "Eros") + "\n");
    EXPECT_EQ(out, prompt + kEndOfFile + prompt);
    EXPECT_EQ(OBJECT.NAME.trimmed(), c.choice == 1 ? "Eros" : "   (433) Eros");
  }
}

TEST_F(Mpcorb, NameSearchOfTheExcerpt) {
  make(header() + data("observeplan_MPCORB.excerpt_K232P.DAT"));
  EXPECT_EQ(search(2, " Ceres\nCeres\n"), kNamePrompt + kEndOfFile + kNamePrompt);
  EXPECT_EQ(OBJECT.NAME.view().substr(0, 28), "     (1) Ceres              ");
  EXPECT_EQ(OBJECT.NUMBER, 1);
}

TEST_F(Mpcorb, PlutoCannotPerturbItself) {
  make(header() + data("Distant_2019-05.txt"));
  const std::string message = " Pluto is not able to perturb itself, nplanet reset to 8\r\n";
  PERTRB.NPLANET = 10;
  EXPECT_EQ(search(1, "134340\n"), kNumberPrompt + message);
  EXPECT_EQ(PERTRB.NPLANET, 8);
  EXPECT_EQ(OBJECT.NUMBER, 134340);  // packed D4340
  PERTRB.NPLANET = 5;
  EXPECT_EQ(search(2, "Pluto\n"), kNamePrompt + message);
  EXPECT_EQ(PERTRB.NPLANET, 8);
}

TEST_F(Mpcorb, MissingFileStopsTheProgram) {
  ConsoleScript console("");
  EXPECT_EQ(testing_support::stop_kind([&] { GET_MPC_ELEMENTS(file, 1, el, OBJECT.H, OBJECT.G); }),
            StopKind::MpcorbMissing);
  EXPECT_EQ(console.output(), " MPCORB file not found, exiting program.\r\n");
}

// Line ends CR LF, and lines shorter or longer than 202 columns: missing
// columns are blanks, columns past the last field are ignored.
TEST_F(Mpcorb, LineLengthsAndLineEnds) {
  const std::string ceres = data("observeplan_MPCORB.excerpt_K232P.DAT").substr(0, 202);
  make(crlf(header() + ceres.substr(0, 194) + "\n" + ceres + std::string(50, 'x') + "\n"));
  search(1, "1\n");
  EXPECT_EQ(OBJECT.NAME.trimmed(), "Ceres");
  EXPECT_EQ(OBJECT.ELSRC.trimmed(), kTitle);
  make(header() + ceres.substr(0, 103) + "\n" + ceres + "\n");
  search(2, "\n");  // an empty name matches the line without name columns
  EXPECT_EQ(OBJECT.NAME.trimmed(), "");
  EXPECT_EQ(el.aq, single(2.7671817));
}

struct BadLineCase {
  const char* what;
  std::size_t column;  // from 1
  std::string text;    // written over the Ceres line there
};

TEST_F(Mpcorb, MalformedMatchedLineEndsTheProgram) {
  const std::string ceres = data("observeplan_MPCORB.excerpt_K232P.DAT").substr(0, 202);
  const std::vector<BadLineCase> cases = {
      {"letter in H", 9, " 3.x3"},
      {"two points in e", 71, "0.07.8175"},
      {"year of the epoch", 22, "2x"},
      {"blank epoch", 21, "     "},
      {"month 13 in the epoch", 24, "D"},
      {"zero mean motion", 81, " 0.00000000"},
      {"blank mean motion", 81, "           "},
      {"beyond single precision", 93, "   1.0E+99 "},
  };
  for (const BadLineCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::string line = ceres;
    line.replace(c.column - 1, c.text.size(), c.text);
    make(header() + line + "\n");
    ConsoleScript console("1\n");
    EXPECT_TRUE(fails_with(load_by_number, ioerr::CONVERSION, 100));
  }
}

TEST_F(Mpcorb, ShortHeaderEndsTheProgram) {
  make(header(38));
  ConsoleScript console("1\n");
  EXPECT_TRUE(fails_with(load_by_number, ioerr::END_OF_FILE, 100));
  EXPECT_EQ(console.output(), "");
}

TEST(Iunpack, PackedCharacters) {
  const struct {
    char c;
    std::int32_t value;
  } cases[] = {{'0', 0},  {'9', 9},  {'A', 10}, {'K', 20}, {'R', 27},
               {'Z', 35}, {'a', 36}, {'z', 61}, {' ', -16}};
  for (const auto& c : cases) EXPECT_EQ(IUNPACK(c.c), c.value) << c.c;
}

}  // namespace
