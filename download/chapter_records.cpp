// The chapter store's header and records: little-endian lengths and CRC-32 check sums, so
// the same file reads back on every platform and a torn write is never taken for text.
#include "download/chapter_records.hpp"

#include <zlib.h>

#include "text/little_endian.hpp"

namespace quillreap::download {
namespace {

// Eight bytes no text file begins with by chance.
constexpr std::string_view kMagic = "QRCSTOR\x1A";

void put_text(Bytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}
void put_counted(Bytes& out, std::string_view text) {
  text::append_le32(out, static_cast<std::uint32_t>(text.size()));
  put_text(out, text);
}

// Reads forward through bytes; every take fails once the bytes run out.
class Reader {
 public:
  explicit Reader(std::span<const unsigned char> bytes) : bytes_(bytes) {}
  std::size_t position() const { return at_; }
  std::size_t left() const { return bytes_.size() - at_; }
  bool take_u32(std::uint32_t& value) {
    if (left() < 4) return false;
    value = text::le32_at(bytes_.data() + at_);
    at_ += 4;
    return true;
  }
  bool take_text(std::size_t size, std::string_view& text) {
    if (left() < size) return false;
    text = std::string_view(reinterpret_cast<const char*>(bytes_.data() + at_), size);
    at_ += size;
    return true;
  }
  bool take_counted(std::string_view& text) {
    std::uint32_t size = 0;
    return take_u32(size) && take_text(size, text);
  }

 private:
  std::span<const unsigned char> bytes_;
  std::size_t at_ = 0;
};

bool holds_zero(std::string_view text) {
  return text.find('\0') != std::string_view::npos;
}

// The record starting where reader stands, or false when it is torn, damaged or holds a
// zero byte (which no text has).
bool take_record(Reader& reader, std::span<const unsigned char> bytes, StoredChapter& chapter) {
  const std::size_t start = reader.position();
  chapter.record_offset = start;
  std::uint32_t size = 0;
  std::uint32_t check = 0;
  std::string_view skipped;
  if (!reader.take_u32(size) || !reader.take_u32(check) || !reader.take_text(size, skipped))
    return false;
  // The check sum covers the length as well as the body, so no damaged length is trusted.
  const std::span<const unsigned char> body = bytes.subspan(start + 8, size);
  if (crc32(body, crc32(bytes.subspan(start, 4))) != check) return false;
  Reader fields(body);
  if (!fields.take_counted(chapter.address) || !fields.take_counted(chapter.title)) return false;
  fields.take_text(fields.left(), chapter.text);
  chapter.record_size = reader.position() - start;
  return !holds_zero(chapter.address) && !holds_zero(chapter.title) && !holds_zero(chapter.text);
}

}  // namespace

std::uint32_t crc32(std::span<const unsigned char> bytes, std::uint32_t crc) {
  return static_cast<std::uint32_t>(::crc32_z(crc, bytes.data(), bytes.size()));
}

Bytes encode_store_header(std::string_view book_address) {
  Bytes out(kMagic.begin(), kMagic.end());
  out.reserve(kMagic.size() + 12 + book_address.size());
  text::append_le32(out, kChapterStoreVersion);
  put_counted(out, book_address);
  text::append_le32(out, crc32(out));
  return out;
}

Bytes encode_chapter_record(std::string_view address, std::string_view title,
                            std::string_view cleaned_text) {
  Bytes body;
  body.reserve(8 + address.size() + title.size() + cleaned_text.size());
  put_counted(body, address);
  put_counted(body, title);
  put_text(body, cleaned_text);
  Bytes out;
  out.reserve(8 + body.size());
  text::append_le32(out, static_cast<std::uint32_t>(body.size()));
  std::uint32_t crc = crc32(out);
  crc = crc32(body, crc);
  text::append_le32(out, crc);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

ParsedStore parse_chapter_store(std::span<const unsigned char> bytes,
                                std::string_view book_address) {
  ParsedStore parsed;
  Reader reader(bytes);
  std::string_view magic;
  std::uint32_t version = 0;
  std::string_view address;
  std::uint32_t check = 0;
  if (!reader.take_text(kMagic.size(), magic) || magic != kMagic || !reader.take_u32(version) ||
      version != kChapterStoreVersion || !reader.take_counted(address)) {
    return parsed;
  }
  const std::size_t checked = reader.position();
  if (!reader.take_u32(check) || check != crc32(bytes.first(checked))) return parsed;
  if (address != book_address) {
    parsed.header = ParsedStore::Header::kOtherBook;
    return parsed;
  }
  parsed.header = ParsedStore::Header::kGood;
  parsed.whole_size = reader.position();
  StoredChapter chapter;
  while (reader.left() > 0 && take_record(reader, bytes, chapter)) {
    parsed.chapters.push_back(chapter);
    parsed.whole_size = reader.position();
  }
  return parsed;
}

bool parse_chapter_record(std::span<const unsigned char> record, StoredChapter& chapter) {
  Reader reader(record);
  return take_record(reader, record, chapter) && reader.left() == 0;
}

}  // namespace quillreap::download
