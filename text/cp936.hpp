// Code page 936 exactly as Windows converts it, from the generated table: for a platform
// whose own converters differ from Windows' (best fit, the user-defined areas), and for a
// book whose bytes must not depend on the platform that wrote it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/codepage_rules.hpp"
#include "text/cp936_table.hpp"

namespace quillreap::text {

// The GBK form of every UTF-16 code unit: one byte (a value below 0x100) or lead << 8 |
// trail; '?' for a unit Windows has no form for. Built on first use, then read-only.
const std::array<std::uint16_t, 0x10000>& cp936_encoding();

// The unit of a lead and trail byte, or 0 when the two are no character. Inline, as the
// one below: a whole book's text goes through them a character at a time.
inline char16_t cp936_pair(unsigned char lead, unsigned char trail) {
  if (lead < kCp936FirstLead || lead > kCp936LastLead) return 0;
  if (trail < kCp936FirstTrail || trail > kCp936LastTrail) return 0;
  return kCp936Pairs[(lead - kCp936FirstLead) * kCp936TrailCount + (trail - kCp936FirstTrail)];
}
// The unit of a byte standing alone: itself below 0x80; 0 when it is no character alone.
inline char16_t cp936_single(unsigned char byte) {
  return byte < 0x80 ? byte : kCp936SingleBytes[byte - 0x80];
}

// Calls each(unit) for every character of a GBK text, in order. One '?' stands for a byte
// sequence that is no character, as Windows reads it; a byte behind it that cannot trail
// is read afresh.
template <typename Each>
void for_each_cp936_unit(std::string_view gbk, Each&& each) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(gbk[i]); };
  for (std::size_t i = 0; i < gbk.size();) {
    char16_t unit = 0;
    std::size_t size = 1;
    if (!gbk_lead_byte(byte(i))) {
      unit = cp936_single(byte(i));
    } else if (i + 1 < gbk.size()) {
      unit = cp936_pair(byte(i), byte(i + 1));
      size = 2;
    }
    if (unit == 0 && byte(i) != 0) {
      each(u'?');
      i += gbk_refused_size(gbk.substr(i));
      continue;
    }
    each(unit);
    i += size;
  }
}

// GBK as UTF-8 through the table.
std::string cp936_to_utf8(std::string_view gbk);

}  // namespace quillreap::text
