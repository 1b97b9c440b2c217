// Windows only: GBK texts as the UTF-16 the wide (W) Win32 functions take, and back,
// always through code page 936 whatever the machine's own ANSI code page is.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::text {

// Bytes that are not valid GBK become '?'.
std::wstring gbk_to_wide(std::string_view gbk);
// Characters outside GBK become '?'.
Text wide_to_gbk(std::wstring_view wide);

}  // namespace quillreap::text
