// The planetary file reader: record choice at the edges of records and of
// the file, two-part dates, the record cache, heliocentric items, both byte
// orders, and files it must refuse.
#include "jplread.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "de_fixture.h"
#include "stop.h"
#include "stop_checks.h"

namespace {

using de_fixture::DeFile;
using de_fixture::ReaderTest;

constexpr double kSentinel = -7.0;

StateRequest all_items() {
  StateRequest r;
  for (int i = 1; i <= 12; ++i) r(i) = 2;
  return r;
}

StateTable filled_table() {
  StateTable t;
  for (int i = 1; i <= 12; ++i) t(i).fill(kSentinel);
  return t;
}

// Header fields written over in a fixture (this machine's byte order).
void set_int(std::string& b, std::size_t at, std::int32_t v) {
  std::memcpy(b.data() + at, &v, 4);
}
void set_double(std::string& b, std::size_t at, double v) {
  std::memcpy(b.data() + at, &v, 8);
}

// ---------------------------------------------------------------- edges

struct EdgeCase {
  const char* what;
  double day_offset;  // days after the first date of the fixture
  int record;         // data record expected to serve it (from 0)
  int sub1;           // sub-interval of the two-interval items (from 0)
  double tc1;         // normalised time there
  double tc;          // normalised time of the one-interval items
};

class RecordEdges : public ReaderTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RecordEdges, DateServedByTheRightRecordSubIntervalAndTime) {
  DeFile f;
  f.big_endian = GetParam();
  write_fixture(f.bytes());
  const EdgeCase cases[] = {
      {"first date", 0.0, 0, 0, -1.0, -1.0},         {"quarter of record 1", 8.0, 0, 0, 0.0, -0.5},
      {"middle of record 1", 16.0, 0, 1, -1.0, 0.0}, {"start of record 2", 32.0, 1, 0, -1.0, -1.0},
      {"last date", 96.0, 2, 1, 1.0, 1.0},
  };
  for (const EdgeCase& c : cases) {
    SCOPED_TRACE(c.what);
    StateTable pv = filled_table();
    NutationState nut{};
    JPLOPT.BARYC = true;
    ASSERT_EQ(STATE({f.span1 + c.day_offset, 0.0}, all_items(), pv, nut), 0);
    for (int comp = 0; comp < 3; ++comp) {
      const auto uc = static_cast<std::size_t>(comp);
      // Items with one sub-interval (the Moon, the Sun, the librations) and
      // item 1 with two.
      EXPECT_DOUBLE_EQ(pv(10)[uc], f.value(c.record, 10, 0, comp, c.tc) / f.aukm);
      EXPECT_DOUBLE_EQ(pv(10)[uc + 3], f.rate(c.record, 10, 0, comp, c.tc) / f.aukm);
      EXPECT_DOUBLE_EQ(JPLOPT.SUNPV[uc], f.value(c.record, 11, 0, comp, c.tc) / f.aukm);
      EXPECT_DOUBLE_EQ(JPLOPT.SUNPV[uc + 3], f.rate(c.record, 11, 0, comp, c.tc) / f.aukm);
      EXPECT_DOUBLE_EQ(pv(1)[uc], f.value(c.record, 1, c.sub1, comp, c.tc1) / f.aukm);
      EXPECT_DOUBLE_EQ(pv(1)[uc + 3], f.rate(c.record, 1, c.sub1, comp, c.tc1) / f.aukm);
      // Librations: angles as the file gives them, no unit factor.
      EXPECT_DOUBLE_EQ(pv(11)[uc], f.value(c.record, 13, 0, comp, c.tc));
      EXPECT_DOUBLE_EQ(pv(11)[uc + 3], f.rate(c.record, 13, 0, comp, c.tc));
    }
    for (int comp = 0; comp < 2; ++comp) {
      EXPECT_DOUBLE_EQ(nut[static_cast<std::size_t>(comp)],
                       f.value(c.record, 12, c.sub1, comp, c.tc1));
      EXPECT_DOUBLE_EQ(nut[static_cast<std::size_t>(comp) + 2],
                       f.rate(c.record, 12, c.sub1, comp, c.tc1));
    }
    EXPECT_EQ(pv(12)[0], kSentinel);  // column 12 is never written
  }
  EXPECT_EQ(ephemeris_record_reads(), 3);
}

INSTANTIATE_TEST_SUITE_P(ByteOrder, RecordEdges, ::testing::Values(false, true),
                         [](const auto& info) {
                           return info.param ? "BigEndian" : "LittleEndian";
                         });

TEST_F(ReaderTest, DateOutsideTheFileChangesNothing) {
  DeFile f;
  write_fixture(f.bytes());
  StateTable pv = filled_table();
  NutationState nut{};
  ASSERT_EQ(STATE({f.span1 + 40.0, 0.0}, all_items(), pv, nut), 0);
  const auto sun = JPLOPT.SUNPV;
  const std::array<double, 2> outside[] = {
      {f.span2() + 0.01, 0.0},
      {f.span2(), 0.001},
      {f.span1 - 0.01, 0.0},
      {f.span1 - 0.5, 0.49},
      {std::numeric_limits<double>::quiet_NaN(), 0.0},
      {std::numeric_limits<double>::infinity(), 0.0},
  };
  for (const auto& d : outside) {
    StateTable before = filled_table();
    NutationState n2 = {kSentinel, kSentinel, kSentinel, kSentinel};
    EXPECT_EQ(STATE(d, all_items(), before, n2), 1) << d[0] << " + " << d[1];
    EXPECT_EQ(before(3)[0], kSentinel);
    EXPECT_EQ(before(11)[5], kSentinel);
    EXPECT_EQ(n2[0], kSentinel);
    EXPECT_EQ(JPLOPT.SUNPV, sun);
  }
  // The record held is still the one of the first request.
  EXPECT_EQ(STATE({f.span1 + 41.0, 0.0}, all_items(), pv, nut), 0);
  EXPECT_EQ(ephemeris_record_reads(), 1);
}

TEST_F(ReaderTest, TwoPartDatesGiveTheSameState) {
  DeFile f;
  write_fixture(f.bytes());
  const double d = f.span1 + 40.5;
  const std::array<double, 2> splits[] = {
      {d, 0.0}, {d - 0.5, 0.5}, {d - 1.0, 1.0}, {d + 1.0, -1.0}, {0.5, d - 0.5}, {d - 40.0, 40.0},
  };
  StateTable first;
  NutationState nut_first{};
  ASSERT_EQ(STATE(splits[0], all_items(), first, nut_first), 0);
  for (const auto& s : splits) {
    StateTable pv;
    NutationState nut{};
    ASSERT_EQ(STATE(s, all_items(), pv, nut), 0) << s[0] << " + " << s[1];
    for (int i = 1; i <= 11; ++i) EXPECT_EQ(pv(i), first(i)) << s[0] << " + " << s[1];
    EXPECT_EQ(nut, nut_first);
  }
  // The time of day keeps its digits when given apart from a large day.
  StateTable pv;
  NutationState nut{};
  ASSERT_EQ(STATE({f.span1 + 40.0, 0.123456789012345}, all_items(), pv, nut), 0);
  const double tc = 2.0 * ((8.0 + 0.123456789012345) / 32.0) - 1.0;
  EXPECT_NEAR(pv(10)[0], f.value(1, 10, 0, 0, tc) / f.aukm, 1e-12);
}

TEST_F(ReaderTest, OneReadPerRecord) {
  DeFile f;
  write_fixture(f.bytes());
  StateTable pv;
  NutationState nut{};
  struct Step {
    double offset;
    std::int64_t reads;
  };
  const Step steps[] = {
      {1.0, 1}, {2.0, 1}, {31.9, 1}, {32.0, 2}, {33.0, 2}, {5.0, 3}, {96.0, 4}, {95.0, 4},
  };
  for (const Step& s : steps) {
    ASSERT_EQ(STATE({f.span1 + s.offset, 0.0}, all_items(), pv, nut), 0);
    EXPECT_EQ(ephemeris_record_reads(), s.reads) << "at offset " << s.offset;
  }
}

TEST_F(ReaderTest, ItemsRelativeToTheSunUnlessBarycentric) {
  DeFile f;
  write_fixture(f.bytes());
  const std::array<double, 2> d = {f.span1 + 50.25, 0.0};
  StateTable bary, helio;
  NutationState nut{};
  JPLOPT.BARYC = true;
  ASSERT_EQ(STATE(d, all_items(), bary, nut), 0);
  JPLOPT.BARYC = false;
  ASSERT_EQ(STATE(d, all_items(), helio, nut), 0);
  for (int i = 1; i <= 9; ++i)
    for (std::size_t j = 0; j < 6; ++j) EXPECT_EQ(helio(i)[j], bary(i)[j] - JPLOPT.SUNPV[j]);
  EXPECT_EQ(helio(10), bary(10));  // the Moon stays geocentric
  EXPECT_EQ(helio(11), bary(11));  // librations carry no unit or origin
}

TEST_F(ReaderTest, SunServedWhateverTheRequest) {
  DeFile f;
  write_fixture(f.bytes());
  StateTable pv = filled_table();
  NutationState nut{};
  ASSERT_EQ(STATE({f.span1 + 1.0, 0.0}, StateRequest{}, pv, nut), 0);
  EXPECT_DOUBLE_EQ(JPLOPT.SUNPV[0], f.value(0, 11, 0, 0, 2.0 / 32.0 - 1.0) / f.aukm);
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(pv(i)[0], kSentinel);
  EXPECT_EQ(nut[0], 0.0);
}

TEST_F(ReaderTest, PositionOnlyRequestLeavesRatesAlone) {
  DeFile f;
  write_fixture(f.bytes());
  StateRequest req;
  req(4) = 1;
  StateTable pv = filled_table();
  NutationState nut{};
  ASSERT_EQ(STATE({f.span1, 0.0}, req, pv, nut), 0);
  EXPECT_DOUBLE_EQ(pv(4)[0], f.value(0, 4, 0, 0, -1.0) / f.aukm - JPLOPT.SUNPV[0]);
  EXPECT_EQ(pv(4)[3], kSentinel);
}

TEST_F(ReaderTest, FirstDatePartZeroOnlyOpensTheFile) {
  DeFile f;
  write_fixture(f.bytes());
  StateTable pv = filled_table();
  NutationState nut = {kSentinel, kSentinel, kSentinel, kSentinel};
  EXPECT_EQ(STATE({0.0, f.span1 + 1.0}, all_items(), pv, nut), 0);
  EXPECT_EQ(JPLHDR.SPAN(1), f.span1);
  EXPECT_EQ(JPLHDR.SPAN(2), f.span2());
  EXPECT_EQ(JPLHDR.EMRATIO, f.emratio);
  EXPECT_EQ(JPLHDR.LAYOUT(1, 13), f.layout[12][0]);
  EXPECT_EQ(JPLHDR.DENO, 405);
  EXPECT_EQ(JPLTXT.TITLE[0].trimmed(), "Test ephemeris built by the planet tests");
  EXPECT_EQ(pv(1)[0], kSentinel);
  EXPECT_EQ(nut[0], kSentinel);
  EXPECT_EQ(JPLOPT.SUNPV[0], 0.0);
  EXPECT_EQ(ephemeris_record_reads(), 0);
}

TEST_F(ReaderTest, OpenFileKeptWhenTheNameChanges) {
  DeFile f;
  write_fixture(f.bytes());
  StateTable pv;
  NutationState nut{};
  ASSERT_EQ(STATE({f.span1 + 1.0, 0.0}, all_items(), pv, nut), 0);
  use_file((dir_ / "no-such-file").string());
  EXPECT_EQ(STATE({f.span1 + 40.0, 0.0}, all_items(), pv, nut), 0);
  close_ephemeris_file();
  EXPECT_THROW(STATE({f.span1 + 40.0, 0.0}, all_items(), pv, nut), FatalIoError);
}

TEST_F(ReaderTest, ConstantsOfTheHeader) {
  DeFile f;
  write_fixture(f.bytes());
  std::array<Text<6>, 400> names;
  std::array<double, 400> values{};
  OneBased<double, 3> span;
  std::int32_t n = 0;
  CONST(names, values, span, n);
  ASSERT_EQ(n, 3);
  EXPECT_EQ(names[0].view(), "DENUM ");
  EXPECT_EQ(names[2].view(), "EMRAT ");
  EXPECT_EQ(values[1], f.aukm);
  EXPECT_EQ(values[3], 0.0);  // only the first N are copied
  EXPECT_EQ(span(3), f.span3);

  // Later solutions count more constants than the 400 the header holds.
  reset_ephemeris_reader();
  std::string more = f.bytes();
  set_int(more, 2676, 572);
  write_fixture(more);
  CONST(names, values, span, n);
  EXPECT_EQ(n, 400);
}

// ---------------------------------------------------------------- real files

TEST_F(ReaderTest, BigEndianFileReadLikeTheLittleEndianOne) {
  const std::string be = data_file("unxp0003.405");
  const std::string le = data_file("de405_2000-2040_le.bin");
  if (be.empty() || le.empty())
    GTEST_SKIP() << "real data absent: de405/unxp0003.405, de405_2000-2040_le.bin";
  const std::array<double, 2> dates[] = {{2452624.5, 0.0}, {2452800.25, 0.0}, {2453040.25, 0.0}};
  for (const auto& d : dates) {
    StateTable a, b;
    NutationState na{}, nb{};
    use_file(be);
    reset_ephemeris_reader();
    ASSERT_EQ(STATE(d, all_items(), a, na), 0);
    const auto sun = JPLOPT.SUNPV;
    use_file(le);
    reset_ephemeris_reader();
    ASSERT_EQ(STATE(d, all_items(), b, nb), 0);
    for (int i = 1; i <= 11; ++i) EXPECT_EQ(a(i), b(i)) << "item " << i << " at " << d[0];
    EXPECT_EQ(na, nb);
    EXPECT_EQ(sun, JPLOPT.SUNPV);
  }
}

// ---------------------------------------------------------------- bad files

struct BadFile {
  const char* what;
  void (*edit)(DeFile&, std::string&);
  int error;
};

const BadFile kBadFiles[] = {
    {"empty file", [](DeFile&, std::string& b) { b.clear(); }, ioerr::END_OF_FILE},
    {"header cut short", [](DeFile&, std::string& b) { b.resize(2000); }, ioerr::END_OF_FILE},
    {"constants record cut short", [](DeFile&, std::string& b) { b.resize(8144 + 100); },
     ioerr::END_OF_FILE},
    {"last data record cut short", [](DeFile&, std::string& b) { b.resize(b.size() - 8); },
     ioerr::END_OF_FILE},
    {"fewer data records than the span", [](DeFile&, std::string& b) { b.resize(4 * 8144); },
     ioerr::END_OF_FILE},
    {"a text file",
     [](DeFile&, std::string& b) {
       b.clear();
       while (b.size() < 30000) b += "405  2000.01.01 2451544.5  3 11  1   0.1\n";
     },
     ioerr::CONVERSION},
    {"19 coefficients", [](DeFile&, std::string& b) { set_int(b, 2696 + 4 * (3 * 4 + 1), 19); },
     ioerr::CONVERSION},
    {"19 nutation coefficients",
     [](DeFile&, std::string& b) { set_int(b, 2696 + 4 * (3 * 11 + 1), 19); }, ioerr::CONVERSION},
    {"no sub-intervals", [](DeFile&, std::string& b) { set_int(b, 2696 + 4 * (3 * 2 + 2), 0); },
     ioerr::CONVERSION},
    {"Sun block past the record",
     [](DeFile&, std::string& b) { set_int(b, 2696 + 4 * (3 * 10), 1015); }, ioerr::CONVERSION},
    {"librations past the record", [](DeFile&, std::string& b) { set_int(b, 2844, 1012); },
     ioerr::CONVERSION},
    {"block over the record dates", [](DeFile&, std::string& b) { set_int(b, 2696, 1); },
     ioerr::CONVERSION},
    {"Moon missing", [](DeFile&, std::string& b) { set_int(b, 2696 + 4 * (3 * 9 + 1), 0); },
     ioerr::CONVERSION},
    {"span not whole records",
     [](DeFile& f, std::string& b) { set_double(b, 2660, f.span1 + 40.0); }, ioerr::CONVERSION},
    {"span backwards", [](DeFile& f, std::string& b) { set_double(b, 2660, f.span1 - 32.0); },
     ioerr::CONVERSION},
    {"record length zero", [](DeFile&, std::string& b) { set_double(b, 2668, 0.0); },
     ioerr::CONVERSION},
    {"record length not a number",
     [](DeFile&, std::string& b) { set_double(b, 2668, std::numeric_limits<double>::quiet_NaN()); },
     ioerr::CONVERSION},
    {"AU of zero", [](DeFile&, std::string& b) { set_double(b, 2680, 0.0); }, ioerr::CONVERSION},
    {"mass ratio of zero", [](DeFile&, std::string& b) { set_double(b, 2688, 0.0); },
     ioerr::CONVERSION},
    {"negative count of constants", [](DeFile&, std::string& b) { set_int(b, 2676, -1); },
     ioerr::CONVERSION},
};

TEST_F(ReaderTest, UnusableFilesEndTheRunWithTheFatalLine) {
  for (const BadFile& c : kBadFiles) {
    SCOPED_TRACE(c.what);
    reset_ephemeris_reader();
    DeFile f;
    std::string bytes = f.bytes();
    c.edit(f, bytes);
    const std::string path = write_fixture(bytes);
    StateTable pv;
    NutationState nut{};
    try {
      STATE({f.span1 + 1.0, 0.0}, all_items(), pv, nut);
      ADD_FAILURE() << "no error";
    } catch (const FatalIoError& e) {
      EXPECT_EQ(e.number(), c.error);
      EXPECT_EQ(e.unit(), 12);
      EXPECT_EQ(e.path(), std::filesystem::absolute(path).string());
    }
    EXPECT_EQ(ephemeris_record_reads(), 0);
  }
}

TEST_F(ReaderTest, MissingFileIsNotFoundAndExitStatusIsNonZero) {
  use_file(" " + (dir_ / "absent.405").string() + "   ");
  StateTable pv;
  NutationState nut{};
  try {
    STATE({2451545.0, 0.0}, all_items(), pv, nut);
    ADD_FAILURE() << "no error";
  } catch (const FatalIoError& e) {
    EXPECT_EQ(std::string(e.what()),
              "severe (29): file not found, unit 12, file " + (dir_ / "absent.405").string());
  }
  reset_ephemeris_reader();
  EXPECT_EQ(run_program([] {
              StateTable t;
              NutationState n{};
              STATE({2451545.0, 0.0}, StateRequest{}, t, n);
            }),
            1);
}

TEST_F(ReaderTest, UnreadableDataRecordStopsWithTheStateLine) {
  struct Case {
    const char* what;
    bool shrink;     // the file loses its last record after it has been opened
    int records[3];  // data records written, in file order
  };
  const Case cases[] = {
      {"file cut short while open", true, {0, 1, 2}},
      {"records not the ones the header describes", false, {0, 2, 1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reset_ephemeris_reader();
    DeFile f;
    std::string bytes = f.header();
    for (const int k : c.records) bytes += f.record(k);
    const std::string path = write_fixture(bytes);
    StateTable pv;
    NutationState nut{};
    ConsoleScript con;
    EXPECT_EQ(STATE({f.span1 + 1.0, 0.0}, all_items(), pv, nut), 0);
    if (c.shrink) std::filesystem::resize_file(path, 4 * 8144);
    EXPECT_EQ(testing_support::stop_kind([&] {
                STATE({f.span1 + 64.5, 0.25}, all_items(), pv, nut);
              }),
              StopKind::PlanetaryFile);
    EXPECT_EQ(con.output(),
              "  2451601.00        0.25" + std::string(59, ' ') + "ERROR RETURN IN STATE\r\n");
  }
}

// ---------------------------------------------------------------- routines

TEST(Split, WholePartAndFraction) {
  struct Case {
    double value, whole, fraction;
  };
  const Case cases[] = {
      {3.75, 3.0, 0.75}, {-1.25, -2.0, 0.75},         {0.0, 0.0, 0.0},
      {-2.0, -2.0, 0.0}, {2451545.0, 2451545.0, 0.0}, {-1e-20, 0.0, 0.0},
  };
  for (const Case& c : cases) {
    std::array<double, 2> fr;
    SPLIT(c.value, fr);
    EXPECT_EQ(fr[0], c.whole) << c.value;
    EXPECT_EQ(fr[1], c.fraction) << c.value;
  }
}

TEST(Interp, RefusesLayoutsBeyondItsTables) {
  std::array<double, 18 * 3 * 2> buf{};
  std::array<double, 6> pv{};
  const std::array<double, 2> t = {0.5, 32.0};
  EXPECT_NO_THROW(INTERP(buf, t, 18, 3, 2, 2, pv));
  EXPECT_THROW(INTERP(buf, t, 19, 3, 1, 2, pv), std::invalid_argument);
  EXPECT_THROW(INTERP(buf, t, 0, 3, 1, 2, pv), std::invalid_argument);
  EXPECT_THROW(INTERP(buf, t, 18, 3, 3, 2, pv), std::invalid_argument);  // block longer than buf
  EXPECT_THROW(INTERP(buf, t, 18, 3, 0, 2, pv), std::invalid_argument);
  EXPECT_THROW(INTERP(buf, t, 3, 3, 1, 3, pv), std::invalid_argument);
  EXPECT_THROW(INTERP(buf, t, 3, 3, 1, 2, std::span<double>(pv).first(5)), std::invalid_argument);
}

}  // namespace
