#include "outfiles.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "records.h"
#include "textio.h"
#include "writable.h"

namespace {

// Parameter numbers (the order of the group TAVI) of the element files.
constexpr int kStfile = 16;
constexpr int kEndfil = 17;

// The characters a name of a file to write holds.
constexpr std::size_t kNameLength = decltype(FilesRecord::SCRFILE)::size();

// Another file to write that a name may not be, and what the message calls
// it.
struct OtherFile {
  std::string_view what;
  std::string_view name;
};

// Why no file can be written under a name, as the message says it.
std::string_view obstacle_text(WriteObstacle o) {
  switch (o) {
    case WriteObstacle::None:
      break;
    case WriteObstacle::Folder:
      return "is a folder";
    case WriteObstacle::NoFolder:
      return "is in a folder that does not exist";
    case WriteObstacle::NotAFolder:
      return "is under a name that is not a folder";
    case WriteObstacle::FileNotWritable:
      return "is a file that cannot be written";
    case WriteObstacle::FolderNotWritable:
      return "is in a folder that cannot be written";
    case WriteObstacle::Unusable:
      return "cannot be made";
  }
  return {};
}

// Refuses the file to write `name`, which the message calls `label`, when
// it is a file being read or one of `others`, or when no file can be
// written under it: writes the message and returns true.
bool refused(std::string_view label, std::string_view name, const EphemState& s,
             const std::vector<OtherFile>& others) {
  if (names_nothing(name)) return false;
  std::string_view what = file_being_read(name, s);
  for (const OtherFile& o : others)
    if (what.empty() && same_path(name, o.name)) what = o.what;
  if (!what.empty()) {
    say({label, " is ", what, ", please re-enter"});
    return true;
  }
  const std::string_view obstacle = obstacle_text(write_obstacle(name));
  if (obstacle.empty()) return false;
  say({label, " ", obstacle, ", please re-enter"});
  return true;
}

// An element file to write: its name from the initialization file too long
// to hold, or refused like any file to write; the capture file, named
// before it, is one it may not be, and so is `also` when given.
bool element_file_refused(std::string_view label, const Text<kNameLength>& name, bool too_long,
                          const EphemState& s, const std::optional<OtherFile>& also = {}) {
  if (too_long) {
    say_name_too_long(label);
    return true;
  }
  std::vector<OtherFile> others = {{"the capture file", FILES.SCRFILE.view()}};
  if (also) others.push_back(*also);
  return refused(label, name.view(), s, others);
}

}  // namespace

std::string_view file_being_read(std::string_view name, const EphemState& s) {
  const std::array<std::pair<std::string_view, std::string_view>, 4> read = {{
      {"the JPL file", JPLNAM.JPLFILE.view()},
      {"the MPCORB file", s.MPCFILE.view()},
      {"the initialization file", s.INIFILE.view()},
      {"the element file read", s.ELEFILE.view()},
  }};
  for (const auto& [what, read_name] : read)
    if (same_file(name, read_name)) return what;
  return {};
}

int files_to_write_test(const EphemState& s) {
  if (refused("The capture file", FILES.SCRFILE.view(), s, {})) return kCaptureQuestion;
  if (element_file_refused("STFILE variable", FILES.STFILE, s.stfile_too_long, s)) return kStfile;
  // The end file would replace the start file, written before it.
  if (element_file_refused("ENDFIL variable", FILES.ENDFIL, s.endfil_too_long, s,
                           OtherFile{"the element file STFILE", FILES.STFILE.view()}))
    return kEndfil;
  return 0;
}

void say_name_too_long(std::string_view label) {
  const std::string n = std::to_string(kNameLength);
  say({label, " is longer than ", n, " characters, please re-enter"});
}

void ask_capture_file(const EphemState& s) {
  for (;;) {
    FILES.SCRFILE = "";  // 30 blanks: no capture file unless one is named
    say({"If you want to save a text file containing the screen"});
    say({"output of the ephemeris, enter a file name, for example:"});
    say({"cerestav.txt, otherwise enter <CR>"});
    if (ask_text(FILES.SCRFILE) > kNameLength) {
      say_name_too_long("The capture file name");
      continue;
    }
    if (!refused("The capture file", FILES.SCRFILE.view(), s,
                 {{"the element file STFILE", FILES.STFILE.view()},
                  {"the element file ENDFIL", FILES.ENDFIL.view()}}))
      return;
  }
}
