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
  // The id of the site the book was downloaded from, so that an update finds it whatever its
  // address says. "" in the records of earlier versions.
  Text site;

  // The name the files go by, the record's own or the book's.
  const Text& files_name() const { return file_name.empty() ? name : file_name; }

  friend bool operator==(const BookRecord&, const BookRecord&) = default;
};
// A book record, appended like a chapter. It is shaped as a chapter record whose address no
// index holds, so that a program that knows no book records reads past it. Its fields are
// counted, and a reader takes the fields it knows and passes over any that follow them, so
// that a field added later leaves the record readable by this and every earlier version:
// the formats are letters ("t" TXT, "e" EPUB; upper case for one asked for and not written,
// which an earlier version reads as not kept), the file name came after the time, and the
// site's id after the file name.
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
    // A store of this version (by its magic and version, or by the sound records it holds)
    // whose header does not check, or whose header alone was written before a crash: its
    // records are read all the same.
    kDamaged,
    kNewer,      // the sound start of a store of a later version: left as it is, unread
    kForeign,    // not a store: neither its magic nor a sound record
    kOtherBook,  // a sound store, but of another book address (its name's hash collided)
  };
  Header header = Header::kForeign;
  std::uint32_t version = 0;  // the version the header names (kGood, kNewer)
  // With a good or damaged header: every sound chapter record in file order, damage passed
  // over, and the latest sound book record.
  std::vector<StoredChapter> chapters;
  std::optional<BookRecord> book;
  // Bytes in no sound record: damaged or torn records, or a damaged header. 0 for a sound
  // store, which a download appends to as it stands; any other is written again whole (its
  // sound records alone) before the next record goes in.
  std::size_t passed_over = 0;

  bool sound() const { return header == Header::kGood && passed_over == 0; }
};

// Reads a store's bytes. Never fails: whatever cannot be trusted is left out. A damaged
// record hides nothing behind it: the reader goes on at the next place where a sound record
// (its length, its check sum over length and body, and its fields) starts. book_address is
// the book the caller expects; "" takes the book the header names.
ParsedStore parse_chapter_store(std::span<const unsigned char> bytes,
                                std::string_view book_address);

// The book address a store's header names, when the header is sound; a shelf reads the
// stores of a directory without knowing their books beforehand. With unchecked, also the
// address a header of this version names when its check sum is wrong: the caller checks it
// against the store's file name.
std::optional<Text> store_book_address(std::span<const unsigned char> bytes,
                                       bool unchecked = false);

// One record, read back alone from its place in the file: false unless the bytes are
// exactly one whole, sound record. The chapter's views point into record.
bool parse_chapter_record(std::span<const unsigned char> record, StoredChapter& chapter);

}  // namespace quillreap::download
