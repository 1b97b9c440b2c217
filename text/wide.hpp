// Windows only: GBK texts as the UTF-16 the wide (W) Win32 functions take, and back,
// always through code page 936 whatever the machine's own ANSI code page is. The one
// conversion of the Windows build: file names, the window and the console all use it, so a
// text shows and names a file alike.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::text {

// Each character that is not valid GBK becomes one '?' (a lead byte with a byte that can
// trail it counts as one character; any other byte as one), and the rest still converts.
std::wstring gbk_to_wide(std::string_view gbk);
// Characters outside GBK become '?'. A text never holds a zero byte: an embedded NUL (from
// a window, say) ends it.
Text wide_to_gbk(std::wstring_view wide);

}  // namespace quillreap::text
