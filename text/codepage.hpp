// Code-page conversion between the GBK texts the program holds and the UTF-8 (or UTF-16)
// that pages, terminals, file systems and windows use. One file per platform does the work.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::text {

// A UTF-8 page body as GBK text. Characters outside GBK become the code page's default
// character; a zero byte ends the text; an empty buffer gives "" without any conversion.
Text utf8_to_ansi(const Bytes& utf8);
// The same for a UTF-8 string (command-line words, GTK entry text).
Text utf8_to_ansi(std::string_view utf8);
// A GBK text as UTF-8, for display, terminals and Linux file names. Bytes that are not
// valid GBK become '?'.
std::string ansi_to_utf8(std::string_view gbk);

}  // namespace quillreap::text
