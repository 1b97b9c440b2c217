// SHA-1 of a byte string, for name-based identifiers (UUID version 5). The Windows build
// has no hash library to call, and both builds must give the same digest.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quillreap::text {

using Sha1Digest = std::array<std::uint8_t, 20>;

Sha1Digest sha1(std::string_view bytes);

}  // namespace quillreap::text
