// The real test data beside the project (TEST_DATA_DIR, named when the tests
// are built: ../shared/data unless the build says otherwise) and the DE405
// files in it. Tests that need a file skip with a message when it is absent.
#pragma once

#include <filesystem>
#include <string_view>

namespace testing_support {

// The two DE405 files of the test data (JPL's binary form, little-endian).
// The 2000-2040 file ends on JD 2466160.5 (2040 January 7).
inline constexpr std::string_view kDe405_1960_2060 = "de405_1960-2060_le.bin";
inline constexpr std::string_view kDe405_2000_2040 = "de405_2000-2040_le.bin";

// The folder of real test data, or empty when it is absent.
inline std::filesystem::path data_dir() {
  const std::filesystem::path p = TEST_DATA_DIR;
  if (std::filesystem::exists(p)) return p;
  return {};
}

// Where the file `name` of the DE405 folder of the test data lies, whether
// it is there or not.
inline std::filesystem::path de405_path(std::string_view name) {
  return std::filesystem::path(TEST_DATA_DIR) / "de405" / name;
}

}  // namespace testing_support
