// The console of an in-process routine under test: its answers come from a
// text, and what it writes is kept for the test to read. The real console is
// attached again when the script goes out of scope.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "textio.h"

class ConsoleScript {
 public:
  explicit ConsoleScript(const std::string& answers = "") {
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
    console().flush_output();
    return written();
  }
  // What has reached the stream without a flush by the test: shows that the
  // program flushed its prompt itself before it read.
  std::string written() const { return std::string(buf_, len_); }

 private:
  std::FILE* in_ = nullptr;
  std::FILE* out_ = nullptr;
  char* buf_ = nullptr;
  std::size_t len_ = 0;
};
