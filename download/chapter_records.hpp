// The chapter store's file format: a header naming the book, then one record per kept
// chapter, and after each whole-book download a record of the book it wrote (its row on
// the shelf; the latest one stands). Every piece carries its length and a CRC-32, so a torn or
// damaged tail is recognised rather than read. Pure functions over bytes; the store does the file
// work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::download {

using text::Bytes;
using text::Text;

// Bumped whenever the layout changes; a store written by another version is set aside.
inline constexpr std::uint32_t kChapterStoreVersion = 1;

// The CRC-32 of zip and PNG (zlib's), going on from crc: a text's check sum is the same
// whether taken whole or in parts.
std::uint32_t crc32(std::span<const unsigned char> bytes, std::uint32_t crc = 0);

// The file's opening bytes for the book at book_address.
Bytes encode_store_header(std::string_view book_address);
// One kept chapter as it is appended to the file.
Bytes encode_chapter_record(std::string_view address, std::string_view title,
                            std::string_view cleaned_text);

// What a whole-book download wrote: the book's row on the shelf of its directory.
struct BookRecord {
  Text name;
  Text introduction;
  Text author;
  bool text_book = true;        // the book is kept as a TXT
  bool epub = false;            // the book is kept as an EPUB
  int chapters = 0;             // chapters the book held
  std::int64_t written_at = 0;  // seconds since 1970 (UTC)
  // A format the book is kept in that this download could not write (its place taken, a
  // full disk): the next update writes it, new chapters or not.
  bool text_book_unwritten = false;
  bool epub_unwritten = false;
  // The name the book's files go by (books::BookFiles): the name, or the name and its site
  // when another book of the name had its files in the folder first. "" for the name.
  Text file_name;

  // The name the files go by, the record's own or the book's.
  const Text& files_name() const { return file_name.empty() ? name : file_name; }

  friend bool operator==(const BookRecord&, const BookRecord&) = default;
};
// A book record, appended like a chapter. It is shaped as a chapter record whose address no
// index holds, so that a program that knows no book records reads past it. Its fields are
// counted, and a reader takes the fields it knows and passes over any that follow them, so
// that a field added later leaves the record readable by this and every earlier version:
// the formats are letters ("t" TXT, "e" EPUB; upper case for one asked for and not written,
// which an earlier version reads as not kept), and the file name came after the time.
Bytes encode_book_record(const BookRecord& book);

struct StoredChapter {
  std::string_view address;  // views into the parsed bytes
  std::string_view title;
  std::string_view text;
  // Where the whole record lies in the parsed bytes, to read it again by itself.
  std::size_t record_offset = 0;
  std::size_t record_size = 0;
};

struct ParsedStore {
  enum class Header {
    kGood,
    kForeign,    // not a store of this version: wrong magic, version or check sum, or too short
    kOtherBook,  // a sound store, but of another book address (its name's hash collided)
  };
  Header header = Header::kForeign;
  // With a good header: every whole chapter record in file order, up to the first bad one,
  // and the last whole book record before it.
  std::vector<StoredChapter> chapters;
  std::optional<BookRecord> book;
  // The bytes up to the end of the last whole record (the header alone when none is);
  // 0 unless the header is good. Less than the input size when a tail was torn or damaged.
  std::size_t whole_size = 0;
};

// Reads a store's bytes. Never fails: whatever cannot be trusted is left out.
ParsedStore parse_chapter_store(std::span<const unsigned char> bytes,
                                std::string_view book_address);

// The book address a store's header names, when the header is sound; a shelf reads the
// stores of a directory without knowing their books beforehand.
std::optional<Text> store_book_address(std::span<const unsigned char> bytes);

// One record, read back alone from its place in the file: false unless the bytes are
// exactly one whole, sound record. The chapter's views point into record.
bool parse_chapter_record(std::span<const unsigned char> record, StoredChapter& chapter);

}  // namespace quillreap::download
