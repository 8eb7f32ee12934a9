// Small planetary ephemeris files that tests build themselves and a console
// whose output tests can read back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "calendar.h"
#include "celem.h"
#include "console_script.h"
#include "jplread.h"
#include "planet_records.h"
#include "program_run.h"
#include "records.h"
#include "test_data.h"
#include "textio.h"

namespace de_fixture {

// A file in the DE layout of 8144-byte records with 3-coefficient series:
// items 1 and 12 have two sub-intervals, the others one. Coefficient j
// (from 0) of component c (from 0) of sub-interval s (from 0) of item i in
// data record k (from 0) is coef(k, i, s, c, j): every record, item and
// component differs, so a value tells where it came from.
struct DeFile {
  double span1 = 2451536.5;
  double span3 = 32.0;
  int header_records = 3;  // data records the span covers
  int data_records = 3;    // data records written
  double aukm = 2.0;       // a power of two keeps the unit factor exact
  double emratio = 81.0;
  bool big_endian = false;
  // start (from 1), coefficients, sub-intervals
  std::array<std::array<std::int32_t, 3>, 13> layout{};

  DeFile() {
    std::int32_t start = 3;
    for (int i = 1; i <= 13; ++i) {
      const int na = (i == 1 || i == 12) ? 2 : 1;
      layout[static_cast<std::size_t>(i - 1)] = {start, 3, na};
      start += 3 * components(i) * na;
    }
  }
  static int components(int item) { return item == 12 ? 2 : 3; }
  double span2() const { return span1 + header_records * span3; }

  static double coef(int k, int i, int s, int c, int j) {
    if (j == 0) return 1000.0 * (k + 1) + 100.0 * i + 10.0 * c + s;
    if (j == 1) return 3.0 + c + 0.5 * i + 7.0 * k;
    return 0.25 * (k + 1) + 0.125 * s;
  }
  // Value and rate (per day) of one component at normalised time tc, as the
  // file's own units (before the unit factor).
  double value(int k, int i, int s, int c, double tc) const {
    return coef(k, i, s, c, 0) + coef(k, i, s, c, 1) * tc + coef(k, i, s, c, 2) * (2 * tc * tc - 1);
  }
  double rate(int k, int i, int s, int c, double tc) const {
    const int na = layout[static_cast<std::size_t>(i - 1)][2];
    return (coef(k, i, s, c, 1) + 4 * tc * coef(k, i, s, c, 2)) * 2 * na / span3;
  }

  template <typename T>
  void put(std::string& b, std::size_t at, T v) const {
    std::array<char, sizeof(T)> raw;
    std::memcpy(raw.data(), &v, sizeof(T));
    if (big_endian) std::reverse(raw.begin(), raw.end());
    std::copy(raw.begin(), raw.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
  }

  std::string header() const {
    std::string b(2 * 8144, '\0');
    std::string title = "Test ephemeris built by the planet tests";
    title.resize(252, ' ');
    std::copy(title.begin(), title.end(), b.begin());
    const std::string names = "DENUM AU    EMRAT ";
    std::string connam(2400, ' ');
    std::copy(names.begin(), names.end(), connam.begin());
    std::copy(connam.begin(), connam.end(), b.begin() + 252);
    put(b, 2652, span1);
    put(b, 2660, span2());
    put(b, 2668, span3);
    put(b, 2676, std::int32_t{3});
    put(b, 2680, aukm);
    put(b, 2688, emratio);
    for (std::size_t i = 0; i < 12; ++i)
      for (std::size_t k = 0; k < 3; ++k) put(b, 2696 + 4 * (3 * i + k), layout[i][k]);
    put(b, 2840, std::int32_t{405});
    for (std::size_t k = 0; k < 3; ++k) put(b, 2844 + 4 * k, layout[12][k]);
    put(b, 8144, 405.0);
    put(b, 8152, aukm);
    put(b, 8160, emratio);
    return b;
  }

  std::string record(int k) const {
    std::string b(8144, '\0');
    put(b, 0, span1 + k * span3);
    put(b, 8, span1 + (k + 1) * span3);
    for (int i = 1; i <= 13; ++i) {
      const auto& l = layout[static_cast<std::size_t>(i - 1)];
      for (int s = 0; s < l[2]; ++s)
        for (int c = 0; c < components(i); ++c)
          for (int j = 0; j < l[1]; ++j) {
            const int n = l[0] - 1 + (s * components(i) + c) * l[1] + j;
            if (n < 1018) put(b, 8 * static_cast<std::size_t>(n), coef(k, i, s, c, j));
          }
    }
    return b;
  }

  std::string bytes() const {
    std::string b = header();
    for (int k = 0; k < data_records; ++k) b += record(k);
    return b;
  }
};

// Names the file as JPLFILE and starts a fresh reader; undone at the end.
class ReaderTest : public testing_support::FreshPlanetRecords {
 protected:
  void TearDown() override {
    FreshPlanetRecords::TearDown();
    set_local_clock(nullptr);
  }
  static void use_file(const std::string& path) { JPLNAM.JPLFILE.assign(path); }
  std::string write_fixture(const std::string& bytes, const std::string& name = "de.bin") {
    const auto p = dir_ / name;
    testing_support::write_file(p, bytes);
    use_file(p.string());
    return p.string();
  }
  // A real file of the shared data, or empty (the test then skips).
  static std::string data_file(const std::string& name) {
    const auto p = testing_support::de405_path(name);
    return std::filesystem::exists(p) ? p.string() : std::string();
  }
  testing_support::TempDir dir_;
};

#define USE_DATA_FILE(name)                                             \
  do {                                                                  \
    const std::string p_ = data_file(name);                             \
    if (p_.empty()) GTEST_SKIP() << "real data absent: de405/" << name; \
    use_file(p_);                                                       \
  } while (0)

}  // namespace de_fixture
