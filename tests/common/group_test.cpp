// The assignment-group reader, on the group of tav's initialization file.
#include "group.h"

#include <gtest/gtest.h>

#include "program_run.h"
#include "stop.h"

namespace {

using testing_support::TempDir;
using testing_support::write_file;

// A group of the same shape as TAVI: integers, doubles and texts.
struct Vars {
  std::int32_t NPOS = -1, MONTH = -1;
  double YEAR = -1, DAY = -1;
  Text<32> FORM, MPCFILE;
  Text<80> JPLFILE;
  Text<6> METHOD;
};

class GroupTest : public ::testing::Test {
 protected:
  // Reads `text` as a file; returns the error number, or 0.
  int read(const std::string& text) {
    write_file(dir_ / "t.ini", text);
    TextFile f(111);
    f.open_read((dir_ / "t.ini").string());
    const GroupVar vars[] = {
        {"NPOS", v.NPOS},       {"YEAR", v.YEAR},       {"MONTH", v.MONTH}, {"DAY", v.DAY},
        {"MPCFILE", v.MPCFILE}, {"JPLFILE", v.JPLFILE}, {"FORM", v.FORM},   {"METHOD", v.METHOD},
    };
    try {
      read_group(f, "TAVI", vars);
    } catch (const FatalIoError& e) {
      EXPECT_EQ(e.unit(), 111);
      return e.number();
    }
    return 0;
  }
  Vars v;
  TempDir dir_;
};

TEST_F(GroupTest, SetsWhatItNamesAndNothingElse) {
  EXPECT_EQ(read(" &TAVI NPOS = 30, YEAR = 2009.0 /\n"), 0);
  EXPECT_EQ(v.NPOS, 30);
  EXPECT_EQ(v.YEAR, 2009.0);
  EXPECT_EQ(v.MONTH, -1);
  EXPECT_EQ(v.DAY, -1.0);
  EXPECT_EQ(v.FORM.view(), std::string(32, '\0'));
}

TEST_F(GroupTest, AcceptedForms) {
  struct Case {
    const char* text;
    std::int32_t npos;
  } const cases[] = {
      {"&tavi npos = 5 /\n", 5},
      {"$TAVI NPOS=5 $END\n", 5},
      {"&TAVI NPOS=5 &END\n", 5},
      {"& TAVI NPOS = 5/\n", 5},
      {"some text before\n= , words\n &TAVI\n NPOS =\n 5\n /\n", 5},
      {"&OTHER NPOS = 9 /\n&TAVI NPOS = 5 /\n", 5},   // another group is passed over
      {"&TAVIX NPOS = 9 /\n&TAVI NPOS = 5 /\n", 5},   // the name must match in length
      {"1 &TAVI NPOS = 9 /\n&TAVI NPOS = 5 /\n", 5},  // a digit hides the start
      {"&TAVI NPOS = 30 ! thirty\n/\n", 30},
      {"&TAVI NPOS = 1, NPOS = 5 /\n", 5},  // the last assignment counts
      {"&TAVI NPOS = , /\n", -1},           // null value
      {"&TAVI NPOS = /\n", -1},
      {"&TAVI NPOS = 1*5 /\n", 5},
      {"&TAVI NPOS = 1* /\n", -1},
      {"&TAVI NPOS = +5, YEAR = 2009 /\n", 5},
      {"&TAVI\n/\n", -1},
  };
  for (const Case& c : cases) {
    v = Vars{};
    EXPECT_EQ(read(c.text), 0) << c.text;
    EXPECT_EQ(v.NPOS, c.npos) << c.text;
  }
}

TEST_F(GroupTest, Texts) {
  EXPECT_EQ(read("&TAVI FORM = LONG /\n"), 0);
  EXPECT_EQ(v.FORM.view(), "LONG" + std::string(28, ' '));
  EXPECT_EQ(read("&TAVI FORM = 'LONG' /\n"), 0);
  EXPECT_EQ(v.FORM.view(), "LONG" + std::string(28, ' '));
  EXPECT_EQ(read("&TAVI JPLFILE = 'a b' /\n"), 0);
  EXPECT_EQ(v.JPLFILE.trimmed(), "a b");
  EXPECT_EQ(read("&TAVI JPLFILE = \"it\"\"s /data/x\" /\n"), 0);
  EXPECT_EQ(v.JPLFILE.trimmed(), "it\"s /data/x");
  EXPECT_EQ(read("&TAVI MPCFILE = 'MPC\nORB.DAT' /\n"), 0);  // runs on over the line end
  EXPECT_EQ(v.MPCFILE.trimmed(), "MPCORB.DAT");
  EXPECT_EQ(read("&TAVI METHOD = 'KEPLERIAN', FORM = mpc /\n"), 0);
  EXPECT_EQ(v.METHOD.view(), "KEPLER");                    // cut to the variable's length
  EXPECT_EQ(v.FORM.trimmed(), "mpc");                      // taken as written
  EXPECT_EQ(read("&TAVI MPCFILE = ./MPCORB.DAT /\n"), 0);  // "/" ends the undelimited text
  EXPECT_EQ(v.MPCFILE.trimmed(), ".");
  EXPECT_EQ(read("&TAVI MPCFILE = 2019.txt FORM=SHORT/\n"), 0);
  EXPECT_EQ(v.MPCFILE.trimmed(), "2019.txt");
  EXPECT_EQ(v.FORM.trimmed(), "SHORT");
}

// A text that may not be cut says whether the value given was longer than
// the variable, trailing blanks left out; the variable holds its first
// characters.
TEST_F(GroupTest, TextThatMayNotBeCutSaysWhenItIsLonger) {
  struct Case {
    const char* value;
    const char* held;
    bool cut;
  } const cases[] = {
      {"'KEPLER'", "KEPLER", false},
      {"'KEPLER     '", "KEPLER", false},
      {"KEP", "KEP   ", false},
      {"'KEPLERIAN'", "KEPLER", true},
      {"KEPLERS", "KEPLER", true},
      {"'KEPLER     X'", "KEPLER", true},  // blanks before the character past the end
      {"'KEP\nLERS'", "KEPLER", true},     // over a line end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    write_file(dir_ / "t.ini", std::string("&TAVI METHOD = ") + c.value + " /\n");
    TextFile f(111);
    f.open_read((dir_ / "t.ini").string());
    Text<6> method;
    bool cut = !c.cut;
    const GroupVar vars[] = {{"METHOD", method, &cut}};
    read_group(f, "TAVI", vars);
    EXPECT_EQ(method.view(), c.held);
    EXPECT_EQ(cut, c.cut);
  }
}

TEST_F(GroupTest, Errors) {
  struct Case {
    const char* text;
    int error;
  } const cases[] = {
      {"&TAVI JPLFILE = a b /\n", 19},  // "b" is taken as a name
      {"&TAVI NPOS = 30.0 /\n", 64},
      {"&TAVI NPOS = 3E1 /\n", 64},
      {"&TAVI NPOS = '30' /\n", 64},
      {"&TAVI NPOS = 99999999999 /\n", 64},
      {"&TAVI YEAR = 1E999 /\n", 64},
      {"&TAVI NPOS =\n YEAR = 2009.0 /\n", 17},  // a comma must stand between
      {"&TAVI NPOS = 30 40 /\n", 18},
      {"&TAVI NPOS = 30,, /\n", 18},
      {"&TAVI NPOS = ,, /\n", 18},
      {"&TAVI NPOS = 2*5 /\n", 18},
      {"&TAVI NPOS = 0*5 /\n", 17},
      {"&TAVI FORM = 'A' 'B' /\n", 18},
      {"&TAVI NOSUCH = 1 /\n", 19},
      {"&TAVI NPOS(1) = 1 /\n", 19},
      {"&TAVI FORM(1:2) = 'x' /\n", 17},
      {"&TAVI NPOS / \n", 17},  // an end marker before "="
      {"&TAVI NPOS YEAR = 1 /\n", 17},
      {"&TAVI , NPOS = 1 /\n", 17},
      {"&TAVI = 1 /\n", 17},
      {"&TAVI 5 /\n", 17},
      {"&TAVI NPOS = abc /\n", 17},  // a word where a number is expected
      {"&TAVI NPOS = 1.2.3 /\n", 17},
      {"&TAVI NPOS ? /\n", 17},
      {"&TAVI NPOS = ? /\n", 17},
      {"&TAVI FORM = X = 1 /\n", 17},
      {"&TAVI NPOS = 5\n", 24},  // the end of the file before the group's end
      {"no group here\n", 24},
      {"", 24},
      {"&TAVI FORM = 'open\n", 24},
  };
  for (const Case& c : cases) {
    v = Vars{};
    EXPECT_EQ(read(c.text), c.error) << c.text;
  }
}

TEST_F(GroupTest, AssignmentsBeforeAnErrorHaveTakenEffect) {
  EXPECT_EQ(read("&TAVI NPOS = 7, NOSUCH = 1 /\n"), 19);
  EXPECT_EQ(v.NPOS, 7);
}

TEST_F(GroupTest, BinaryBytesDoNotConfuseTheReader) {
  std::string junk;
  for (int i = 1; i < 256; ++i)
    if (i != '\n' && i != '&' && i != '$') junk += static_cast<char>(i);
  EXPECT_EQ(read(junk + "\n&TAVI NPOS = 3 /\n"), 0);
  EXPECT_EQ(v.NPOS, 3);
  EXPECT_EQ(read("&TAVI NPOS = 3\x01 /\n"), 17);
}

}  // namespace
