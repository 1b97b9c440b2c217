// What a download hands each chapter to besides the book buffer: a second book written
// as the chapters arrive (the EPUB). Called on the download worker, in index order.
#pragma once

#include <string_view>

#include "books/book_files.hpp"
#include "books/book_part.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

class ChapterSink {
 public:
  virtual ~ChapterSink() = default;
  // The heading exactly as the TXT book has it, and the chapter's GBK text; text is null
  // for a chapter that could not be had (the TXT keeps its heading with no text).
  virtual void chapter(std::string_view title, const text::Text* text) = 0;
  // Every chapter is handed over and the book is to be kept as files (a part's files when
  // part is not null: the part of the book they are). Called before the TXT is saved, so
  // that a second book can finish meanwhile.
  virtual void chapters_end(const BookFiles& files, const BookPart* part) {
    (void)files, (void)part;
  }
  // Called once the TXT is saved: waits until the book is written and in its place; false
  // when it could not be. The download records the books it wrote only after this.
  virtual bool finish_book() { return true; }
};

}  // namespace quillreap::books
