// Text lines, fields and files: the one way both programs write and read
// the console and their text files.
//
// Lines: every line written ends with CR LF; a line read ends at LF and a CR
// just before the LF is dropped. Bytes above 127 pass unchanged. A line read
// holds at most kMaxLineLength characters (its line end apart): a longer one
// is error 22 with the line's number, so that a file of one endless line
// cannot fill the memory.
//
// A line layout is a short list of pieces, written in code close to the
// tables that describe the lines:
//   const Layout npos_line = {X(1), L("NPOS =  "), I(4), X(5), L(" Positions to print")};
//   write(console().out(), npos_line, {RUNPAR.NPOS});
// Failures of reads, writes and opens throw FatalIoError (stop.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "types.h"

// ---------------------------------------------------------------- layouts

struct Piece {
  enum class Kind { Int, Fixed, Text, Literal, Blanks, LineEnd, Stop };
  Kind kind = Kind::Literal;
  int w = 0;        // field width (Text: -1 means the whole value / variable)
  int d = 0;        // decimals of a fixed-point field
  std::string lit;  // literal text
  int repeat = 1;   // repeat count of a value field
};

namespace lay {
inline Piece make(Piece::Kind k, int w = 0, int d = 0, std::string_view lit = {}) {
  Piece p;
  p.kind = k;
  p.w = w;
  p.d = d;
  p.lit = std::string(lit);
  return p;
}
inline Piece I(int w) {
  return make(Piece::Kind::Int, w);
}  // integer, width w
inline Piece F(int w, int d) {
  return make(Piece::Kind::Fixed, w, d);
}  // fixed point w.d
inline Piece A(int w) {
  return make(Piece::Kind::Text, w);
}  // text of width w
inline Piece A() {
  return make(Piece::Kind::Text, -1);
}  // text, its own width
inline Piece L(std::string_view s) {
  return make(Piece::Kind::Literal, 0, 0, s);
}  // literal
inline Piece X(int n) {
  return make(Piece::Kind::Blanks, n);
}  // n blank columns
inline Piece NL() {
  return make(Piece::Kind::LineEnd);
}  // line end
inline Piece STOP() {
  return make(Piece::Kind::Stop);
}  // stop when no values remain
inline Piece R(int r, Piece p) {  // r fields of one kind
  p.repeat = r;
  return p;
}
}  // namespace lay

class Layout {
 public:
  Layout(std::initializer_list<Piece> pieces);
  const std::vector<Piece>& pieces() const { return pieces_; }
  bool has_value_field() const { return has_value_field_; }

 private:
  std::vector<Piece> pieces_;  // repeat counts expanded
  bool has_value_field_ = false;
};

// A value to write: an integer, a double or a text.
class Value {
 public:
  Value(std::int32_t v) : v_(v) {}
  Value(double v) : v_(v) {}
  Value(std::string_view v) : v_(v) {}
  Value(const char* v) : v_(std::string_view(v)) {}
  Value(const std::string& v) : v_(std::string_view(v)) {}
  template <std::size_t N>
  Value(const Text<N>& t) : v_(t.view()) {}
  const std::variant<std::int32_t, double, std::string_view>& get() const { return v_; }

 private:
  std::variant<std::int32_t, double, std::string_view> v_;
};

// A variable to read into: an integer, a double, or a text whose length is
// the length of the variable.
class Target {
 public:
  Target(std::int32_t& v) : v_(&v) {}
  Target(double& v) : v_(&v) {}
  Target(std::span<char> v) : v_(v) {}
  template <std::size_t N>
  Target(Text<N>& t) : v_(t.span()) {}
  const std::variant<std::int32_t*, double*, std::span<char>>& get() const { return v_; }

 private:
  std::variant<std::int32_t*, double*, std::span<char>> v_;
};

// ---------------------------------------------------------------- fields

// Integer field: right-justified, "-" for negatives, w asterisks on overflow.
std::string format_int(std::int64_t v, int w);
// Fixed-point field: rounded to d decimals from the exact value of the double,
// ties to even; "0" before the point when there is room; "-" only for values
// that do not round to zero; w asterisks on overflow.
std::string format_fixed(double v, int w, int d);
// Text field of width w: the first w characters, or the value right-justified.
std::string format_text(std::string_view v, int w);

// Columns [from, from + w) of a line (counted from 0), filled with blanks
// past its end; `scratch` holds them when the line is too short.
std::string_view columns(std::string_view line, std::size_t from, std::size_t w,
                         std::string& scratch);

// Field parsers. Blanks are ignored; an all-blank field is 0. They return
// false for a malformed field (the caller reports the conversion error).
bool parse_int_field(std::string_view field, std::int32_t& out);
bool parse_fixed_field(std::string_view field, int d, double& out);

// ---------------------------------------------------------------- files

// Longest line that a read accepts: far above any line of the formats (the
// MPCORB file's lines have 202 columns, the element file's 80) and above the
// 2048 characters of a free-form text value.
inline constexpr std::size_t kMaxLineLength = 65536;

// A text file (or the console) on a numbered channel. Reading keeps the
// position of the line last read, so that the file can step back one line.
class TextFile {
 public:
  explicit TextFile(int unit);
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  int unit() const { return unit_; }
  const std::string& path() const { return path_; }
  bool is_open() const { return fp_ != nullptr; }

  // Open an existing text file for reading (error 29 when missing, 30 when
  // it is not a regular file or cannot be opened), or create / rewrite one
  // for writing (error 30).
  void open_read(std::string_view name);
  void open_write(std::string_view name);
  // Attach an already open stream (the console). Not closed by close().
  void attach(std::FILE* fp, std::string path, bool for_writing);
  // Close; a file being written reports a failed write as error 38.
  void close();

  // Next line into `line`; false at the end of the file. A line longer than
  // kMaxLineLength is error 22.
  bool read_line(std::string& line);
  // Next line; the end of the file is error 24.
  const std::string& next_line();
  void write_line(std::string_view line);
  void rewind();
  void backspace();
  // Sends on what is buffered for a unit being written; a failed write is
  // error 38 (the console's standard output on a full device, for example).
  void flush();
  // The same without the error: false when the write failed.
  bool flush_quietly();

  [[noreturn]] void fail(int number, const std::string& detail = {}) const;

  // A unit whose reads first flush another unit's output (console prompts).
  void flush_before_read(TextFile* out) { prompt_ = out; }

 private:
  bool fill();
  void reset_buffer(long offset);
  // Appends n bytes to a line being read; error 22 once it is too long.
  void append_bounded(std::string& line, const char* from, std::size_t n);

  int unit_;
  std::string path_;
  std::FILE* fp_ = nullptr;
  bool owned_ = false;
  bool writing_ = false;
  bool seekable_ = false;
  TextFile* prompt_ = nullptr;
  std::string line_;  // line last returned by next_line
  // Read buffer of a seekable file: buf_ holds the bytes from file offset
  // buf_offset_; pos_ is the next byte to read.
  std::vector<char> buf_;
  std::size_t len_ = 0, pos_ = 0;
  long buf_offset_ = 0;
  long last_line_start_ = -1;
  bool eof_ = false;
  long line_number_ = 0;  // of the line last read (0 before the first)
};

// File names lose their leading and trailing blanks before use.
std::string trim_name(std::string_view name);
// The full path of a file name, as the fatal error line shows it (a name
// with a NUL character counts up to it).
std::string full_path(std::string_view name);
// What a name names: nothing, a regular file, or something else (a folder,
// a device such as /dev/zero, a FIFO, a socket), which is never read as a
// text file: a device or a FIFO could give one endless line, or none.
enum class FileKind { Missing, Regular, Other };
FileKind file_kind(std::string_view name);
// True when a regular file of that name exists: the test before a question
// is asked again.
bool file_exists(std::string_view name);
// The error of opening the name for reading: 0 for a regular file, 29 when
// nothing has that name, 30 for anything else.
int open_read_error(std::string_view name);
// True when the two names (trimmed of blanks) lead to one existing file: the
// same device and inode, also through a symbolic or a hard link. False when
// either names nothing that exists.
bool same_file(std::string_view a, std::string_view b);
// True when the two names lead to one file, whether it exists yet or not:
// the same existing file (same_file), or the same path written two ways
// (out.txt and ./out.txt, or through a folder that is a link), or a link to
// the other name's file not made yet, where a file made under either name
// would be one file. False when either names nothing.
bool same_path(std::string_view a, std::string_view b);
// True when a name names no file at all: nothing but blanks and NUL
// characters.
bool names_nothing(std::string_view name);

// The console: standard input as unit 5, standard output as unit 6. Tests
// may attach other streams.
class Console {
 public:
  Console();
  TextFile& in() { return in_; }
  TextFile& out() { return out_; }
  void attach(std::FILE* in, std::FILE* out);
  // Sends on the output still buffered; a failed write is error 38 on unit 6,
  // as for any file being written (so is a failed flush before a read).
  void flush_output();

 private:
  TextFile in_;
  TextFile out_;
};
Console& console();

// ---------------------------------------------------------------- lines

// The lines a layout makes of the values (several when it holds line ends
// or is used up while values remain).
std::vector<std::string> format_lines(const Layout& layout, std::initializer_list<Value> values);
void write(TextFile& f, const Layout& layout, std::initializer_list<Value> values);

// Read lines by a layout into the variables; more lines when the layout is
// used up while variables remain.
void read(TextFile& f, const Layout& layout, std::initializer_list<Target> targets);
// The same on a text held in memory (one line); errors name `f`'s unit.
void read_text(std::string_view text, const Layout& layout, std::initializer_list<Target> targets,
               const TextFile& f);

// Free-form output: one message line to the console (more when longer than
// 80 characters), beginning with one blank. Doubles take 24 columns.
using FreeValue = std::variant<std::string_view, double>;
std::vector<std::string> free_form_lines(std::initializer_list<FreeValue> values);
void say(std::initializer_list<FreeValue> values);

// Free-form input from the console (or another unit): values separated by
// blanks, tabs, "," or "/"; empty lines skipped; null values leave their
// variable unchanged. With no variables, one line is read and discarded.
void ask(std::initializer_list<Target> targets);
void read_free(TextFile& f, std::initializer_list<Target> targets);

// A text answer of width w: the first w characters of the next console line
// as typed, filled with blanks (an empty line gives all blanks). Returns the
// length of the line as typed, trailing blanks left out, for an answer that
// its field may not cut.
template <std::size_t N>
std::size_t ask_text(Text<N>& t, int w = static_cast<int>(N)) {
  TextFile& in = console().in();
  const std::string& line = in.next_line();
  read_text(line, {lay::A(w)}, {Target(t)}, in);
  const std::size_t last = line.find_last_not_of(' ');
  return last == std::string::npos ? 0 : last + 1;
}
