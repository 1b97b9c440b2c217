// Reads one entry of a ZIP archive, for tests on platforms with no Python: the central
// directory is searched for the name and the entry inflated with zlib. nullopt when the
// archive or the entry cannot be read.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <optional>
#include <string>

namespace quillreap::test_support {

inline std::optional<std::string> zip_entry(const std::string& archive, const std::string& name) {
  const auto u16 = [&](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(archive[at]) |
                                      static_cast<unsigned char>(archive[at + 1]) << 8);
  };
  const auto u32 = [&](std::size_t at) { return u16(at) | u16(at + 2) << 16; };
  const std::size_t end = archive.rfind(std::string("PK\x05\x06", 4));
  if (end == std::string::npos || end + 22 > archive.size()) return std::nullopt;
  std::size_t at = u32(end + 16);
  for (std::uint32_t i = 0; i < u16(end + 10) && at + 46 <= archive.size(); ++i) {
    const std::uint32_t name_size = u16(at + 28);
    if (archive.compare(at + 46, name_size, name) == 0 && name_size == name.size()) {
      const std::uint32_t method = u16(at + 10), packed = u32(at + 20), size = u32(at + 24);
      const std::size_t local = u32(at + 42);
      const std::size_t data = local + 30 + u16(local + 26) + u16(local + 28);
      if (data + packed > archive.size()) return std::nullopt;
      if (method == 0) return archive.substr(data, packed);
      std::string out(size, '\0');
      z_stream stream{};
      if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
      stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(archive.data() + data));
      stream.avail_in = packed;
      stream.next_out = reinterpret_cast<Bytef*>(out.data());
      stream.avail_out = size;
      const int result = inflate(&stream, Z_FINISH);
      inflateEnd(&stream);
      if (result != Z_STREAM_END || stream.total_out != size) return std::nullopt;
      return out;
    }
    at += 46 + name_size + u16(at + 30) + u16(at + 32);
  }
  return std::nullopt;
}

}  // namespace quillreap::test_support
