#include "outfiles.h"

#include <array>
#include <utility>

#include "records.h"
#include "textio.h"

namespace {

// Parameter numbers (the order of the group TAVI) of the element files.
constexpr int kStfile = 16;
constexpr int kEndfil = 17;

// Refuses the file to write `name`, which the message calls `label`, when it
// is a file being read: writes the message and returns true.
bool refused(std::string_view label, std::string_view name, const EphemState& s) {
  const std::string_view what = file_being_read(name, s);
  if (what.empty()) return false;
  say({label, " is ", what, ", please re-enter"});
  return true;
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
  if (refused("The capture file", FILES.SCRFILE.view(), s)) return kCaptureQuestion;
  if (refused("STFILE variable", FILES.STFILE.view(), s)) return kStfile;
  if (refused("ENDFIL variable", FILES.ENDFIL.view(), s)) return kEndfil;
  return 0;
}

void ask_capture_file(const EphemState& s) {
  do {
    FILES.SCRFILE = "";  // 30 blanks: no capture file unless one is named
    say({"If you want to save a text file containing the screen"});
    say({"output of the ephemeris, enter a file name, for example:"});
    say({"cerestav.txt, otherwise enter <CR>"});
    ask_text(FILES.SCRFILE);
  } while (refused("The capture file", FILES.SCRFILE.view(), s));
}
