// The element file: reading (both forms of line 1, both element forms, bad
// files), writing from a state, and the console display of an element set.
#include "elefile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "astcon.h"
#include "elements.h"
#include "program_run.h"
#include "records.h"
#include "stop.h"
#include "test_io.h"

namespace {

using namespace testing_support;

constexpr double R = ASTCON::RADDEG;

// Lines 2 to 12 of an element file in the minor-planet form.
const std::vector<std::string> kMinorPlanetBody = {"         10.430000000000000000",
                                                   "          0.460000000000000000",
                                                   "        110.829600000000000000",
                                                   "        178.816500000000000000",
                                                   "        304.322100000000000000",
                                                   "         10.828700000000000000",
                                                   "          0.222600000000000000",
                                                   "          0.214078291231139195",
                                                   "          2.767500000000000071",
                                                   "    2455000.500000000000000000",
                                                   "MPC orbit"};

class ElementFile : public ::testing::Test {
 protected:
  void SetUp() override { reset_records(); }

  // Writes an element file of the given lines and reads it with
  // GET_TAV_ELEMENTS; returns the console output.
  std::string load(const std::vector<std::string>& file_lines) {
    write_file(dir / "obj.ele", crlf_text(file_lines));
    return read_from((dir / "obj.ele").string() + "\n");
  }
  std::string read_from(const std::string& answers) {
    ConsoleScript console(answers);
    GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G);
    return console.output();
  }

  TempDir dir;
  ElementSet el;
};

TEST_F(ElementFile, ReadsTheMinorPlanetForm) {
  std::vector<std::string> file = {"      433 Eros                        2009-Jun-18"};
  file.insert(file.end(), kMinorPlanetBody.begin(), kMinorPlanetBody.end());
  const std::string out = load(file);
  EXPECT_EQ(out, " Enter name of input element data file\r\n");
  EXPECT_EQ(OBJECT.NUMBER, 433);
  EXPECT_EQ(OBJECT.NAME.view(), std::string("Eros") + std::string(60, ' '));
  EXPECT_EQ(OBJECT.H, 10.43);
  EXPECT_EQ(OBJECT.G, 0.46);
  EXPECT_EQ(el.e, 0.2226);
  EXPECT_EQ(el.i, 10.8287 / R);
  EXPECT_EQ(el.node, 304.3221 / R);
  EXPECT_EQ(el.peri, 178.8165 / R);
  EXPECT_EQ(el.aq, 2.7675);
  EXPECT_EQ(el.tp, 2455000.5 - (110.8296 / R) / (0.214078291231139195 / R));
  EXPECT_EQ(OBJECT.EPOCH, 2455000.5);
  EXPECT_EQ(OBJECT.ICOMET, 0);
  EXPECT_EQ(OBJECT.ELSRC.view(), "MPC orbit" + std::string(71, ' '));
}

struct FirstLineCase {
  const char* what;
  std::string line1;
  std::int32_t number;
  std::string name;  // trimmed
};

TEST_F(ElementFile, FirstLineForms) {
  const std::vector<FirstLineCase> cases = {
      {"numbered", "    99942 Apophis                     2019-Jul-27", 99942, "Apophis"},
      // The unnumbered form: no integer in columns 1-9, so the first 50
      // columns are the name, the date included.
      {"unnumbered", "2004 MN4                    2019-Jul-27", 0,
       "2004 MN4                    2019-Jul-27"},
      // Digits and blanks in columns 1-9 read as the numbered form.
      {"unnumbered, digits first", "2004 1234 extra name        2019-Jul-27", 20041234,
       "extra name        2019-Jul-2"},
      {"nine blanks", "          C/1995 O1 (Hale-Bopp)  2019-Jul-27", 0,
       "C/1995 O1 (Hale-Bopp)  2019-"},
      {"empty line", "", 0, ""},
  };
  for (const FirstLineCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> file = {c.line1};
    file.insert(file.end(), kMinorPlanetBody.begin(), kMinorPlanetBody.end());
    load(file);
    EXPECT_EQ(OBJECT.NUMBER, c.number);
    EXPECT_EQ(OBJECT.NAME.trimmed(), c.name);
  }
}

TEST_F(ElementFile, MeanMotionChoosesTheForm) {
  std::vector<std::string> file = {"        0 C/2009 R1                   2009-Jun-18"};
  file.insert(file.end(), kMinorPlanetBody.begin(), kMinorPlanetBody.end());
  file[3] = "    2455380.187500000000000000";  // Tp
  file[8] = "          0.000000000000000000";
  load(file);
  EXPECT_EQ(OBJECT.ICOMET, 1);
  EXPECT_EQ(el.tp, (2455380.1875 / R) * R);
  EXPECT_EQ(el.aq, 2.7675);  // q

  file[8] = "          0.000000000000000001";  // any mean motion but zero
  load(file);
  EXPECT_EQ(OBJECT.ICOMET, 0);
  EXPECT_EQ(el.tp, 2455000.5 - (2455380.1875 / R) / (1e-18 / R));
}

TEST_F(ElementFile, MissingFileIsAskedAgain) {
  std::vector<std::string> file = {"      433 Eros                        2009-Jun-18"};
  file.insert(file.end(), kMinorPlanetBody.begin(), kMinorPlanetBody.end());
  write_file(dir / "obj.ele", crlf_text(file));
  const std::string out = read_from("nofile.ele\n\n" + (dir / "obj.ele").string() + "\n");
  const std::string prompt = " Enter name of input element data file\r\n";
  EXPECT_EQ(out,
            prompt + " nofile.ele                               element file does not exist\r\n" +
                " Please re-enter file name\r\n" + prompt + " " + std::string(40, ' ') +
                " element file does not exist\r\n" + " Please re-enter file name\r\n" + prompt);
  EXPECT_EQ(OBJECT.NUMBER, 433);
}

struct BadFileCase {
  const char* what;
  std::string bytes;
  int error;
};

TEST_F(ElementFile, BadFilesEndTheProgram) {
  std::vector<std::string> good = {"      433 Eros                        2009-Jun-18"};
  good.insert(good.end(), kMinorPlanetBody.begin(), kMinorPlanetBody.end());
  std::vector<std::string> eleven(good.begin(), good.end() - 1);
  std::vector<std::string> letters = good;
  letters[5] = "        304.32x";
  std::vector<std::string> two_points = good;
  two_points[2] = "0.4.6";
  const std::vector<BadFileCase> cases = {
      {"empty file", "", ioerr::END_OF_FILE},
      {"eleven lines", crlf_text(eleven), ioerr::END_OF_FILE},
      {"letter in a number", crlf_text(letters), ioerr::CONVERSION},
      {"two points", crlf_text(two_points), ioerr::CONVERSION},
  };
  for (const BadFileCase& c : cases) {
    SCOPED_TRACE(c.what);
    write_file(dir / "bad.ele", c.bytes);
    ConsoleScript console((dir / "bad.ele").string() + "\n");
    EXPECT_TRUE(fails_with([&] { GET_TAV_ELEMENTS(el, OBJECT.H, OBJECT.G); }, c.error, 44));
  }
}

// ---------------------------------------------------------------- PRINT_ELE

class PrintEle : public ::testing::Test {
 protected:
  void SetUp() override { reset_records(); }
  std::string print(const ElementSet& set, JulianDate t) {
    ConsoleScript console("");
    PRINT_ELE(set, t);
    return console.output();
  }
};

TEST_F(PrintEle, BothForms) {
  const ElementSet set{0.25, 0.25, 1.0, 0.5, 2.5, 2455000.5};
  EXPECT_EQ(print(set, 2455000.5),
            crlf_text({" Osculating elements on JD 2455000.500 follow:",
                       " Mean anomaly (M)      =     0.000000000000000",
                       " Semi-major axis (a)   =   2.50000000000000000",
                       " Angle of per (\xEC)      =    28.647889756541161",
                       " Long of asc node (\xEA)  =    57.295779513082323",
                       " Inclination (i)       =    14.323944878270581",
                       " Eccentricity (e)      =   0.25000000000000000",
                       " Perihelion date (Tp)  =  2455000.500000000000", ""}));
  OBJECT.ICOMET = 1;
  EXPECT_EQ(print(set, 0.0), crlf_text({" Perihelion distance (q) =   2.50000000000000000",
                                        " Angle of per (\xEC)      =    28.647889756541161",
                                        " Long of asc node (\xEA)  =    57.295779513082323",
                                        " Inclination (i)       =    14.323944878270581",
                                        " Eccentricity (e)      =   0.25000000000000000",
                                        " Perihelion date (Tp)  =  2455000.500000000000", ""}));
}

// The mean anomaly shown (degrees) for a computed one: 2 pi taken off once
// when above it, then 2 pi added once when below zero.
TEST_F(PrintEle, MeanAnomalyReduction) {
  const struct {
    double computed, shown;
  } cases[] = {{400, 40}, {800, 440}, {-10, 350}, {-400, -40}, {359, 359}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.computed);
    // a = 1 AU: the mean motion is GAUSSK rad/day.
    const ElementSet set{0.1, 0.1, 0.1, 0.1, 1.0, 2455000.5};
    const std::string out = print(set, set.tp + c.computed / R / ASTCON::GAUSSK);
    const std::string line = crlf_lines(out).at(1);
    ASSERT_EQ(line.rfind(" Mean anomaly (M)      = ", 0), 0u) << line;
    EXPECT_NEAR(std::strtod(line.c_str() + 25, nullptr), c.shown, 1e-9);
  }
}

TEST_F(PrintEle, AxisTooWideShowsAsterisks) {
  const struct {
    double a;
    std::string field;
  } cases[] = {{1000.0, std::string(21, '*')},
               {-100.0, std::string(21, '*')},
               {999.5, "999.50000000000000000"},
               {-99.5, "-99.50000000000000000"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a);
    const std::string out = print(ElementSet{0.5, 0.1, 0.1, 0.1, c.a, 2455000.5}, 2455000.5);
    EXPECT_EQ(crlf_lines(out).at(2), " Semi-major axis (a)   = " + c.field);
  }
}

// ---------------------------------------------------------------- SAVE_ELE

class SaveEle : public ElementFile {
 protected:
  // Saves the orbit `set` as seen at date t, and reads the file back.
  std::string save(const ElementSet& set, JulianDate t, const std::string& name = "saved.ele") {
    StateVector s;
    ELEM2XV(set, t, OBJECT.ICOMET, s);
    Text<30> file;
    file = name;
    ConsoleScript console("");
    SAVE_ELE(s, t, file);
    return console.output();
  }
  std::vector<std::string> saved_lines(const std::string& name = "saved.ele") {
    return crlf_lines(read_file(name));
  }

  void SetUp() override {
    ElementFile::SetUp();
    old_dir = fs::current_path();
    fs::current_path(dir.path());
    OBJECT.NUMBER = 433;
    OBJECT.NAME = "Eros";
    OBJECT.H = 10.43;
    OBJECT.G = 0.46;
  }
  void TearDown() override { fs::current_path(old_dir); }
  fs::path old_dir;
};

TEST_F(SaveEle, ReproducesAnEllipse) {
  // 100 days before perihelion: the mean anomaly is negative and gets 360.
  const ElementSet orbit{0.2226, 10.8287 / R, 304.3221 / R, 178.8165 / R, 2.7675, 2455100.5};
  const std::string out = save(orbit, 2455000.5);
  const std::vector<std::string> ls = saved_lines();
  ASSERT_EQ(ls.size(), 12u);
  EXPECT_EQ(ls[0], "      433 Eros                        2009-Jun-18");
  EXPECT_EQ(ls[1], "         10.429999999999999716");
  EXPECT_EQ(ls[10], "    2455000.500000000000000000");
  EXPECT_EQ(ls[11], "TAV generated file saved.ele" + std::string(21, ' '));
  const double M = std::strtod(ls[3].c_str(), nullptr);
  EXPECT_NEAR(M, 360.0 - 100.0 * 0.2140782912311392, 1e-9);

  const std::vector<std::string> shown = crlf_lines(out);
  ASSERT_EQ(shown.size(), 11u);
  EXPECT_EQ(shown[0], " Elements saved:");
  EXPECT_EQ(shown[1], " Osculating elements on JD 2455000.500 follow:");
  EXPECT_EQ(shown[10], " Elements saved on file saved.ele                     ");

  read_from("saved.ele\n");
  EXPECT_EQ(OBJECT.ICOMET, 0);
  EXPECT_EQ(OBJECT.NUMBER, 433);
  EXPECT_EQ(OBJECT.EPOCH, 2455000.5);
  EXPECT_EQ(OBJECT.H, 10.43);
  EXPECT_NEAR(el.e, orbit.e, 1e-12);
  EXPECT_NEAR(el.i, orbit.i, 1e-12);
  EXPECT_NEAR(el.node, orbit.node, 1e-12);
  EXPECT_NEAR(el.peri, orbit.peri, 1e-12);
  EXPECT_NEAR(el.aq, orbit.aq, 1e-11);
  // The perihelion passage after the epoch: M was raised by one revolution.
  const double period = 360.0 / 0.2140782912311392;
  EXPECT_NEAR(el.tp, orbit.tp - period, 1e-6);
}

TEST_F(SaveEle, ReproducesACometOrbit) {
  OBJECT.ICOMET = 1;
  OBJECT.NUMBER = 0;
  OBJECT.NAME = "C/2009 R1 (McNaught)";
  const ElementSet orbit{0.9994, 77.6 / R, 322.8 / R, 130.7 / R, 0.405, 2455380.1875};
  save(orbit, 2455001.0);
  const std::vector<std::string> ls = saved_lines();
  ASSERT_EQ(ls.size(), 12u);
  // Unnumbered form of line 1; a zero mean motion marks the comet form.
  EXPECT_EQ(ls[0], "C/2009 R1 (McNaught)        2009-Jun-18");
  EXPECT_EQ(ls[8], "          0.000000000000000000");

  read_from("saved.ele\n");
  EXPECT_EQ(OBJECT.ICOMET, 1);
  EXPECT_EQ(OBJECT.NUMBER, 0);
  // Read back through the name-only path: 50 columns of line 1.
  EXPECT_EQ(OBJECT.NAME.view().substr(0, 50), "C/2009 R1 (McNaught)        2009-Jun-18           ");
  EXPECT_NEAR(el.e, orbit.e, 1e-12);
  EXPECT_NEAR(el.i, orbit.i, 1e-12);
  EXPECT_NEAR(el.aq, orbit.aq, 1e-12);
  EXPECT_NEAR(el.tp, orbit.tp, 1e-6);
}

TEST_F(SaveEle, HyperbolaInTheAForm) {
  const ElementSet orbit{1.5, 0.3, 0.2, 0.1, -4.0, 2455100.5};
  save(orbit, 2455000.5);
  const std::vector<std::string> ls = saved_lines();
  ASSERT_EQ(ls.size(), 12u);
  EXPECT_NEAR(std::strtod(ls[8].c_str(), nullptr), 0.1232009585751781, 1e-12);  // from |a|
  EXPECT_NEAR(std::strtod(ls[9].c_str(), nullptr), -4.0, 1e-9);
  read_from("saved.ele\n");
  EXPECT_EQ(OBJECT.ICOMET, 0);
  EXPECT_NEAR(el.aq, -4.0, 1e-9);
  EXPECT_NEAR(el.e, 1.5, 1e-12);
}

TEST_F(SaveEle, WideAxisAndLongName) {
  OBJECT.NAME = "Mercury observed from Neptune";
  const ElementSet orbit{0.5, 0.3, 0.2, 0.1, 1500.0, 2455100.5};
  const std::string out = save(orbit, 2455000.5);
  EXPECT_NE(out.find(" Semi-major axis (a)   = " + std::string(21, '*')), std::string::npos);
  const std::vector<std::string> ls = saved_lines();
  ASSERT_EQ(ls.size(), 12u);
  EXPECT_EQ(ls[0], "      433 Mercury observed from Neptun2009-Jun-18");
  EXPECT_NEAR(std::strtod(ls[9].c_str(), nullptr), 1500.0, 1e-6);
}

// Inside the near-parabolic band the a form gets the osculating axis of the
// state's energy.
TEST_F(SaveEle, NearParabolicOrbitInTheAForm) {
  OBJECT.ICOMET = 1;
  StateVector s;
  ELEM2XV(ElementSet{0.99999995, 0.3, 0.2, 0.1, 1.0, 2455000.5}, 2455000.5, 1, s);
  OBJECT.ICOMET = 0;
  Text<30> file;
  file = "saved.ele";
  ConsoleScript console("");
  SAVE_ELE(s, 2455000.5, file);
  const std::vector<std::string> ls = saved_lines();
  ASSERT_EQ(ls.size(), 12u);
  EXPECT_NEAR(std::strtod(ls[9].c_str(), nullptr) / 2.0e7, 1.0, 1e-6);  // a = q / (1 - e)
}

struct RoundTripCase {
  const char* what;
  ElementSet orbit;     // made into the state that is saved
  std::int32_t from;    // form of `orbit`: 0 a, 1 q
  std::int32_t icomet;  // OBJECT.ICOMET when saving
};

// A saved state reads back to the same orbit, in the form it was saved in:
// the elements read from the file give the same state as the osculating
// elements that XV2ELEM makes of the saved state. (Within the near-parabolic
// band those give the saved state itself only to about 1e-7, as XV2ELEM
// takes the parabola's perihelion time there.)
TEST_F(SaveEle, RoundTripOfEveryKindOfOrbit) {
  const JulianDate t = 2455000.5;
  const std::vector<RoundTripCase> cases = {
      {"ellipse, a form", {0.2226, 0.189, 5.31, 3.12, 2.7675, 2455100.5}, 0, 0},
      {"ellipse, q form", {0.5, 0.3, 0.2, 0.1, 1.2, 2455100.5}, 1, 1},
      {"circle, a form", {0.0, 0.3, 0.2, 0.1, 1.0, 2455100.5}, 0, 0},
      {"hyperbola, a form", {1.5, 0.3, 0.2, 0.1, -4.0, 2455100.5}, 0, 0},
      {"hyperbola, q form", {1.2, 2.5, 4.0, 5.0, 0.8, 2454900.5}, 1, 1},
      {"near-parabolic ellipse, q form", {1 - 5e-8, 0.3, 0.2, 0.1, 0.5, 2455030.5}, 1, 1},
      {"near-parabolic hyperbola, q form", {1 + 5e-8, 0.3, 0.2, 0.1, 0.5, 2454980.5}, 1, 1},
      {"parabola, q form", {1.0, 0.3, 0.2, 0.1, 0.5, 2454980.5}, 1, 1},
      {"near-parabolic ellipse, a form", {1 - 5e-8, 0.3, 0.2, 0.1, 1.0, 2455000.5}, 1, 0},
      // The widest axes the field holds: about 1e11 AU, and -1e10 AU.
      {"large axis of an ellipse, a form", {1 - 1.25e-11, 0.3, 0.2, 0.1, 1.0, 2455000.5}, 1, 0},
      {"large axis of a hyperbola, a form", {1 + 2e-10, 0.3, 0.2, 0.1, 1.0, 2455000.5}, 1, 0},
  };
  for (const RoundTripCase& c : cases) {
    SCOPED_TRACE(c.what);
    StateVector s;
    ELEM2XV(c.orbit, t, c.from, s);
    OBJECT.ICOMET = c.icomet;
    Text<30> file;
    file = "saved.ele";
    fs::remove("saved.ele");
    {
      ConsoleScript console("");
      SAVE_ELE(s, t, file);
    }
    ASSERT_EQ(saved_lines().size(), 12u);
    read_from("saved.ele\n");
    EXPECT_EQ(OBJECT.ICOMET, c.icomet);
    EXPECT_EQ(OBJECT.EPOCH, t);
    ElementSet osculating;
    OBJECT.ICOMET = c.icomet;
    XV2ELEM(s, t, osculating);
    ELEM2XV(osculating, t, c.icomet, s);
    StateVector back;
    ELEM2XV(el, t, c.icomet, back);
    const double r = std::hypot(s.x, s.y, s.z), v = std::hypot(s.vx, s.vy, s.vz);
    EXPECT_NEAR(back.x, s.x, 1e-9 * r);
    EXPECT_NEAR(back.y, s.y, 1e-9 * r);
    EXPECT_NEAR(back.z, s.z, 1e-9 * r);
    EXPECT_NEAR(back.vx, s.vx, 1e-9 * v);
    EXPECT_NEAR(back.vy, s.vy, 1e-9 * v);
    EXPECT_NEAR(back.vz, s.vz, 1e-9 * v);
  }
}

struct NotSavedCase {
  const char* what;
  StateVector s;
  std::int32_t icomet;
  std::string message;  // the first console line
};

// An orbit whose file would not read back is not saved: the console says
// which value does not fit, and no file is written; an earlier file of that
// name stays as it was.
TEST_F(SaveEle, OrbitThatTheFileCannotCarry) {
  const JulianDate t = 2455000.5;
  const auto state = [t](double e) {
    StateVector s;
    ELEM2XV(ElementSet{e, 0.3, 0.2, 0.1, 1.0, t}, t, 1, s);
    return s;
  };
  const double nan = std::nan("");
  const std::vector<NotSavedCase> cases = {
      // Just beyond the large-axis edge of the round trip above.
      {"axis of an ellipse beyond the field", state(1 - 5e-12), 0,
       " Elements not saved: the semimajor axis does not fit the element file"},
      {"axis of a hyperbola beyond the field", state(1 + 5e-11), 0,
       " Elements not saved: the semimajor axis does not fit the element file"},
      {"a state with no finite elements", StateVector{nan, 1, 0, 0, 1, 0}, 1,
       " Elements not saved: the perihelion date does not fit the element file"},
  };
  for (const NotSavedCase& c : cases) {
    SCOPED_TRACE(c.what);
    for (const bool earlier_file : {false, true}) {
      fs::remove("saved.ele");
      if (earlier_file) write_file("saved.ele", "an earlier file\r\n");
      OBJECT.ICOMET = c.icomet;
      Text<30> file;
      file = "saved.ele";
      ConsoleScript console("");
      SAVE_ELE(c.s, t, file);
      const std::vector<std::string> out = crlf_lines(console.output());
      ASSERT_GE(out.size(), 2u);
      EXPECT_EQ(out.front(), c.message);
      EXPECT_EQ(out.back(), " Nothing written on file saved.ele                     ");
      if (earlier_file) {
        EXPECT_EQ(read_file("saved.ele"), "an earlier file\r\n");
      } else {
        EXPECT_FALSE(fs::exists("saved.ele"));
      }
    }
  }
}

TEST_F(SaveEle, ReplacesALongerFile) {
  write_file("saved.ele", std::string(3000, 'x') + "\r\n");
  save(ElementSet{0.2, 0.3, 0.2, 0.1, 2.0, 2455100.5}, 2455000.5);
  EXPECT_EQ(saved_lines().size(), 12u);
}

TEST_F(SaveEle, FileThatCannotBeCreated) {
  fs::create_directory("adir");
  EXPECT_TRUE(fails_with(
      [&] {
        save(ElementSet{0.2, 0.3, 0.2, 0.1, 2.0, 2455100.5}, 2455000.5, "adir");
      },
      ioerr::OPEN_FAILURE, 10));
}

}  // namespace
