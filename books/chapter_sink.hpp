// What a download hands each chapter to besides the book buffer: a second book written
// as the chapters arrive (the EPUB). Called on the download worker, in index order.
#pragma once

#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::books {

class ChapterSink {
 public:
  virtual ~ChapterSink() = default;
  // The heading exactly as the TXT book has it, and the chapter's GBK text; text is null
  // for a chapter that could not be had (the TXT keeps its heading with no text).
  virtual void chapter(std::string_view title, const text::Text* text) = 0;
};

}  // namespace quillreap::books
