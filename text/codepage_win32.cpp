// Code-page conversion on Windows: UTF-8 page bodies to GBK through UTF-16 with
// MultiByteToWideChar and WideCharToMultiByte (code pages 65001 and 936), and the GBK <->
// UTF-16 forms the file and window functions take.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "text/codepage.hpp"
#include "text/codepage_rules.hpp"
#include "text/wide.hpp"

namespace quillreap::text {
namespace {

constexpr UINT kUtf8 = 65001;
constexpr UINT kGbk = 936;

int clamp_size(std::size_t size) {
  return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

// Each step counts first and then converts into a buffer of exactly that size, flags 0;
// a failed count leaves an empty buffer and so the empty text.
Text convert_utf8(const char* in, int n) {
  const int w = MultiByteToWideChar(kUtf8, 0, in, n, nullptr, 0);
  std::vector<wchar_t> wide(static_cast<std::size_t>(std::max(w, 0)), L'\0');
  MultiByteToWideChar(kUtf8, 0, in, n, wide.data(), w);
  const int u = static_cast<int>(wide.size());
  const int a = WideCharToMultiByte(kGbk, 0, wide.data(), u, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(a, 0)), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), u, out.data(), a, nullptr, nullptr);
  // A zero byte in the body came through as a zero byte; the text ends there.
  out.resize(std::min(out.size(), out.find('\0')));
  return out;
}

}  // namespace

Text utf8_to_ansi(const Bytes& utf8) {
  if (utf8.empty()) return {};
  return convert_utf8(reinterpret_cast<const char*>(utf8.data()), clamp_size(utf8.size()));
}

Text utf8_to_ansi(std::string_view utf8) {
  if (utf8.empty()) return {};
  return convert_utf8(utf8.data(), clamp_size(utf8.size()));
}

std::wstring gbk_to_wide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int n = clamp_size(gbk.size());
  const int w = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), n, nullptr, 0);
  if (w > 0) {
    std::wstring wide(static_cast<std::size_t>(w), L'\0');
    MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data(), n, wide.data(), w);
    return wide;
  }
  // Something in it is not GBK: go character by character so that each bad one becomes a
  // single '?' and the rest still converts.
  std::wstring wide;
  wide.reserve(gbk.size());
  for (std::size_t i = 0; i < gbk.size();) {
    // Only a lead byte takes a second one: 0x80 (the euro sign) stands alone, and taken
    // together with a following lead byte it would be lost with it.
    const std::size_t size = gbk_lead_byte(static_cast<unsigned char>(gbk[i])) ? 2 : 1;
    wchar_t unit[2];
    const int got = i + size <= gbk.size()
                        ? MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, gbk.data() + i,
                                              static_cast<int>(size), unit, 2)
                        : 0;
    if (got > 0) {
      wide.append(unit, static_cast<std::size_t>(got));
      i += size;
    } else {
      wide.push_back(L'?');
      i += gbk_refused_size(gbk.substr(i));
    }
  }
  return wide;
}

Text wide_to_gbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = clamp_size(wide.size());
  const int a = WideCharToMultiByte(kGbk, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(a, 0)), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), n, out.data(), a, nullptr, nullptr);
  out.resize(std::min(out.size(), out.find('\0')));
  return out;
}

std::string ansi_to_utf8(std::string_view gbk) {
  const std::wstring wide = gbk_to_wide(gbk);
  if (wide.empty()) return {};
  const int n = clamp_size(wide.size());
  const int a = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(a, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), a, nullptr, nullptr);
  return out;
}

}  // namespace quillreap::text
