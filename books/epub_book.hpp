// The book as an EPUB 3 (with an EPUB 2 table of contents for older readers), written as
// the download hands on each chapter: a thread of the book's own converts and deflates the
// chapter files into a temporary file beside the book, and the package, navigation and
// title page follow at the end. A book not finished leaves no file behind, and an earlier
// EPUB of that name as it was.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "books/book_part.hpp"
#include "books/chapter_queue.hpp"
#include "books/chapter_sink.hpp"
#include "books/zip_writer.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

// What the package's metadata says about the book; GBK texts. Author and introduction may
// be "" (unknown).
struct EpubDetails {
  Text book_address;  // names the book's identifier: the same address, the same identifier
  Text book_name;
  Text author;
  Text introduction;
};

// The largest chapter file; a longer chapter goes on in continuation files.
inline constexpr std::size_t kMostChapterFileBytes = 256 * 1024;

// Used by one download on its worker thread; the chapters' conversion, deflate and writes
// run on the book's own thread, a few chapters behind.
class EpubBook : public ChapterSink {
 public:
  // BookFiles(directory, book name).epub() unless chapters_end names other files; seconds:
  // the time every entry and dcterms:modified carry (see book_time()).
  EpubBook(const Text& directory, EpubDetails details, std::int64_t seconds);
  ~EpubBook() override;
  EpubBook(const EpubBook&) = delete;
  EpubBook& operator=(const EpubBook&) = delete;

  // Hands the chapter to the book's thread; waits only while that is a few chapters behind.
  // Rethrows what the book's thread threw.
  void chapter(std::string_view title, const Text* text) override;
  // The book's thread writes what follows the chapters (title page, navigation, package)
  // once the last chapter is written, while the download saves its TXT. The book goes to
  // files.epub(). A part of the book is written under part_name(book_name, part), with an
  // identifier of its own (from the address and the part), so that a reader never takes
  // it for the whole book.
  void chapters_end(const BookFiles& files, const BookPart* part) override;
  // Waits until every chapter and what follows them are written (writing the latter here
  // when chapters_end was not called) and moves the file into place; false when any write
  // failed (the temporary file is gone then, and failure() says why). Called again, it
  // answers the same.
  bool finish();
  bool finish_book() override { return finish(); }

  const Text& path() const { return path_; }
  // Why the book could not be written; "" when it was, or is not finished.
  const Text& failure() const { return failure_; }
  int lost_chapters() const { return lost_; }

 private:
  struct NavEntry {
    std::string file;   // "c00001.xhtml"
    std::string title;  // XML text, never empty
  };
  void write_chapter(std::string_view title, const Text* text);  // on the book's thread
  void write_end();  // what follows the chapters, and the archive's directory
  void add_document(const std::string& name, const std::string& body);
  std::string package_document() const;
  std::string navigation() const;
  std::string ncx() const;
  std::string title_page() const;
  std::string book_title() const;  // XML text, never empty

  Text path_;
  Text temporary_;
  EpubDetails details_;
  std::string identifier_;  // urn:uuid:...
  std::string modified_;
  std::unique_ptr<ZipWriter> zip_;
  std::vector<NavEntry> chapters_;
  std::vector<std::string> spine_files_;  // chapter files and continuations, in order
  int lost_ = 0;
  bool end_written_ = false;  // by write_end, on whichever thread ran it
  bool finished_ = false;
  std::optional<bool> written_;  // once finish() has answered
  Text failure_;
  std::optional<ChapterQueue> queue_;  // last: its thread uses everything above
};

}  // namespace quillreap::books
