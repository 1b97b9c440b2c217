// A ZIP archive written front to back into one file: each entry whole (stored or deflated
// with zlib), then the central directory. Enough for an EPUB container: no ZIP64, no
// encryption, names in ASCII. Memory holds one entry and the directory records, never the
// archive: the written bytes go to the file in blocks.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "text/files.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

using text::Text;

// An entry's time as ZIP keeps it (MS-DOS date and time, two-second steps).
struct ZipTime {
  std::uint16_t date = 0x21;  // 1980-01-01
  std::uint16_t time = 0;
};
// The time of a moment, in UTC; moments before 1980 give 1980-01-01.
ZipTime zip_time(std::chrono::sys_seconds moment);

class ZipWriter {
 public:
  // Creates or truncates path and holds it open until finish() or the end. Every call
  // after a failure returns false at once.
  ZipWriter(const Text& path, ZipTime time);
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  // Adds one entry; compress false stores the bytes as they are (an EPUB's mimetype).
  bool add(std::string_view name, std::string_view data, bool compress = true);
  // Writes the central directory and the end record. The archive is whole only after it.
  bool finish();
  bool ok() const { return ok_; }

 private:
  struct Entry {
    Text name;
    std::uint32_t crc, compressed_size, size, offset;
    bool deflated;
  };
  bool put(const std::vector<unsigned char>& bytes);
  bool flush();

  text::FileAppender file_;
  ZipTime time_;
  bool ok_ = true;
  std::uint64_t written_ = 0;  // bytes of the archive so far, flushed or not
  std::vector<unsigned char> pending_;
  std::vector<Entry> entries_;
  struct Deflater;
  std::unique_ptr<Deflater> deflater_;
};

}  // namespace quillreap::books
