// Assignment groups: a block of NAME = value assignments in a text file,
// opened by "&" or "$" and the group's name and closed by "/", "&" or "$":
//
//    &TAVI NPOS = 30, YEAR = 2009.0, FORM = 'LONG' /
//
// Names are matched without regard to case. "!" starts a comment. Every
// variable takes one value; variables that the group does not name keep
// their values.
#pragma once

#include <span>
#include <string_view>

#include "textio.h"

struct GroupVar {
  std::string_view name;  // upper case
  Target target;
  // For a text that may not be cut: set to true when the group gives it a
  // value longer than the variable (trailing blanks left out), of which the
  // variable holds the first characters, and to false for one that fits.
  // Null for a text that is simply cut.
  bool* cut = nullptr;
};

// Finds the group in `f` (read from its current line) and assigns the values
// it names, one by one as they are read. A malformed group throws
// FatalIoError naming `f`: 17 syntax, 18 more than one value for a variable,
// 19 a name that is not a variable, 24 end of file before the group's end,
// 64 a value that does not suit its variable.
void read_group(TextFile& f, std::string_view group_name, std::span<const GroupVar> vars);
