// GBK texts to and from the UTF-16 the wide window functions take. Code page 936 is named
// outright, so the window reads the same on every Windows locale.
#pragma once

#include <string>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::app::win32 {

std::wstring to_wide(std::string_view gbk);
text::Text from_wide(std::wstring_view wide);

}  // namespace quillreap::app::win32
