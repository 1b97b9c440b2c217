// The ZIP records (local header, central directory header, end of central directory) laid
// out byte by byte, little-endian, so both builds write the same archive. Runs on whichever
// thread owns the writer (the EPUB's own thread for the chapters, the download worker for
// the rest).
#include "books/zip_writer.hpp"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "text/little_endian.hpp"

namespace quillreap::books {
namespace {

// Written bytes go to the file once this many are waiting: few appends, little memory.
constexpr std::size_t kFlushSize = 256 << 10;
constexpr std::uint16_t kVersion = 20;  // 2.0: deflate
constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;

// One record's fields in order, each little-endian.
class Record {
 public:
  Record& u16(std::uint32_t value) {
    text::append_le16(bytes_, static_cast<std::uint16_t>(value));
    return *this;
  }
  Record& u32(std::uint32_t value) {
    text::append_le32(bytes_, value);
    return *this;
  }
  Record& text(std::string_view text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  const text::Bytes& bytes() const { return bytes_; }

 private:
  text::Bytes bytes_;
};

}  // namespace

ZipTime zip_time(std::chrono::sys_seconds moment) {
  const auto day = std::chrono::floor<std::chrono::days>(moment);
  const std::chrono::year_month_day date(day);
  const std::chrono::hh_mm_ss clock(moment - day);
  const int year = static_cast<int>(date.year());
  if (year < 1980) return {};
  const unsigned stored_year = static_cast<unsigned>(std::min(year, 2107) - 1980);  // seven bits
  return {static_cast<std::uint16_t>(stored_year << 9 | static_cast<unsigned>(date.month()) << 5 |
                                     static_cast<unsigned>(date.day())),
          static_cast<std::uint16_t>(clock.hours().count() << 11 | clock.minutes().count() << 5 |
                                     clock.seconds().count() / 2)};
}

// One raw-deflate stream, reset for each entry rather than set up again. The fastest level:
// the book is deflated while the download runs, on the cores the download shares, and
// prose gains only a few per cent from the slower levels (2.6 MB against 2.5 MB for a
// 12 MB book).
struct ZipWriter::Deflater {
  z_stream stream{};
  bool ready = false;
  Deflater() {
    ready =
        deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
  }
  ~Deflater() {
    if (ready) deflateEnd(&stream);
  }
  bool deflate_all(std::string_view data, std::vector<unsigned char>& out) {
    if (!ready || deflateReset(&stream) != Z_OK) return false;
    out.resize(deflateBound(&stream, static_cast<uLong>(data.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    if (::deflate(&stream, Z_FINISH) != Z_STREAM_END) return false;
    out.resize(stream.total_out);
    return true;
  }
};

ZipWriter::ZipWriter(const Text& path, ZipTime time)
    : time_(time), deflater_(std::make_unique<Deflater>()) {
  // Emptied first: the appender only ever adds at the end.
  ok_ = deflater_->ready && text::write_file(path, text::Bytes{});
  if (ok_) file_ = text::FileAppender(path);
  ok_ = ok_ && file_.is_open();
}

ZipWriter::~ZipWriter() = default;

bool ZipWriter::flush() {
  if (ok_ && !pending_.empty()) ok_ = file_.append(pending_);
  pending_.clear();
  return ok_;
}

bool ZipWriter::put(const std::vector<unsigned char>& bytes) {
  pending_.insert(pending_.end(), bytes.begin(), bytes.end());
  written_ += bytes.size();
  // No ZIP64: an archive must end within what four bytes can point at.
  if (written_ > std::numeric_limits<std::uint32_t>::max()) ok_ = false;
  return pending_.size() < kFlushSize ? ok_ : flush();
}

bool ZipWriter::add(std::string_view name, std::string_view data, bool compress) {
  if (!ok_) return false;
  if (data.size() > std::numeric_limits<std::uint32_t>::max() || entries_.size() >= 0xFFFF)
    return ok_ = false;
  Entry entry{Text(name),
              0,
              0,
              static_cast<std::uint32_t>(data.size()),
              static_cast<std::uint32_t>(written_),
              compress};
  entry.crc = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  std::vector<unsigned char> deflated;
  if (compress && !deflater_->deflate_all(data, deflated)) return ok_ = false;
  entry.compressed_size = compress ? static_cast<std::uint32_t>(deflated.size()) : entry.size;

  Record header;
  header.u32(0x04034B50)
      .u16(kVersion)
      .u16(0)  // no flags: sizes and CRC stand in the header, no data descriptor
      .u16(compress ? kDeflated : kStored)
      .u16(time_.time)
      .u16(time_.date)
      .u32(entry.crc)
      .u32(entry.compressed_size)
      .u32(entry.size)
      .u16(static_cast<std::uint32_t>(name.size()))
      .u16(0)  // no extra field
      .text(name);
  entries_.push_back(std::move(entry));
  if (!put(header.bytes())) return false;
  if (compress) return put(deflated);
  return put(std::vector<unsigned char>(data.begin(), data.end()));
}

bool ZipWriter::finish() {
  if (!ok_) return false;
  const std::uint64_t directory_start = written_;
  for (const Entry& entry : entries_) {
    Record header;
    header.u32(0x02014B50)
        .u16(kVersion)  // made by: MS-DOS, 2.0, so no host attributes are read
        .u16(kVersion)
        .u16(0)
        .u16(entry.deflated ? kDeflated : kStored)
        .u16(time_.time)
        .u16(time_.date)
        .u32(entry.crc)
        .u32(entry.compressed_size)
        .u32(entry.size)
        .u16(static_cast<std::uint32_t>(entry.name.size()))
        .u16(0)  // extra field
        .u16(0)  // comment
        .u16(0)  // disk
        .u16(0)  // internal attributes
        .u32(0)  // external attributes
        .u32(entry.offset)
        .text(entry.name);
    if (!put(header.bytes())) return false;
  }
  const std::uint32_t count = static_cast<std::uint32_t>(entries_.size());
  Record end;
  end.u32(0x06054B50)
      .u16(0)
      .u16(0)
      .u16(count)
      .u16(count)
      .u32(static_cast<std::uint32_t>(written_ - directory_start))
      .u32(static_cast<std::uint32_t>(directory_start))
      .u16(0);
  if (!put(end.bytes()) || !flush()) return false;
  // The archive counts as written only once the system has stored it.
  ok_ = file_.close();
  return ok_;
}

}  // namespace quillreap::books
