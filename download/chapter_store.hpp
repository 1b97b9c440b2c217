// The chapter store: the cleaned text of every chapter a download of a book has fetched,
// kept in the book directory so that the next download of the same book fetches only
// what is new or failed before. It never makes a download fail; see writable(). Only
// where each chapter lies in the file is held in memory; texts are read when asked for.
#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "download/chapter_records.hpp"
#include "text/files.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {

using text::Text;

// The store's folder inside the book directory, and its file name for a book address:
// a 64-bit FNV-1a hash of the address bytes in 16 lower-case hex digits, the same on
// every platform.
inline constexpr char kChapterStoreFolder[] = ".quillreap";
Text chapter_store_file_name(const Text& book_address);
// The file in the book directory's .quillreap folder, joined with the platform's separator.
Text chapter_store_path(const Text& book_directory, const Text& book_address);

// Why a store file parsed is not to be used: it is another program's, or a store of a newer
// version or of another book; "" for a store of this book, damaged or not.
Text unused_store_reason(const ParsedStore& parsed);

// Used by one download (or one check) on its thread; not shared between threads.
class ChapterStore {
 public:
  enum class Mode {
    kUse,    // read what earlier downloads kept and add to it
    kFresh,  // ignore what is there and start the store again
    kOff,    // neither read nor write: no file is touched
    kLook,   // read only: no file or folder is made, written, mended or opened to write
  };

  // Opens the book's store. A store is made only where none is: a file that cannot be read
  // (for another reason than its absence), another program's file, a store of a newer
  // version or of another book is left as it is, and the store is not used (problem()
  // says why). Damage costs only the records it touched: the rest are read, and the file
  // is written again sound (through a temporary file) just before the next record is
  // appended, never by opening it. Never throws on file trouble.
  ChapterStore(const Text& book_directory, const Text& book_address, Mode mode = Mode::kUse);
  ChapterStore(const ChapterStore&) = delete;
  ChapterStore& operator=(const ChapterStore&) = delete;

  // Whether a text is kept for this index entry (address and title, exact bytes).
  bool holds(const Text& address, const Text& title) const;
  // The text kept for this index entry, read from the file and checked again; nullopt when
  // none is held, or when the file no longer holds it whole (another program rewrote or
  // cut it meanwhile): the download then fetches the chapter after all.
  std::optional<Text> read(const Text& address, const Text& title);
  // Appends a chapter that was fetched and cleaned to the file while the store is
  // writable. Call it only for chapters whose text was found on the page.
  void keep(const Text& address, const Text& title, const Text& cleaned_text);
  // Appends the record of the book a whole-book download has just written: its row on the
  // directory's shelf from now on.
  void keep_book(const BookRecord& book);
  // The book's row as the store held it at opening (nullopt: not on the shelf).
  const std::optional<BookRecord>& book() const { return book_; }

  // False when the store could not be written (read-only folder, disk full, a file the
  // store leaves alone, modes kOff and kLook): the download goes on without it, and the
  // next download fetches those chapters again. Nothing kept then is found again, in this
  // download or the next.
  bool writable() const { return writable_; }
  // Why the file at path() is not used at all ("" when it is, or when there is none): it
  // cannot be read, is not a chapter store, or is one of a newer version or another book.
  const Text& problem() const { return problem_; }
  // True when the file at opening held damaged or torn records, which it will no longer
  // hold once it is next written.
  bool damaged() const { return rewrite_; }
  int stored_count() const { return static_cast<int>(places_.size()); }
  int found_count() const { return found_; }  // read() calls that answered a text
  int kept_count() const { return kept_; }    // keep() calls that stored a new text
  const Text& path() const { return path_; }  // "" in mode kOff

 private:
  // Where a whole record lies in the file.
  struct Place {
    std::uint64_t offset = 0;
    std::uint32_t size = 0;
  };
  std::optional<Text> read_record(const Place& place, const Text& address, const Text& title);
  // One record to the file's end; false (and the store no longer writable) when it failed.
  // A damaged file is written again sound first.
  bool append(const Bytes& record);
  // The header and every record held, alone, through a temporary file moved over the file.
  bool write_again();

  Text path_;
  Text address_;
  std::map<Text, Place> places_;  // address + '\0' + title -> the entry's latest record
  std::optional<BookRecord> book_;
  std::uint64_t end_ = 0;        // the file's size, while writable
  text::FileReader file_;        // opened at the first read, kept for the rest
  text::FileAppender appender_;  // opened at the first keep, kept for the rest
  text::Bytes record_;           // the last record read, its buffer used again
  bool writable_ = false;
  bool rewrite_ = false;  // the file is to be written again sound before the next append
  Text problem_;
  int found_ = 0;
  int kept_ = 0;
};

}  // namespace quillreap::download
