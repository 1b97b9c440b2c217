// How far one refused character reaches, for the code-page converters of both platforms:
// where a converter stops, exactly one '?' stands for the bytes these functions measure.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillreap::text {

// Byte length of the well-formed UTF-8 sequence at the start of rest, or 0 when its first
// byte does not start one (a stray continuation byte, a cut-off sequence, an overlong form,
// a surrogate, a code point beyond U+10FFFF).
std::size_t utf8_sequence_size(std::string_view rest);

// Whether a GBK byte starts a two-byte character (0x81 to 0xFE); every other byte stands
// alone, 0x80 (the euro sign) among them.
constexpr bool gbk_lead_byte(unsigned char byte) {
  return byte >= 0x81 && byte <= 0xFE;
}
// Whether a byte can follow a lead byte as the second of a two-byte character (0x40 to 0xFE
// but 0x7F); a backslash or '|' there is part of the character, no separator.
constexpr bool gbk_trail_byte(unsigned char byte) {
  return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
}

// Byte length of the GBK character at the start of rest that could not be converted: 2 when
// a lead byte is followed by a byte that can trail one, so the pair goes as one character;
// 1 otherwise, so that a following ASCII byte still comes through.
std::size_t gbk_refused_size(std::string_view rest);

// Writes one UTF-16 unit of the Basic Multilingual Plane (code page 936 maps into no
// other) as UTF-8 (one to three bytes) at out; returns where it stopped. Inline:
// conversions call it once a character.
inline char* put_utf8(char* out, char16_t unit) {
  const unsigned u = unit;
  if (u < 0x80) {
    *out++ = static_cast<char>(u);
  } else if (u < 0x800) {
    *out++ = static_cast<char>(0xC0 | u >> 6);
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
  } else {
    *out++ = static_cast<char>(0xE0 | u >> 12);
    *out++ = static_cast<char>(0x80 | (u >> 6 & 0x3F));
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
  }
  return out;
}

// The same, appended to out.
inline void append_utf8(std::string& out, char16_t unit) {
  char bytes[3];
  out.append(bytes, static_cast<std::size_t>(put_utf8(bytes, unit) - bytes));
}

}  // namespace quillreap::text
