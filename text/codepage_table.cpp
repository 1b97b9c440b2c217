// Code-page conversion on Linux through the table recorded from Windows' code page 936
// (text/cp936.hpp), so that both builds write the same bytes: best fit for characters GBK
// lacks, the user-defined areas, the euro sign at 0x80. UTF-8 is decoded here as Windows
// goes through UTF-16: each broken byte and each code point beyond U+FFFF is one '?'.
#include <algorithm>

#include "text/codepage.hpp"
#include "text/codepage_rules.hpp"
#include "text/cp936.hpp"

namespace quillreap::text {
Text utf8_to_ansi(std::string_view utf8) {
  // A zero byte ends the text: nothing behind it can be part of it.
  utf8 = utf8.substr(0, utf8.find('\0'));
  const auto& encoding = cp936_encoding();
  // Every UTF-8 sequence gives at most as many GBK bytes as it has, and '?' is one byte.
  Text out(utf8.size(), '\0');
  char* to = out.data();
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
  for (std::size_t i = 0; i < utf8.size();) {
    if (byte(i) < 0x80) {
      *to++ = utf8[i++];
      continue;
    }
    const std::size_t size = utf8_sequence_size(utf8.substr(i));
    unsigned unit = '?';  // a code point beyond U+FFFF (4), or a byte that starts none (0)
    if (size == 2) {
      unit = (byte(i) & 0x1Fu) << 6 | (byte(i + 1) & 0x3Fu);
    } else if (size == 3) {
      unit = (byte(i) & 0x0Fu) << 12 | (byte(i + 1) & 0x3Fu) << 6 | (byte(i + 2) & 0x3Fu);
    }
    const std::uint16_t gbk = encoding[unit];
    if (gbk > 0xFF) *to++ = static_cast<char>(gbk >> 8);
    *to++ = static_cast<char>(gbk & 0xFF);
    i += std::max<std::size_t>(1, size);
  }
  out.resize(static_cast<std::size_t>(to - out.data()));
  return out;
}

Text utf8_to_ansi(const Bytes& utf8) {
  if (utf8.empty()) return {};
  return utf8_to_ansi(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

std::string ansi_to_utf8(std::string_view gbk) {
  return cp936_to_utf8(gbk);
}

}  // namespace quillreap::text
