// Pieces shared by the free-form and assignment-group readers (internal).
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "textio.h"

// Reads a text between apostrophes or quotation marks that starts at
// line[pos]; a doubled quote stands for one, and the text may run on over
// line ends, which are not part of it (further lines come from `f`, whose end
// is error 24). A text longer than `max` characters is error `too_long`.
// On return `pos` is just after the closing quote.
std::string read_quoted(TextFile& f, std::string& line, std::size_t& pos, std::size_t max,
                        int too_long);

// Stores a text left-justified in a text variable, filled with blanks or cut.
void store_left(std::span<char> var, std::string_view s);
