// The chapter store's header and records: little-endian lengths and CRC-32 check sums, so
// the same file reads back on every platform and a torn write is never taken for text.
#include "download/chapter_records.hpp"

#include <zlib.h>

#include <algorithm>
#include <string>

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
  void skip_to(std::size_t at) { at_ = std::min(at, bytes_.size()); }
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

// The address of a book record: no index links to it, as no chapter address lacks a scheme.
constexpr std::string_view kBookRecordAddress = "quillreap:book";
constexpr std::string_view kBookRecordVersion = "1";

// A book record's fields are counted in decimal, "5:abcde", so that the record holds no
// zero byte and reads as a chapter's text to a program that knows no book records.
void put_field(Text& out, std::string_view field) {
  out.append(std::to_string(field.size())).push_back(':');
  out.append(field);
}

bool take_field(std::string_view& from, std::string_view& field) {
  std::size_t size = 0;
  std::size_t at = 0;
  while (at < from.size() && at < 10 && from[at] >= '0' && from[at] <= '9')
    size = size * 10 + static_cast<std::size_t>(from[at++] - '0');
  if (at == 0 || at >= from.size() || from[at] != ':' || from.size() - at - 1 < size) return false;
  field = from.substr(at + 1, size);
  from.remove_prefix(at + 1 + size);
  return true;
}

bool take_number(std::string_view& from, std::int64_t& number) {
  std::string_view field;
  if (!take_field(from, field) || field.empty() || field.size() > 18) return false;
  number = 0;
  for (char c : field) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  return true;
}

std::optional<BookRecord> decode_book_record(std::string_view text) {
  BookRecord book;
  std::string_view version, name, introduction, author, formats;
  std::int64_t chapters = 0;
  if (!take_field(text, version) || version != kBookRecordVersion || !take_field(text, name) ||
      !take_field(text, introduction) || !take_field(text, author) || !take_field(text, formats) ||
      !take_number(text, chapters) || !take_number(text, book.written_at) ||
      chapters > 0x7FFFFFFF) {
    return std::nullopt;
  }
  book.name = name;
  book.introduction = introduction;
  book.author = author;
  const auto has = [&](char letter) { return formats.find(letter) != std::string_view::npos; };
  book.text_book_unwritten = has('T');
  book.epub_unwritten = has('E');
  book.text_book = has('t') || book.text_book_unwritten;
  book.epub = has('e') || book.epub_unwritten;
  book.chapters = static_cast<int>(chapters);
  // Fields added later: absent from the records of earlier versions.
  std::string_view file_name;
  if (take_field(text, file_name)) book.file_name = file_name;
  std::string_view site;
  if (take_field(text, site)) book.site = site;
  return book;
}

// What the header at the file's start says.
struct HeaderRead {
  bool magic = false;                       // the file starts with the magic
  std::uint32_t version = 0;                // after it
  bool checks = false;                      // the whole header of this version, its check sum right
  std::optional<std::string_view> address;  // the address it names, checked or not
  std::size_t end = 0;                      // where the records start, when it checks
};

HeaderRead read_header(std::span<const unsigned char> bytes) {
  HeaderRead header;
  Reader reader(bytes);
  std::string_view magic;
  if (!reader.take_text(kMagic.size(), magic) || magic != kMagic) return header;
  header.magic = true;
  if (!reader.take_u32(header.version) || header.version != kChapterStoreVersion) return header;
  std::string_view address;
  if (!reader.take_counted(address)) return header;
  header.address = address;
  const std::size_t checked = reader.position();
  std::uint32_t check = 0;
  header.checks = reader.take_u32(check) && check == crc32(bytes.first(checked));
  header.end = reader.position();
  return header;
}

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

// Whether a record may start at `at`: its length, and the counted address and title inside
// its body, fit. Cheap, so that looking for the next sound record after a damaged one reads
// a check sum only where a record may really start. No text holds a zero byte, so inside a
// chapter's text the length's high byte already rules a place out.
bool may_start_record(std::span<const unsigned char> bytes, std::size_t at) {
  const std::size_t left = bytes.size() - at;
  if (left < 16) return false;
  const std::size_t size = text::le32_at(bytes.data() + at);
  if (size < 8 || size > left - 8) return false;
  const std::size_t address = text::le32_at(bytes.data() + at + 8);
  if (address > size - 8) return false;
  const std::size_t title = text::le32_at(bytes.data() + at + 12 + address);
  return title <= size - 8 - address;
}

// The sound records from `at` to the end into parsed, damaged bytes passed over.
void take_records(std::span<const unsigned char> bytes, std::size_t at, ParsedStore& parsed) {
  StoredChapter chapter;
  while (at < bytes.size()) {
    Reader reader(bytes);
    reader.skip_to(at);
    if (may_start_record(bytes, at) && take_record(reader, bytes, chapter)) {
      if (chapter.address != kBookRecordAddress) {
        parsed.chapters.push_back(chapter);
      } else if (std::optional<BookRecord> book = decode_book_record(chapter.text)) {
        parsed.book = std::move(book);
      }
      at = reader.position();
      continue;
    }
    // Damaged or torn: the next place a sound record starts, or the end.
    std::size_t next = at + 1;
    for (; next < bytes.size(); ++next) {
      if (!may_start_record(bytes, next)) continue;
      Reader probe(bytes);
      probe.skip_to(next);
      if (take_record(probe, bytes, chapter)) break;
    }
    parsed.passed_over += next - at;
    at = next;
  }
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

Bytes encode_book_record(const BookRecord& book) {
  Text fields;
  put_field(fields, kBookRecordVersion);
  put_field(fields, book.name);
  put_field(fields, book.introduction);
  put_field(fields, book.author);
  put_field(fields, text::concat(!book.text_book            ? ""
                                 : book.text_book_unwritten ? "T"
                                                            : "t",
                                 !book.epub            ? ""
                                 : book.epub_unwritten ? "E"
                                                       : "e"));
  put_field(fields, std::to_string(book.chapters));
  put_field(fields, std::to_string(book.written_at));
  // Added after the first version of the record; "" (the name) is left out, so a record
  // of such a book is byte for byte what the first version wrote.
  const bool own_file_name = !book.file_name.empty() && book.file_name != book.name;
  if (own_file_name || !book.site.empty()) put_field(fields, own_file_name ? book.file_name : "");
  if (!book.site.empty()) put_field(fields, book.site);
  return encode_chapter_record(kBookRecordAddress, "", fields);
}

std::optional<Text> store_book_address(std::span<const unsigned char> bytes, bool unchecked) {
  const HeaderRead header = read_header(bytes);
  if (!header.address || !(header.checks || unchecked)) return std::nullopt;
  return Text(*header.address);
}

ParsedStore parse_chapter_store(std::span<const unsigned char> bytes,
                                std::string_view book_address) {
  ParsedStore parsed;
  const HeaderRead header = read_header(bytes);
  parsed.version = header.version;
  if (header.magic && header.version > kChapterStoreVersion) {
    parsed.header = ParsedStore::Header::kNewer;
    return parsed;
  }
  if (header.checks) {
    if (!book_address.empty() && *header.address != book_address) {
      parsed.header = ParsedStore::Header::kOtherBook;
      return parsed;
    }
    parsed.header = ParsedStore::Header::kGood;
    take_records(bytes, header.end, parsed);
    return parsed;
  }
  // A header written only in part before a crash (the file is a start of the header this
  // book's store begins with) lost nothing.
  const Bytes expected = encode_store_header(
      book_address.empty() ? header.address.value_or(std::string_view()) : book_address);
  if (bytes.size() < expected.size() && std::equal(bytes.begin(), bytes.end(), expected.begin())) {
    parsed.header = ParsedStore::Header::kDamaged;
    return parsed;
  }
  // A damaged header: the records are looked for from the start. Without the magic, a file
  // with no sound record is another program's.
  take_records(bytes, 0, parsed);
  const bool ours = header.magic || !parsed.chapters.empty() || parsed.book;
  if (!ours) {
    parsed = ParsedStore{};
    return parsed;
  }
  parsed.header = ParsedStore::Header::kDamaged;
  return parsed;
}

bool parse_chapter_record(std::span<const unsigned char> record, StoredChapter& chapter) {
  Reader reader(record);
  return take_record(reader, record, chapter) && reader.left() == 0;
}

}  // namespace quillreap::download
