// Text files, the console, and lines written and read by layouts.
#include "textio.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "stop.h"
#include "writable.h"

// ---------------------------------------------------------------- layouts

Layout::Layout(std::initializer_list<Piece> pieces) {
  for (const Piece& p : pieces) {
    const bool value =
        p.kind == Piece::Kind::Int || p.kind == Piece::Kind::Fixed || p.kind == Piece::Kind::Text;
    has_value_field_ = has_value_field_ || value;
    const int n = value ? std::max(p.repeat, 0) : 1;
    for (int k = 0; k < n; ++k) {
      pieces_.push_back(p);
      pieces_.back().repeat = 1;
    }
  }
}

// ---------------------------------------------------------------- files

std::string trim_name(std::string_view name) {
  const auto first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = name.find_last_not_of(' ');
  return std::string(name.substr(first, last - first + 1));
}

namespace {

// A name that the operating system can take as it stands: a NUL would cut it.
bool usable_name(const std::string& n) {
  return !n.empty() && n.find('\0') == std::string::npos;
}

constexpr std::size_t kReadBuffer = 1 << 18;

}  // namespace

std::string full_path(std::string_view name) {
  std::string n(name.substr(0, name.find('\0')));
  std::error_code ec;
  const auto p = std::filesystem::absolute(n, ec);
  return ec ? n : p.string();
}

FileKind file_kind(std::string_view name) {
  const std::string n = trim_name(name);
  if (!usable_name(n)) return FileKind::Missing;
  std::error_code ec;
  const auto st = std::filesystem::status(n, ec);  // follows symbolic links
  if (ec || !std::filesystem::exists(st)) return FileKind::Missing;
  return std::filesystem::is_regular_file(st) ? FileKind::Regular : FileKind::Other;
}

bool file_exists(std::string_view name) {
  return file_kind(name) == FileKind::Regular;
}

int open_read_error(std::string_view name) {
  switch (file_kind(name)) {
    case FileKind::Regular:
      return 0;
    case FileKind::Missing:
      return ioerr::NOT_FOUND;
    case FileKind::Other:
      break;
  }
  return ioerr::OPEN_FAILURE;
}

bool same_file(std::string_view a, std::string_view b) {
  const std::string x = trim_name(a), y = trim_name(b);
  if (!usable_name(x) || !usable_name(y)) return false;
  std::error_code ec;
  return std::filesystem::equivalent(x, y, ec) && !ec;
}

namespace {

// A path as the system takes it: absolute, its "." and ".." and the links of
// the part that exists resolved, and a link in its last part followed also
// where it leads to a file not made yet (which an open for writing makes).
std::filesystem::path resolved_path(std::string n) {
  if (!follow_links(n)) return std::filesystem::path(n).lexically_normal();
  std::error_code ec;
  const std::filesystem::path abs = std::filesystem::absolute(n, ec);
  if (ec) return std::filesystem::path(n).lexically_normal();
  const std::filesystem::path p = std::filesystem::weakly_canonical(abs, ec);
  return ec ? abs.lexically_normal() : p;
}

}  // namespace

bool same_path(std::string_view a, std::string_view b) {
  if (same_file(a, b)) return true;
  const std::string x = trim_name(a), y = trim_name(b);
  if (!usable_name(x) || !usable_name(y)) return false;
  return resolved_path(x) == resolved_path(y);
}

bool names_nothing(std::string_view name) {
  return std::all_of(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\0'; });
}

TextFile::TextFile(int unit) : unit_(unit) {}

TextFile::~TextFile() {
  if (fp_ && owned_) std::fclose(fp_);
}

void TextFile::fail(int number, const std::string& detail) const {
  throw FatalIoError(number, unit_, path_, detail);
}

void TextFile::open_read(std::string_view name) {
  close();
  const std::string n = trim_name(name);
  path_ = full_path(n);
  // Checked before the open: opening a FIFO would wait for a writer.
  if (const int error = open_read_error(n)) fail(error);
  fp_ = std::fopen(n.c_str(), "rb");
  if (!fp_) fail(ioerr::OPEN_FAILURE);
  owned_ = true;
  writing_ = false;
  seekable_ = true;
  buf_.resize(kReadBuffer);
  reset_buffer(0);
}

void TextFile::open_write(std::string_view name) {
  close();
  const std::string n = trim_name(name);
  path_ = full_path(n);
  if (!usable_name(n)) fail(ioerr::OPEN_FAILURE);
  fp_ = std::fopen(n.c_str(), "wb");
  if (!fp_) fail(ioerr::OPEN_FAILURE);
  owned_ = true;
  writing_ = true;
  seekable_ = false;
}

void TextFile::attach(std::FILE* fp, std::string path, bool for_writing) {
  if (fp_ && owned_) std::fclose(fp_);
  fp_ = fp;
  path_ = std::move(path);
  owned_ = false;
  writing_ = for_writing;
  seekable_ = false;
  eof_ = false;
  line_number_ = 0;
}

void TextFile::close() {
  if (!fp_) return;
  bool failed = false;
  if (writing_) failed = std::fflush(fp_) != 0 || std::ferror(fp_);
  if (owned_ && std::fclose(fp_) != 0 && writing_) failed = true;
  fp_ = nullptr;
  if (failed) fail(ioerr::WRITE_FAILURE);
}

void TextFile::reset_buffer(long offset) {
  buf_offset_ = offset;
  len_ = pos_ = 0;
  last_line_start_ = -1;
  eof_ = false;
  line_number_ = 0;
}

bool TextFile::fill() {
  buf_offset_ += static_cast<long>(len_);
  pos_ = 0;
  len_ = std::fread(buf_.data(), 1, buf_.size(), fp_);
  return len_ > 0;
}

void TextFile::append_bounded(std::string& line, const char* from, std::size_t n) {
  // One more than the bound for the CR that may end the line.
  if (n > kMaxLineLength + 1 - line.size())
    fail(ioerr::LINE_TOO_LONG, " at line " + std::to_string(line_number_ + 1));
  line.append(from, n);
}

bool TextFile::read_line(std::string& line) {
  if (!fp_ || writing_) throw std::logic_error("read from a unit not open for reading");
  if (prompt_) prompt_->flush();
  line.clear();
  bool any = false;
  if (!seekable_) {
    // The console: one character at a time, so that a read never waits for
    // more than the line it needs.
    if (eof_) return false;
    int c;
    while ((c = std::getc(fp_)) != EOF) {
      any = true;
      if (c == '\n') break;
      const char ch = static_cast<char>(c);
      append_bounded(line, &ch, 1);
    }
    if (c == EOF) eof_ = true;
  } else {
    const long start = buf_offset_ + static_cast<long>(pos_);
    for (;;) {
      if (pos_ == len_ && !fill()) break;
      const char* from = buf_.data() + pos_;
      const void* nl = std::memchr(from, '\n', len_ - pos_);
      any = true;
      if (nl) {
        const auto n = static_cast<std::size_t>(static_cast<const char*>(nl) - from);
        append_bounded(line, from, n);
        pos_ += n + 1;
        break;
      }
      append_bounded(line, from, len_ - pos_);
      pos_ = len_;
    }
    if (any) last_line_start_ = start;
  }
  if (!any) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxLineLength)
    fail(ioerr::LINE_TOO_LONG, " at line " + std::to_string(line_number_ + 1));
  ++line_number_;
  return true;
}

const std::string& TextFile::next_line() {
  if (!read_line(line_)) fail(ioerr::END_OF_FILE);
  return line_;
}

void TextFile::write_line(std::string_view line) {
  if (!fp_ || !writing_) throw std::logic_error("write to a unit not open for writing");
  if (std::fwrite(line.data(), 1, line.size(), fp_) != line.size() ||
      std::fwrite("\r\n", 1, 2, fp_) != 2)
    fail(ioerr::WRITE_FAILURE);
}

void TextFile::rewind() {
  if (!fp_ || !seekable_) return;
  std::fseek(fp_, 0, SEEK_SET);
  reset_buffer(0);
}

void TextFile::backspace() {
  if (!fp_ || !seekable_ || last_line_start_ < 0) return;
  const long target = last_line_start_;
  if (target >= buf_offset_ && target <= buf_offset_ + static_cast<long>(len_)) {
    pos_ = static_cast<std::size_t>(target - buf_offset_);
  } else {
    const long number = line_number_;
    std::fseek(fp_, target, SEEK_SET);
    reset_buffer(target);
    line_number_ = number;
  }
  last_line_start_ = -1;
  if (line_number_ > 0) --line_number_;
}

void TextFile::flush() {
  if (!flush_quietly()) fail(ioerr::WRITE_FAILURE);
}

bool TextFile::flush_quietly() {
  if (!fp_ || !writing_) return true;
  // The error flag stays set after a write that failed in the buffer.
  return std::fflush(fp_) == 0 && !std::ferror(fp_);
}

Console::Console() : in_(5), out_(6) {
  attach(stdin, stdout);
}

void Console::attach(std::FILE* in, std::FILE* out) {
  in_.attach(in, "/dev/stdin", false);
  out_.attach(out, "/dev/stdout", true);
  in_.flush_before_read(&out_);
}

void Console::flush_output() {
  out_.flush();
}

Console& console() {
  static Console c;
  return c;
}

// ---------------------------------------------------------------- lines

namespace {

bool is_value_field(const Piece& p) {
  return p.kind == Piece::Kind::Int || p.kind == Piece::Kind::Fixed || p.kind == Piece::Kind::Text;
}

std::string format_value(const Piece& p, const Value& v) {
  const auto& x = v.get();
  switch (p.kind) {
    case Piece::Kind::Int:
      if (const auto* i = std::get_if<std::int32_t>(&x)) return format_int(*i, p.w);
      break;
    case Piece::Kind::Fixed:
      if (const auto* d = std::get_if<double>(&x)) return format_fixed(*d, p.w, p.d);
      break;
    case Piece::Kind::Text:
      if (const auto* s = std::get_if<std::string_view>(&x)) return format_text(*s, p.w);
      break;
    default:
      break;
  }
  throw std::logic_error("value does not suit its field");
}

// Stores a text read from a field: a longer variable is filled with blanks,
// a shorter one takes the rightmost characters.
void store_text(std::span<char> var, std::string_view s) {
  if (s.size() >= var.size()) {
    s = s.substr(s.size() - var.size());
    std::copy(s.begin(), s.end(), var.begin());
  } else {
    std::copy(s.begin(), s.end(), var.begin());
    std::fill(var.begin() + static_cast<std::ptrdiff_t>(s.size()), var.end(), ' ');
  }
}

// Reads one field starting at column `col` of `line`, blank-filled beyond
// its end; advances `col`.
void read_field(const Piece& p, const Target& t, std::string_view line, std::size_t& col,
                const TextFile& f) {
  const auto& x = t.get();
  std::size_t w = p.w >= 0 ? static_cast<std::size_t>(p.w) : 0;
  if (p.kind == Piece::Kind::Text && p.w < 0) {
    const auto* s = std::get_if<std::span<char>>(&x);
    if (!s) throw std::logic_error("variable does not suit its field");
    w = s->size();
  }
  std::string scratch;
  const std::string_view field = columns(line, col, w, scratch);
  col += w;
  switch (p.kind) {
    case Piece::Kind::Int:
      if (auto* i = std::get_if<std::int32_t*>(&x)) {
        if (!parse_int_field(field, **i)) f.fail(ioerr::CONVERSION);
        return;
      }
      break;
    case Piece::Kind::Fixed:
      if (auto* d = std::get_if<double*>(&x)) {
        if (!parse_fixed_field(field, p.d, **d)) f.fail(ioerr::CONVERSION);
        return;
      }
      break;
    case Piece::Kind::Text:
      if (auto* s = std::get_if<std::span<char>>(&x)) {
        store_text(*s, field);
        return;
      }
      break;
    default:
      break;
  }
  throw std::logic_error("variable does not suit its field");
}

// Applies a layout to lines supplied by `next`, which returns the next line.
template <typename NextLine>
void read_by_layout(const Layout& layout, std::initializer_list<Target> targets, const TextFile& f,
                    NextLine next) {
  if (targets.size() > 0 && !layout.has_value_field())
    throw std::logic_error("layout without fields for variables");
  const Target* t = targets.begin();
  std::string line = next();
  for (;;) {
    std::size_t col = 0;
    for (const Piece& p : layout.pieces()) {
      if (is_value_field(p)) {
        if (t == targets.end()) return;
        read_field(p, *t++, line, col, f);
      } else if (p.kind == Piece::Kind::Blanks) {
        col += static_cast<std::size_t>(std::max(p.w, 0));
      } else if (p.kind == Piece::Kind::LineEnd) {
        line = next();
        col = 0;
      } else if (p.kind == Piece::Kind::Stop) {
        if (t == targets.end()) return;
      } else {
        throw std::logic_error("literal text in a layout for reading");
      }
    }
    if (t == targets.end()) return;
    line = next();
  }
}

}  // namespace

std::vector<std::string> format_lines(const Layout& layout, std::initializer_list<Value> values) {
  if (values.size() > 0 && !layout.has_value_field())
    throw std::logic_error("layout without fields for values");
  std::vector<std::string> lines;
  std::string cur;
  const Value* v = values.begin();
  for (;;) {
    for (const Piece& p : layout.pieces()) {
      if (is_value_field(p)) {
        if (v == values.end()) goto done;
        cur += format_value(p, *v++);
      } else if (p.kind == Piece::Kind::Literal) {
        cur += p.lit;
      } else if (p.kind == Piece::Kind::Blanks) {
        cur.append(static_cast<std::size_t>(std::max(p.w, 0)), ' ');
      } else if (p.kind == Piece::Kind::LineEnd) {
        lines.push_back(std::move(cur));
        cur.clear();
      } else if (p.kind == Piece::Kind::Stop) {
        if (v == values.end()) goto done;
      }
    }
    if (v == values.end()) break;
    lines.push_back(std::move(cur));
    cur.clear();
  }
done:
  lines.push_back(std::move(cur));
  return lines;
}

void write(TextFile& f, const Layout& layout, std::initializer_list<Value> values) {
  for (const std::string& line : format_lines(layout, values)) f.write_line(line);
}

void read(TextFile& f, const Layout& layout, std::initializer_list<Target> targets) {
  read_by_layout(layout, targets, f, [&f]() { return f.next_line(); });
}

void read_text(std::string_view text, const Layout& layout, std::initializer_list<Target> targets,
               const TextFile& f) {
  bool used = false;
  read_by_layout(layout, targets, f, [&]() {
    if (used) f.fail(ioerr::END_OF_FILE);
    used = true;
    return std::string(text);
  });
}
