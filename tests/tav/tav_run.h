// What the whole runs of tav start from: the folders of their inputs (the
// initialization files and MPCORB extract shipped in run/, the test
// fixtures, kestle's element files) and of the expected transcripts, and a
// copy of an input put into a run's folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "program_run.h"

namespace tav_run {

namespace fs = std::filesystem;
using testing_support::read_file;
using testing_support::RunResult;
using testing_support::same_bytes;
using testing_support::TempDir;
using testing_support::write_file;

inline const fs::path kTests = TEST_SOURCE_DIR;
inline const fs::path kRun = kTests / ".." / ".." / "run";  // the initialization files shipped
inline const fs::path kFixtures = kTests / "fixtures";
inline const fs::path kExpected = kTests / "expected";
inline const fs::path kKestleExpected = kTests / ".." / "kestle" / "expected";

// The file `from` copied into the run folder `dir` as `name`; an empty path
// makes an empty file.
inline void place(const TempDir& dir, const std::string& name, const fs::path& from) {
  write_file(dir / name, from.empty() ? "" : read_file(from));
}

// A SHORT data line's place: right ascension in minutes of time and
// declination in minutes of arc. listings() gives the data lines of each
// SHORT listing of a console transcript, in order.
struct Place {
  std::string date;
  double ra_min = 0, dec_arcmin = 0;
};

inline std::vector<std::vector<Place>> listings(const std::string& out) {
  std::vector<std::vector<Place>> all;
  std::istringstream in(out);
  std::string line;
  bool in_listing = false;
  while (std::getline(in, line)) {
    if (line.rfind("    ----", 0) == 0) {  // the underline starts a listing
      all.emplace_back();
      in_listing = true;
      continue;
    }
    if (!in_listing) continue;
    if (line.size() < 78 || line[0] != ' ' || line[5] != '-') {
      in_listing = false;
      continue;
    }
    Place p;
    p.date = line.substr(1, 11);
    p.ra_min = std::atof(line.substr(19, 2).c_str()) * 60 + std::atof(line.substr(23, 5).c_str());
    const double dec =
        std::atof(line.substr(32, 2).c_str()) * 60 + std::atof(line.substr(36, 4).c_str());
    p.dec_arcmin = line[31] == '-' ? -dec : dec;
    all.back().push_back(p);
  }
  return all;
}

}  // namespace tav_run
