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
#include <utility>
#include <vector>

#include "program_run.h"
#include "tav_run.h"

namespace {

using namespace tav_run;
using testing_support::Snapshot;
using testing_support::snapshot;

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
    // capture-file name of 40 characters is refused, not cut, and asked for
    // again.
    {"long_form",
     {{"tavlong.ini", kRun / "tavlong.ini"}, {"eros.ele", kEros}},
     "\n2\n\n\neros.ele\nYes\ncapture-file-name-longer-than-thirty.txt\ncapture.txt\n\n\neros.ele\n"
     " y\n"},
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

// ------------------------------------------------------------ files to write

// tavshort.ini with some of its assignments replaced: NPOS 3 and RKD, which
// writes STFILE and ENDFIL, and the given texts for the two element files
// (as written, in lower case: a typed name becomes capitals).
std::string short_ini_with(const std::string& stfile, const std::string& endfil) {
  std::string ini = read_file(kRun / "tavshort.ini");
  const std::pair<std::string, std::string> changes[] = {
      {"NPOS    = 30", "NPOS    = 3"},
      {"METHOD  = 'KEPLER'", "METHOD  = 'RKD'"},
      {"STFILE  = ' '", "STFILE  = '" + stfile + "'"},
      {"ENDFIL  = ' '", "ENDFIL  = '" + endfil + "'"},
  };
  for (const auto& [from, to] : changes) {
    const std::size_t at = ini.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) ini.replace(at, from.size(), to);
  }
  return ini;
}

// The place that no one may write, root included: a read-only setting of
// the kernel, and its folder.
const fs::path kReadOnlyFile = "/proc/sys/kernel/ostype";

struct FilesToWrite {
  const char* name;
  std::string stfile, endfil;  // in the initialization file
  std::string input;
  std::vector<std::string> said;  // console texts, in this order
  // The files that the run makes, each with a text it holds; every other
  // file and folder stays as it was.
  std::vector<std::pair<std::string, std::string>> made;
  std::size_t listings = 1;  // of three lines each
  bool needs_read_only_place = false;
};

void PrintTo(const FilesToWrite& c, std::ostream* os) {
  *os << c.name;
}

const std::string kCaptureAgain =
    ", please re-enter\r\n If you want to save a text file containing the screen\r\n";
const std::string kListed = "Elements from:  ";    // in a capture file
const std::string kSaved = "TAV generated file ";  // in an element file

const std::vector<FilesToWrite> kFilesToWrite = {
    // The capture file, typed first, and STFILE, read after it from the
    // file: STFILE is asked for. In the next ephemeris STFILE is set when
    // the capture file is typed, also written another way: the capture
    // question comes again. Then ENDFIL typed in the dialogue as the
    // capture file: ENDFIL is asked for.
    {"capture_file_and_element_files",
     "out.txt",
     "",
     "out.txt\n1\n\nstart.ele\n\n3\neros.ele\n"
     "y\n./START.ELE\nCAP.TXT\nendfil\ncap.txt\n\nend.ele\n\n\neros.ele\nn\n",
     {" STFILE variable is the capture file, please re-enter\r\n"
      " Enter new value for STFILE \r\n",
      " Elements saved on file START.ELE", " Screen output is in file named out.txt",
      " The capture file is the element file STFILE" + kCaptureAgain,
      " ENDFIL variable is the capture file, please re-enter\r\n"
      " Enter new value for ENDFIL \r\n",
      " Elements saved on file END.ELE", " Screen output is in file named CAP.TXT"},
     {{"out.txt", kListed}, {"START.ELE", kSaved}, {"CAP.TXT", kListed}, {"END.ELE", kSaved}},
     2},
    // Names longer than 30 characters: the capture file typed (31, then 30
    // with trailing blanks, which is taken), STFILE typed (37), ENDFIL from
    // the file (40, refused at the tests). No name is cut.
    {"names_longer_than_thirty",
     "",
     "an-end-file-name-of-forty-characters.ele",
     "a-capture-file-named-by-31-char\nthe-capture-file-of-thirty.txt   \n1\n"
     "stfile\na-start-file-name-of-forty-characters\nstart.ele\n\nend.ele\n\n3\neros.ele\nn\n",
     {" The capture file name is longer than 30 characters" + kCaptureAgain, " Enter one of",
      " STFILE variable is longer than 30 characters, please re-enter\r\n"
      " Enter new value for STFILE \r\n",
      " ENDFIL variable is longer than 30 characters, please re-enter\r\n"
      " Enter new value for ENDFIL \r\n"},
     {{"the-capture-file-of-thirty.txt", kListed}, {"START.ELE", kSaved}, {"END.ELE", kSaved}}},
    // Names under which no file can be made, found before anything is
    // written: a capture file under a file, STFILE a folder, ENDFIL in a
    // folder that does not exist; the last answer makes it in SUB.
    {"names_that_cannot_be_made",
     "SUB",
     "nodir/end.ele",
     "plain.txt/cap.txt\n\n1\n\n\n\nsub/end.ele\n\n3\neros.ele\nn\n",
     {" The capture file is under a name that is not a folder" + kCaptureAgain,
      " STFILE variable is a folder, please re-enter\r\n Enter new value for STFILE \r\n",
      " ENDFIL variable is in a folder that does not exist, please re-enter\r\n"
      " Enter new value for ENDFIL \r\n",
      " Elements saved on file SUB/END.ELE"},
     {{"SUB/END.ELE", kSaved}}},
    // No permission, for root too: a file and a folder of the kernel's
    // settings, which are read-only.
    {"names_without_permission",
     kReadOnlyFile.string(),
     (kReadOnlyFile.parent_path() / "end.ele").string(),
     "\n1\n\n\n\n\n\n3\neros.ele\nn\n",
     {" STFILE variable is a file that cannot be written, please re-enter\r\n"
      " Enter new value for STFILE \r\n",
      " ENDFIL variable is in a folder that cannot be written, please re-enter\r\n"
      " Enter new value for ENDFIL \r\n"},
     {},
     1,
     true},
};

class FilesToWriteTest : public ::testing::TestWithParam<FilesToWrite> {};

// Each refusal comes with its message where the name was given, the run
// goes on to its listing, and no file is made or changed but the ones named
// at last.
TEST_P(FilesToWriteTest, RefusedWhereNamedAndNothingElseWritten) {
  const FilesToWrite& c = GetParam();
  if (c.needs_read_only_place && !fs::exists(kReadOnlyFile))
    GTEST_SKIP() << "no " << kReadOnlyFile << " here";
  TempDir dir;
  write_file(dir / "tavshort.ini", short_ini_with(c.stfile, c.endfil));
  place(dir, "eros.ele", kEros);
  write_file(dir / "plain.txt", "a file, not a folder");
  fs::create_directory(dir / "SUB");
  const Snapshot before = snapshot(dir.path());
  const std::string read_only = read_file(kReadOnlyFile);

  const RunResult r = testing_support::run_program(TAV_BINARY, c.input, dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  std::size_t at = 0;
  for (const std::string& text : c.said) {
    SCOPED_TRACE(text);
    at = r.out.find(text, at);
    ASSERT_NE(at, std::string::npos);
  }
  const auto listed = listings(r.out);
  ASSERT_EQ(listed.size(), c.listings);
  for (const auto& l : listed) EXPECT_EQ(l.size(), 3u);

  Snapshot after = snapshot(dir.path());
  for (const auto& [name, holds] : c.made) {
    SCOPED_TRACE(name);
    ASSERT_EQ(after.count(name), 1u);
    EXPECT_NE(after[name].first.find(holds), std::string::npos);
    after.erase(name);
    // A folder in which a file was made has changed for it.
    const std::string folder = fs::path(name).parent_path().string();
    if (!folder.empty() && before.count(folder)) after[folder] = before.at(folder);
  }
  EXPECT_EQ(after, before);
  EXPECT_EQ(read_file(kReadOnlyFile), read_only);
}

INSTANTIATE_TEST_SUITE_P(Tav, FilesToWriteTest, ::testing::ValuesIn(kFilesToWrite),
                         [](const auto& info) { return std::string(info.param.name); });

// ENDFIL that names the file of STFILE, which would replace the start
// elements said saved, is asked for again at the tests: written another way
// (./start.ele in the initialization file), through a link to the start
// file of an earlier run, and, in the second ephemeris, when STFILE is the
// one typed last. Each element file then holds its own date: the start
// file the first listed time (2025 January 1.0), the end file the last
// (January 3.0).
TEST(TavFiles, EndFileThatIsTheStartFileIsAskedAgain) {
  TempDir dir;
  write_file(dir / "tavshort.ini", short_ini_with("start.ele", "./start.ele"));
  place(dir, "eros.ele", kEros);
  write_file(dir / "start.ele", "the start file of an earlier run");
  fs::create_symlink("start.ele", dir / "LINK.ELE");

  const RunResult r =
      testing_support::run_program(TAV_BINARY,
                                   "\n1\n\nlink.ele\n\nend.ele\n\n3\neros.ele\n"
                                   "y\n\nstfile\nend.ele\n\nend2.ele\n\n\neros.ele\nn\n",
                                   dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  const std::string refused =
      " ENDFIL variable is the element file STFILE, please re-enter\r\n"
      " Enter new value for ENDFIL \r\n";
  const std::vector<std::string> in_order = {
      refused,  // ./start.ele
      refused,  // LINK.ELE
      " Elements saved on file start.ele",
      " Elements saved on file END.ELE",
      refused,  // STFILE END.ELE typed
      " Elements saved on file END.ELE",
      " Elements saved on file END2.ELE",
  };
  std::size_t at = 0;
  for (const std::string& text : in_order) {
    SCOPED_TRACE(text);
    at = r.out.find(text, at);
    ASSERT_NE(at, std::string::npos);
    at += text.size();
  }
  EXPECT_EQ(r.out.find(refused, at), std::string::npos);
  ASSERT_EQ(listings(r.out).size(), 2u);

  const std::string start = "    2460676.500000000000000000\r\n";
  const std::string end = "    2460678.500000000000000000\r\n";
  for (const auto& [name, date] :
       {std::pair{"start.ele", start}, std::pair{"END.ELE", start}, std::pair{"END2.ELE", end}}) {
    SCOPED_TRACE(name);
    EXPECT_NE(read_file(dir / name).find(date), std::string::npos);
  }
  EXPECT_TRUE(fs::is_symlink(dir / "LINK.ELE"));
}

// A start file named through a link to a file not made yet: writing it
// makes the file where the link leads, so ENDFIL may not name that file.
TEST(TavFiles, EndFileWhereTheStartFileLinkLeadsIsAskedAgain) {
  TempDir dir;
  write_file(dir / "tavshort.ini", short_ini_with("link.ele", "new.ele"));
  place(dir, "eros.ele", kEros);
  fs::create_symlink("new.ele", dir / "link.ele");

  const RunResult r =
      testing_support::run_program(TAV_BINARY, "\n1\n\nend.ele\n\n3\neros.ele\nn\n", dir.path());
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  const std::string refused = " ENDFIL variable is the element file STFILE, please re-enter\r\n";
  const auto at = r.out.find(refused);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(r.out.find(refused, at + 1), std::string::npos);
  EXPECT_NE(r.out.find(" Elements saved on file END.ELE"), std::string::npos);
  EXPECT_NE(read_file(dir / "new.ele").find("    2460676.500000000000000000\r\n"),
            std::string::npos);
}

// A numeric answer that is not a number ends the run.
TEST(TavFatal, AnswerThatIsNotANumber) {
  TempDir dir;
  const RunResult r = run_tav(dir, {{"tavshort.ini", kRun / "tavshort.ini"}}, "\n1\nnpos\nabc\n");
  EXPECT_EQ(r.err, "severe (59): syntax error in free-form input, unit 5, file /dev/stdin\r\n");
  EXPECT_NE(r.status, 0);
}

}  // namespace
