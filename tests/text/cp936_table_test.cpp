// Every UTF-16 unit and every GBK byte pair through the program's conversions, held against
// the generated code-page 936 table. On Linux this checks the conversion built on the
// table; on Windows it checks the table against the system's own code page 936.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "text/codepage.hpp"
#include "text/cp936_table.hpp"

namespace quillreap::text {
namespace {

std::string utf8_of(unsigned unit) {
  std::string out;
  if (unit < 0x80) {
    out += static_cast<char>(unit);
  } else if (unit < 0x800) {
    out += static_cast<char>(0xC0 | unit >> 6);
    out += static_cast<char>(0x80 | (unit & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | unit >> 12);
    out += static_cast<char>(0x80 | (unit >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (unit & 0x3F));
  }
  return out;
}

std::string hex(std::string_view bytes) {
  std::string out;
  char two[4];
  for (const char c : bytes) {
    std::snprintf(two, sizeof two, "%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    out += two;
  }
  return out.empty() ? "(empty)" : out;
}

// What the committed table says, read the slow and obvious way.
class TableReading {
 public:
  TableReading() {
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
      if (const unsigned unit = kCp936SingleBytes[byte - 0x80]) {
        gbk_of_[unit] = std::string(1, static_cast<char>(byte));
      }
    }
    for (unsigned lead = kCp936FirstLead; lead <= kCp936LastLead; ++lead) {
      for (unsigned trail = kCp936FirstTrail; trail <= kCp936LastTrail; ++trail) {
        if (const unsigned unit = pair(lead, trail)) {
          gbk_of_[unit] = {static_cast<char>(lead), static_cast<char>(trail)};
        }
      }
    }
    for (const Cp936BestFit& fit : kCp936BestFit) {
      gbk_of_[fit.unit] = fit.gbk > 0xFF ? std::string{static_cast<char>(fit.gbk >> 8),
                                                       static_cast<char>(fit.gbk & 0xFF)}
                                         : std::string(1, static_cast<char>(fit.gbk));
    }
  }

  std::string gbk_of(unsigned unit) const {
    if (unit < 0x80) return std::string(1, static_cast<char>(unit));
    const auto found = gbk_of_.find(unit);
    return found == gbk_of_.end() ? "?" : found->second;
  }

  static unsigned pair(unsigned lead, unsigned trail) {
    if (lead < kCp936FirstLead || lead > kCp936LastLead) return 0;
    if (trail < kCp936FirstTrail || trail > kCp936LastTrail) return 0;
    return kCp936Pairs[(lead - kCp936FirstLead) * kCp936TrailCount + trail - kCp936FirstTrail];
  }

  // One byte read alone: ASCII as itself, else its table entry, else '?' (a lead byte with
  // nothing behind it among them).
  static std::string utf8_alone(unsigned byte) {
    if (byte < 0x80) return std::string(1, static_cast<char>(byte));
    const unsigned unit = kCp936SingleBytes[byte - 0x80];
    return unit ? utf8_of(unit) : "?";
  }

  // Two bytes: a character when the table has the pair; one '?' for a lead byte and a byte
  // that may trail it; otherwise each byte read alone.
  static std::string utf8_of_pair(unsigned lead, unsigned trail) {
    if (const unsigned unit = pair(lead, trail)) return utf8_of(unit);
    const bool lead_byte = lead >= kCp936FirstLead && lead <= kCp936LastLead;
    const bool may_trail = trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
    if (lead_byte && may_trail) return "?";
    return utf8_alone(lead) + utf8_alone(trail);
  }

 private:
  std::map<unsigned, std::string> gbk_of_;
};

TEST(Cp936Table, EveryBmpCharacterBecomesTheBytesTheTableGives) {
  const TableReading table;
  int wrong = 0;
  // U+0000 ends a text, and a surrogate has no UTF-8 form; everything else goes through.
  for (unsigned unit = 1; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    const Text got = utf8_to_ansi(utf8_of(unit));
    const std::string expected = table.gbk_of(unit);
    if (got != expected && ++wrong <= 20) {
      ADD_FAILURE() << "U+" << std::hex << unit << ": " << hex(got) << ", table " << hex(expected);
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(Cp936Table, EveryBytePairReadsAsTheTableSays) {
  int wrong = 0;
  const auto check = [&](std::string_view gbk, const std::string& expected) {
    const std::string got = ansi_to_utf8(gbk);
    if (got != expected && ++wrong <= 20) {
      ADD_FAILURE() << hex(gbk) << ": " << hex(got) << ", table " << hex(expected);
    }
  };
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    const char alone = static_cast<char>(lead);
    check({&alone, 1}, TableReading::utf8_alone(lead));
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      const char two[2] = {alone, static_cast<char>(trail)};
      check({two, 2}, TableReading::utf8_of_pair(lead, trail));
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace quillreap::text
