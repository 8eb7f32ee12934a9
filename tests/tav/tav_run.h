// What the whole runs of tav start from: the folders of their inputs (the
// initialization files and MPCORB extract shipped in run/, the test
// fixtures, kestle's element files) and of the expected transcripts, and a
// copy of an input put into a run's folder.
#pragma once

#include <filesystem>
#include <string>

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

}  // namespace tav_run
