// The tav program's dialogue: the capture-file question, the
// initialization-file menu, the parameter display, changes by name, the tests
// and the closing question, run as a user runs it, with the answers on
// standard input. The console is compared byte for byte with the transcripts
// in expected/, in which each ephemeris' element source and listing (from the
// element-source question up to the closing question) stands as one marker
// line: the listing runs check those parts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "program_run.h"
#include "tav_run.h"

namespace {

using namespace tav_run;

// An element file written by kestle: (433) Eros, epoch 2009 June 18.
const fs::path kEros = kKestleExpected / "minor_planet.ele";

// A file put into the run folder: its name there and where its bytes come
// from (an empty path makes an empty file).
struct Placed {
  std::string name;
  fs::path from;
};

RunResult run_tav(const TempDir& dir, const std::vector<Placed>& files, const std::string& input) {
  for (const Placed& f : files) place(dir, f.name, f.from);
  return testing_support::run_program(TAV_BINARY, input, dir.path());
}

// The console with each element source and listing replaced by one marker
// line.
std::string without_listings(const std::string& out) {
  const std::string from = " Options for elements:\r\n";
  const std::string to = " Do you want to do another ephemeris? (y or n)\r\n";
  std::string r;
  std::size_t at = 0;
  for (;;) {
    const std::size_t a = out.find(from, at);
    if (a == std::string::npos) break;
    const std::size_t b = out.find(to, a);
    r += out.substr(at, a - at) + "[element source and listing]\r\n";
    at = b == std::string::npos ? out.size() : b;
  }
  return r + out.substr(at);
}

std::string expected(const std::string& name) {
  const fs::path p = kExpected / (name + ".txt");
  EXPECT_TRUE(fs::exists(p)) << p;
  return read_file(p);
}

// ------------------------------------------------------------ whole runs

struct Dialogue {
  const char* name;  // also the name of the expected transcript
  std::vector<Placed> files;
  std::string input;
};

void PrintTo(const Dialogue& d, std::ostream* os) {
  *os << d.name;
}

const std::vector<Dialogue> kDialogues = {
    // One ephemeris from each shipped file; the form decides the hour and
    // interval lines.
    {"short_form",
     {{"tavshort.ini", kRun / "tavshort.ini"}, {"eros.ele", kEros}},
     "\n1\n\n\neros.ele\nn\n"},
    {"astrm_form",
     {{"tavastrm.ini", kRun / "tavastrm.ini"}, {"eros.ele", kEros}},
     "\n3\nut\n5.5\nUt\n6.25\n\n3\neros.ele\nn\n"},
    // MPC: no hour line, DAY with its fraction, XJINC in days, also at the
    // display of the next ephemeris (which shows no menu).
    {"mpc_form",
     {{"tavmpc.ini", kRun / "tavmpc.ini"}, {"eros.ele", kEros}},
     "\n4\nday\n15.5\n\n\neros.ele\ny\n\n\n\neros.ele\nn\n"},
    // Closing question: "Yes" starts another ephemeris, " y" ends the run; a
    // capture-file name of 42 characters is taken.
    {"long_form",
     {{"tavlong.ini", kRun / "tavlong.ini"}, {"eros.ele", kEros}},
     "\n2\n\n\neros.ele\nYes\ncapture-file-name-longer-than-thirty.txt\n\n\neros.ele\n y\n"},
    // A key that names no file, a missing menu file, a missing typed name,
    // then a typed name with leading blanks.
    {"menu",
     {{"my.ini", kRun / "tavlong.ini"}, {"eros.ele", kEros}},
     "\n5\n1\n \nnothere.ini\n\n   my.ini\n\n\neros.ele\nn\n"},
    // Lower case names, 7.9 and -2.5 truncated, an unknown name, a name after
    // a blank, ET asked as ET, a typed form in capitals, "/" keeping the last
    // number (4, the answer for ET), "ut" asked as ET in the MPC form.
    {"change_by_name",
     {{"tavshort.ini", kRun / "tavshort.ini"}, {"eros.ele", kEros}},
     "\n1\nnpos\n7.9\nmonth\n-2.5\nFOO\n npos\net\n4\nform\nmpc\nxjinc\n/\nut\n3\n"
     "method\ncowell\nmonth\n3\nmethod\nkepler\n\n\neros.ele\nn\n"},
    // Every test message, one per empty answer, each with its question; a
    // re-asked value that fails again (31.6 rounds to 32, 24.01); the notice
    // for NPLANET with mean planets; the missing JPL file on the second
    // ephemeris, and the typed name in capitals that exists.
    {"every_test",
     {{"wrong.ini", kFixtures / "wrong.ini"}, {"DE405.BIN", {}}, {"eros.ele", kEros}},
     "\n \nwrong.ini\n\n499.9\n\n12\n\n31.6\n\n31.4\n\n24.01\n\n24\n\n10\n\nmean\n\n3\n\nshort\n"
     // The method in lower case from the file, no interval, DEL below 0
     // and then 0 for ENCKE; KEPLER takes DEL 0 and leaves it 0.
     "\nencke\n\n24\n\n0\n\n2\nmethod\nkepler\n\n\neros.ele\n"
     "y\n\nplanet\njpl\n\nde405.bin\nplanet\nmean\n\n\neros.ele\nn\n"},
    // Texts the file does not set show as blanks, METHOD as COWELL, which
    // refuses the DEL of 0 that the file leaves; the interval is refused
    // before it.
    {"unset_texts",
     {{"unset.ini", kFixtures / "unset.ini"}, {"eros.ele", kEros}},
     "\n \nunset.ini\n\n24\n\n1\nmethod\nkepler\n\n\neros.ele\nn\n"},
};

class DialogueTest : public ::testing::TestWithParam<Dialogue> {};

TEST_P(DialogueTest, ConsoleMatchesTranscript) {
  const Dialogue& d = GetParam();
  TempDir dir;
  const RunResult r = run_tav(dir, d.files, d.input);
  EXPECT_TRUE(same_bytes(expected(d.name), without_listings(r.out)));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

INSTANTIATE_TEST_SUITE_P(Tav, DialogueTest, ::testing::ValuesIn(kDialogues),
                         [](const auto& info) { return std::string(info.param.name); });

// The README's main job: the shipped files and the demo answers print a
// listing of ten lines of Ceres with mean planets, no JPL file.
TEST(TavDemo, ShippedFilesAndDemoAnswers) {
  TempDir dir;
  const RunResult r = run_tav(dir,
                              {{"tavshort.ini", kRun / "tavshort.ini"},
                               {"tavlong.ini", kRun / "tavlong.ini"},
                               {"tavastrm.ini", kRun / "tavastrm.ini"},
                               {"tavmpc.ini", kRun / "tavmpc.ini"},
                               {"MPCORB.DAT", kRun / "MPCORB.DAT"}},
                              read_file(kRun / "demo-answers.txt"));
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find(" NPOS =    10      Positions to print\r\n"), std::string::npos);
  EXPECT_NE(r.out.find("          Planet :        1 Ceres  "), std::string::npos);
  std::size_t lines = 0;
  for (std::size_t at = r.out.find("\r\n 2025-Jan-"); at != std::string::npos;
       at = r.out.find("\r\n 2025-Jan-", at + 1)) {
    ++lines;
  }
  EXPECT_EQ(lines, 10u);
}

// ------------------------------------------------------------ fatal ends

const std::string kStdinEnd = "severe (24): end-of-file during read, unit 5, file /dev/stdin\r\n";

// A malformed initialization file ends the run at once with the fatal line
// naming the file; the console shows no more than the menu.
TEST(TavFatal, MalformedInitializationFile) {
  struct Case {
    const char* content;
    std::string message;
  };
  const Case cases[] = {
      {"&TAVI NPOS = 30, NPOSS = 2 /\n", "severe (19): name is not a variable of the group"},
      {"&TAVI NPOS = 30.0 /\n", "severe (64): input conversion error"},
      {"NPOS = 30\n", "severe (24): end-of-file during read"},  // no group
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    TempDir dir;
    write_file(dir / "tavshort.ini", c.content);
    const RunResult r = testing_support::run_program(TAV_BINARY, "\n1\n", dir.path());
    EXPECT_TRUE(same_bytes(expected("menu_only"), r.out));
    const fs::path ini = fs::canonical(dir.path()) / "tavshort.ini";
    EXPECT_EQ(r.err, c.message + ", unit 111, file " + ini.string() + "\r\n");
    EXPECT_NE(r.status, 0);
  }
}

// The end of standard input at any question is error 24 on the console's
// unit; the last line written is that question.
TEST(TavFatal, EndOfInputAtEveryQuestion) {
  struct Case {
    const char* input;
    const char* last_line;
  };
  const Case cases[] = {
      {"", " cerestav.txt, otherwise enter <CR>"},
      {"\n", " <C/R> => previously built initialization file"},
      {"\n \n", " Input initialization file name"},
      {"\n1\n", " Input name of the variable to change,(C/R to continue)"},
      {"\n1\nnpos\n", " Enter new value for NPOS   "},
      {"\n1\nnpos\n\n\n", " Enter new value for NPOS   "},  // empty lines are skipped
      {"\n1\nform\n", " Enter new value for FORM   "},
      {"\n1\n\n", " Enter element option"},
      {"\n1\n\ny\n", " Enter element option"},  // no source yet: asked again
      {"\n1\n\n\n", " Enter name of input element data file"},
      {"\n1\n\n4\n", " Enter a number for the target planet"},
      {"\n1\n\n4\n99\n", " Enter a number for the target planet"},  // out of range
      {"\n1\n\n4\n3\n", " Enter a number for the observation planet"},
      {"\n1\n\n\neros.ele\n", " Do you want to do another ephemeris? (y or n)"},
      {"\n1\n\n\neros.ele\ny\n", " cerestav.txt, otherwise enter <CR>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.input)));
    TempDir dir;
    const RunResult r =
        run_tav(dir, {{"tavshort.ini", kRun / "tavshort.ini"}, {"eros.ele", kEros}}, c.input);
    const std::string tail = std::string(c.last_line) + "\r\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_EQ(r.err, kStdinEnd);
    EXPECT_NE(r.status, 0);
  }
}

// Standard output that cannot be written (a full device) is a failed write
// like the capture file's: the fatal line on standard error, a non-zero
// status, and no listing.
TEST(TavFatal, ConsoleThatCannotBeWritten) {
  if (testing_support::full_device().empty()) GTEST_SKIP() << "no /dev/full here";
  TempDir dir;
  for (const Placed& f : {Placed{"tavshort.ini", kRun / "tavshort.ini"}, Placed{"eros.ele", kEros}})
    place(dir, f.name, f.from);
  const RunResult r =
      testing_support::run_to_full_device(TAV_BINARY, "cap.txt\n1\n\n\neros.ele\nn\n", dir.path());
  EXPECT_EQ(r.err, "severe (38): error during write, unit 6, file /dev/stdout\r\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(dir / "cap.txt"));
}

// A file to write that is a file being read, also through a link, is asked
// for again where it was named, with a message: the capture file named
// before the initialization file names the JPL file, STFILE a link to the
// MPCORB file, ENDFIL a hard link to the initialization file, STFILE the
// element file then read, and the capture file the MPCORB file at once in
// the second ephemeris. Every file read keeps its bytes.
TEST(TavFiles, FilesToWriteThatAreFilesBeingReadAreAskedAgain) {
  TempDir dir;
  place(dir, "tavshort.ini", kRun / "tavshort.ini");  // JPLFILE JPLEPH.405, MPCFILE MPCORB.DAT
  place(dir, "MPCORB.DAT", kRun / "MPCORB.DAT");
  place(dir, "EROS.ELE", kEros);
  write_file(dir / "JPLEPH.405", "planetary ephemeris");
  fs::create_symlink("MPCORB.DAT", dir / "LINK.DAT");
  fs::create_hard_link(dir / "tavshort.ini", dir / "HARD.INI");
  std::vector<std::pair<std::string, std::string>> kept;
  for (const char* name : {"tavshort.ini", "MPCORB.DAT", "EROS.ELE", "JPLEPH.405"})
    kept.emplace_back(name, read_file(dir / name));

  const RunResult r =
      testing_support::run_program(TAV_BINARY,
                                   "JPLEPH.405\n1\nstfile\nlink.dat\nendfil\nhard.ini\n"
                                   "\ncap.txt\n"   // the capture file is the JPL file
                                   "\neros.ele\n"  // STFILE is the MPCORB file
                                   "\n \n"         // ENDFIL is the initialization file
                                   "\n3\nEROS.ELE\nstart.ele\n"  // STFILE is the element file read
                                   "y\nMPCORB.DAT\n\n\n\nEROS.ELE\nn\n",
                                   dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  for (const auto& [name, bytes] : kept) EXPECT_EQ(read_file(dir / name), bytes) << name;
  EXPECT_TRUE(fs::exists(dir / "cap.txt"));

  const std::string capture_question = " cerestav.txt, otherwise enter <CR>\r\n";
  const std::string display = " Here are your initialized ephemeris parameters:\r\n";
  const std::vector<std::string> in_order = {
      capture_question,
      " The capture file is the JPL file, please re-enter\r\n" +
          std::string(" If you want to save a text file containing the screen\r\n"),
      display,
      " STFILE variable is the MPCORB file, please re-enter\r\n"
      " Enter new value for STFILE \r\n",
      display,
      " ENDFIL variable is the initialization file, please re-enter\r\n"
      " Enter new value for ENDFIL \r\n",
      display,
      " Enter name of input element data file\r\n"
      " STFILE variable is the element file read, please re-enter\r\n"
      " Enter new value for STFILE \r\n"
      " Input elements:\r\n",
      " Screen output is in file named cap.txt",
      capture_question +
          " The capture file is the MPCORB file, please re-enter\r\n"
          " If you want to save a text file containing the screen\r\n",
  };
  std::size_t at = 0;
  for (const std::string& text : in_order) {
    SCOPED_TRACE(text);
    at = r.out.find(text, at);
    ASSERT_NE(at, std::string::npos);
  }
}

// A numeric answer that is not a number ends the run.
TEST(TavFatal, AnswerThatIsNotANumber) {
  TempDir dir;
  const RunResult r = run_tav(dir, {{"tavshort.ini", kRun / "tavshort.ini"}}, "\n1\nnpos\nabc\n");
  EXPECT_EQ(r.err, "severe (59): syntax error in free-form input, unit 5, file /dev/stdin\r\n");
  EXPECT_NE(r.status, 0);
}

}  // namespace
