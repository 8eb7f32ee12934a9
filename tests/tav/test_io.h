// Helpers of the element-file, MPCORB and kestle tests: a console driven
// from a text, the lines of a CR LF file, and the fatal error of a call.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "stop.h"
#include "textio.h"

// The console of an in-process routine: its answers come from a text, what
// it writes is kept for the test to read.
class ConsoleScript {
 public:
  explicit ConsoleScript(const std::string& answers) {
    in_ = std::tmpfile();
    std::fwrite(answers.data(), 1, answers.size(), in_);
    std::rewind(in_);
    out_ = open_memstream(&buf_, &len_);
    console().attach(in_, out_);
  }
  ~ConsoleScript() {
    console().attach(stdin, stdout);
    std::fclose(in_);
    std::fclose(out_);
    std::free(buf_);
  }
  ConsoleScript(const ConsoleScript&) = delete;
  ConsoleScript& operator=(const ConsoleScript&) = delete;

  // Everything written to the console so far.
  std::string output() {
    std::fflush(out_);
    return std::string(buf_, len_);
  }

 private:
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  char* buf_ = nullptr;
  std::size_t len_ = 0;
};

// The lines of a text whose lines end in CR LF, without the line ends.
inline std::vector<std::string> crlf_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < bytes.size()) {
    std::size_t end = bytes.find("\r\n", from);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(from, end - from));
    from = end + 2;
  }
  return lines;
}

// The lines joined, each with CR LF.
inline std::string crlf_text(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

// Success when `call` ends with the fatal error `number` on channel `unit`.
template <typename Call>
::testing::AssertionResult fails_with(Call call, int number, int unit) {
  try {
    call();
  } catch (const FatalIoError& e) {
    if (e.number() == number && e.unit() == unit) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "other error: " << e.what();
  }
  return ::testing::AssertionFailure() << "no error";
}
