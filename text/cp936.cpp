// Look-ups over the generated code-page 936 table. The encoding is the decoding turned
// round, with the table's best-fit entries laid over it.
#include "text/cp936.hpp"

namespace quillreap::text {
namespace {

struct Encoding {
  std::array<std::uint16_t, 0x10000> gbk;

  Encoding() {
    gbk.fill('?');
    for (unsigned unit = 0; unit < 0x80; ++unit) gbk[unit] = static_cast<std::uint16_t>(unit);
    for (unsigned byte = 0; byte < kCp936SingleBytes.size(); ++byte) {
      if (const std::uint16_t unit = kCp936SingleBytes[byte]) {
        gbk[unit] = static_cast<std::uint16_t>(0x80 + byte);
      }
    }
    for (std::size_t at = 0; at < kCp936Pairs.size(); ++at) {
      if (const std::uint16_t unit = kCp936Pairs[at]) {
        const unsigned lead = kCp936FirstLead + static_cast<unsigned>(at / kCp936TrailCount);
        const unsigned trail = kCp936FirstTrail + static_cast<unsigned>(at % kCp936TrailCount);
        gbk[unit] = static_cast<std::uint16_t>(lead << 8 | trail);
      }
    }
    for (const Cp936BestFit& fit : kCp936BestFit) gbk[fit.unit] = fit.gbk;
  }
};

}  // namespace

const std::array<std::uint16_t, 0x10000>& cp936_encoding() {
  // Built once, on whichever thread converts first; read-only after.
  static const Encoding encoding;
  return encoding.gbk;
}

std::string cp936_to_utf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() * 3 / 2);
  for_each_cp936_unit(gbk, [&](char16_t unit) { append_utf8(out, unit); });
  return out;
}

}  // namespace quillreap::text
