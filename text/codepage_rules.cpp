// The UTF-8 and GBK byte-structure rules shared by both platforms' converters.
#include "text/codepage_rules.hpp"

namespace quillreap::text {

std::size_t utf8_sequence_size(std::string_view rest) {
  if (rest.empty()) return 0;
  const auto at = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
  const unsigned char first = at(0);
  if (first < 0x80) return 1;
  std::size_t size = 0;
  unsigned char low = 0x80;  // the range the second byte must lie in
  unsigned char high = 0xBF;
  if (first >= 0xC2 && first <= 0xDF) {
    size = 2;
  } else if (first >= 0xE0 && first <= 0xEF) {
    size = 3;
    if (first == 0xE0) low = 0xA0;   // no overlong forms
    if (first == 0xED) high = 0x9F;  // no surrogates
  } else if (first >= 0xF0 && first <= 0xF4) {
    size = 4;
    if (first == 0xF0) low = 0x90;
    if (first == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (rest.size() < size || at(1) < low || at(1) > high) return 0;
  for (std::size_t i = 2; i < size; ++i) {
    if (at(i) < 0x80 || at(i) > 0xBF) return 0;
  }
  return size;
}

std::size_t gbk_refused_size(std::string_view rest) {
  if (rest.size() < 2) return rest.size();
  const bool pair = gbk_lead_byte(static_cast<unsigned char>(rest[0])) &&
                    gbk_trail_byte(static_cast<unsigned char>(rest[1]));
  return pair ? 2 : 1;
}

}  // namespace quillreap::text
