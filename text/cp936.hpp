// Code page 936 exactly as Windows converts it, from the generated table: for a platform
// whose own converters differ from Windows' (best fit, the user-defined areas).
#pragma once

#include <array>
#include <cstdint>

namespace quillreap::text {

// The GBK form of every UTF-16 code unit: one byte (a value below 0x100) or lead << 8 |
// trail; '?' for a unit Windows has no form for. Built on first use, then read-only.
const std::array<std::uint16_t, 0x10000>& cp936_encoding();

// The unit of a lead and trail byte, or 0 when the two are no character.
char16_t cp936_pair(unsigned char lead, unsigned char trail);
// The unit of a byte standing alone: itself below 0x80; 0 when it is no character alone.
char16_t cp936_single(unsigned char byte);

}  // namespace quillreap::text
