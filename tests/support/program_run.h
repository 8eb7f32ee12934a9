// Helpers for tests that run a real program with answers on standard input
// and compare what it writes with expected files.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace testing_support {

namespace fs = std::filesystem;

inline std::string read_file(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void write_file(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

// A fresh, empty folder under the system's temporary folder, removed at the
// end of the test.
class TempDir {
 public:
  TempDir() {
    std::string templ = (fs::temp_directory_path() / "tavtest-XXXXXX").string();
    if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp");
    path_ = templ;
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

// What lies under a folder: each file and folder with its bytes and its
// time of last change (a folder's changes when a file is made or removed in
// it), and each symbolic link with where it leads, by its path in the
// folder. Two snapshots that are equal show that nothing was made, changed
// or removed there.
using Snapshot = std::map<std::string, std::pair<std::string, fs::file_time_type>>;
inline Snapshot snapshot(const fs::path& dir) {
  Snapshot s;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    auto& entry = s[e.path().lexically_relative(dir).string()];
    if (e.is_symlink()) {
      entry.first = "-> " + fs::read_symlink(e.path()).string();
    } else {
      if (e.is_regular_file()) entry.first = read_file(e.path());
      entry.second = fs::last_write_time(e.path());
    }
  }
  return s;
}

struct RunResult {
  std::string out;  // standard output, byte for byte
  std::string err;  // standard error
  int status = -1;  // exit status
};

// Runs `program` in `dir` with standard input from the file `in`, behind
// `wrapper` (a command such as "timeout 20 " that runs it) when one is given,
// with standard output to `out_to` when one is given (RunResult.out is then
// empty).
inline RunResult run_from(const std::string& program, const fs::path& in, const fs::path& dir,
                          const std::string& wrapper = "", const fs::path& out_to = {}) {
  const fs::path out = out_to.empty() ? dir / ".stdout" : out_to, err = dir / ".stderr";
  const std::string cmd = "cd '" + dir.string() + "' && " + wrapper + "'" + program + "' < '" +
                          in.string() + "' > '" + out.string() + "' 2> '" + err.string() + "'";
  const int raw = std::system(cmd.c_str());
  RunResult r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  if (out_to.empty()) {
    r.out = read_file(out);
    fs::remove(out);
  }
  r.err = read_file(err);
  fs::remove(err);
  return r;
}

// Runs `program` in `dir` with `input` on standard input.
inline RunResult run_program(const std::string& program, const std::string& input,
                             const fs::path& dir) {
  const fs::path in = dir / ".stdin";
  write_file(in, input);
  RunResult r = run_from(program, in, dir);
  fs::remove(in);
  return r;
}

// The full device, on which every write fails (for the failure of console
// output); empty where the system has none.
inline fs::path full_device() {
  return fs::exists("/dev/full") ? fs::path("/dev/full") : fs::path();
}

// Runs `program` in `dir` with `input` on standard input and standard output
// on the full device.
inline RunResult run_to_full_device(const std::string& program, const std::string& input,
                                    const fs::path& dir) {
  const fs::path in = dir / ".stdin";
  write_file(in, input);
  RunResult r = run_from(program, in, dir, "", full_device());
  fs::remove(in);
  return r;
}

// Runs `program` in `dir` with one endless line (/dev/zero) on standard
// input, stopped after 20 seconds (status 124) should it go on reading.
inline RunResult run_on_endless_line(const std::string& program, const fs::path& dir) {
  return run_from(program, "/dev/zero", dir, "timeout 20 ");
}

// Text with LF line ends turned into CR LF (expected files are kept with
// CR LF; this helps when a test builds an expectation in code).
inline std::string crlf(const std::string& s) {
  std::string r;
  for (char c : s) {
    if (c == '\n') r += '\r';
    r += c;
  }
  return r;
}

// Compares two byte strings line by line, so that a failure names the first
// line that differs instead of printing two long texts.
inline ::testing::AssertionResult same_bytes(const std::string& expected,
                                             const std::string& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  std::istringstream e(expected), a(actual);
  std::string le, la;
  int n = 0;
  while (true) {
    ++n;
    const bool ge = static_cast<bool>(std::getline(e, le));
    const bool ga = static_cast<bool>(std::getline(a, la));
    if (!ge && !ga) break;
    if (!ge || !ga || le != la) {
      return ::testing::AssertionFailure()
             << "first difference at line " << n << "\n expected: [" << (ge ? le : "<end>")
             << "]\n   actual: [" << (ga ? la : "<end>") << "]";
    }
  }
  return ::testing::AssertionFailure() << "line ends or final bytes differ";
}

}  // namespace testing_support
