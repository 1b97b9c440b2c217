// Conversion through code page 936 with MultiByteToWideChar / WideCharToMultiByte.
#include "app/win32/wide_text.hpp"

#include <windows.h>

namespace quillreap::app::win32 {
namespace {
constexpr UINT kGbk = 936;
}  // namespace

std::wstring to_wide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int size = static_cast<int>(gbk.size());
  const int needed = MultiByteToWideChar(kGbk, 0, gbk.data(), size, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), size, wide.data(), needed);
  return wide;
}

text::Text from_wide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(kGbk, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  text::Text gbk(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), size, gbk.data(), needed, nullptr, nullptr);
  // A text never holds a zero byte: an embedded NUL from the window ends it.
  if (const auto nul = gbk.find('\0'); nul != text::Text::npos) gbk.resize(nul);
  return gbk;
}

}  // namespace quillreap::app::win32
