// The layout of the generated code-page 936 table (text/cp936_table.cpp): what Windows
// makes of every GBK byte pair and single byte, and where its encoding is not simply the
// reverse of that. Read through text/cp936.hpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace quillreap::text {

// A lead byte starts every two-byte character; the trail byte follows it. 0x7F is never a
// trail byte, but keeps its slot so that a pair's place is plain arithmetic.
inline constexpr unsigned kCp936FirstLead = 0x81;
inline constexpr unsigned kCp936LastLead = 0xFE;
inline constexpr unsigned kCp936FirstTrail = 0x40;
inline constexpr unsigned kCp936LastTrail = 0xFE;
inline constexpr std::size_t kCp936LeadCount = kCp936LastLead - kCp936FirstLead + 1;
inline constexpr std::size_t kCp936TrailCount = kCp936LastTrail - kCp936FirstTrail + 1;

// The UTF-16 unit of each pair, lead byte by lead byte; 0 where the pair is no character.
extern const std::array<std::uint16_t, kCp936LeadCount * kCp936TrailCount> kCp936Pairs;
// The unit of each byte from 0x80 up standing alone (the euro sign at 0x80); 0 where the
// byte is no character by itself.
extern const std::array<std::uint16_t, 0x80> kCp936SingleBytes;

// A unit whose GBK form is not the pair or byte that decodes to it: mostly Windows' best
// fit, a near GBK character for one GBK lacks. gbk below 0x100 is one byte (0x3F is '?').
struct Cp936BestFit {
  std::uint16_t unit;
  std::uint16_t gbk;
};
// Sorted by unit.
extern const std::span<const Cp936BestFit> kCp936BestFit;

}  // namespace quillreap::text
