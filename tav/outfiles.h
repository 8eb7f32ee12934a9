// The files that tav writes (the capture file, the element files STFILE and
// ENDFIL) and the tests of their names, made before anything is written:
// - a file to write may not be a file being read: an element file written
//   over the JPL file would leave 12 lines of a planetary ephemeris of
//   megabytes; the capture file written over the element file read would
//   lose its elements;
// - the capture file may not be STFILE or ENDFIL, which it would replace,
//   and ENDFIL may not be STFILE: the end file would replace the start
//   file, said saved before it;
// - a name is not cut to its 30 characters: the file would be made under a
//   name nobody gave, perhaps someone else's file;
// - the file must be one that can be made or rewritten (writable.h), so
//   that a name without a folder is found at once, not when the file is
//   written after a whole integration.
//
// Each name to write is asked again where it was given, until it passes:
// the capture question of the run loop, the value question of the
// parameter dialogue. Of the capture file and an element file of one name,
// the one named last is asked again: the capture file at the capture
// question, where STFILE and ENDFIL are those of the ephemeris before (the
// initialization file is read after the first capture question); STFILE or
// ENDFIL at the parameter tests, which come after it in every ephemeris. Of
// STFILE and ENDFIL of one name, ENDFIL is asked again.
#pragma once

#include <string_view>

#include "tav.h"

// The question of the capture file among the questions of the parameter
// tests, after the 19 parameters.
inline constexpr int kCaptureQuestion = 20;

// Which file being read `name` names (same device and inode, also through a
// link): "the JPL file" (JPLNAM.JPLFILE), "the MPCORB file" (s.MPCFILE),
// "the initialization file" (s.INIFILE) or "the element file read"
// (s.ELEFILE); empty when it names none of them, and when it names nothing
// that exists.
std::string_view file_being_read(std::string_view name, const EphemState& s);

// Tests the files to write, the capture file (FILES.SCRFILE), STFILE and
// ENDFIL in this order: for the first whose name does not pass, writes its
// message and returns its question (kCaptureQuestion, or the parameter
// number of STFILE or ENDFIL); returns 0 when all pass. A blank name is no
// file and passes.
int files_to_write_test(const EphemState& s);

// The message for a name of a file to write longer than its 30 characters,
// trailing blanks left out; `label` says which ("STFILE variable").
void say_name_too_long(std::string_view label);

// The capture question of the run loop: three lines and an answer of 30
// characters into FILES.SCRFILE (blank: no capture file), asked again with
// a message while the name does not pass.
void ask_capture_file(const EphemState& s);
