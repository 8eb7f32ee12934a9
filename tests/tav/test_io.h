// Helpers of the element-file, MPCORB and kestle tests: a console driven
// from a text, the lines of a CR LF file, and the fatal error of a call.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "console_script.h"
#include "stop.h"
#include "textio.h"

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
