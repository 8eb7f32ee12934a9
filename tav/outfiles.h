// The files that tav writes (the capture file, the element files STFILE and
// ENDFIL) and the files that it reads: a file to write may not be one being
// read. An element file written over the JPL file would leave 12 lines of a
// planetary ephemeris of megabytes; the capture file written over the
// element file read would lose its elements.
//
// Each name to write is asked again where it was typed, until it names no
// file being read: the capture question of the run loop, the value question
// of the parameter dialogue.
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
// ENDFIL in this order: for the first that is a file being read, writes its
// message and returns its question (kCaptureQuestion, or the parameter
// number of STFILE or ENDFIL); returns 0 when none is.
int files_to_write_test(const EphemState& s);

// The capture question of the run loop: three lines and an answer of 30
// characters into FILES.SCRFILE (blank: no capture file), asked again with
// a message while it names a file being read.
void ask_capture_file(const EphemState& s);
