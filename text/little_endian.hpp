// Integers as little-endian bytes, whatever the machine's own order: the ZIP container and
// the chapter store's records are read back on every platform.
#pragma once

#include <cstdint>

#include "text/primitives.hpp"

namespace quillreap::text {

inline void append_le16(Bytes& out, std::uint16_t value) {
  out.push_back(static_cast<unsigned char>(value));
  out.push_back(static_cast<unsigned char>(value >> 8));
}

inline void append_le32(Bytes& out, std::uint32_t value) {
  append_le16(out, static_cast<std::uint16_t>(value));
  append_le16(out, static_cast<std::uint16_t>(value >> 16));
}

// The four bytes from at as one number.
inline std::uint32_t le32_at(const unsigned char* at) {
  return at[0] | at[1] << 8 | at[2] << 16 | std::uint32_t{at[3]} << 24;
}

}  // namespace quillreap::text
