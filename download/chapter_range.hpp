// Which chapters of a book a download takes when it is not the whole book: the command
// line's --chapters A-B (or A-, to the last) and --last N, read here and laid over the
// index once the download has it.
#pragma once

#include <optional>
#include <string_view>

#include "books/book_part.hpp"

namespace quillreap::download {

// Index positions counted from 1. Either first..last (no last: to the index's end) or,
// with a count, the index's last `count` chapters.
struct ChapterRange {
  int first = 1;
  std::optional<int> last;
  int count = 0;
};

// "A-B" or "A-" with whole numbers from 1 and A no more than B; nullopt for anything else.
std::optional<ChapterRange> parse_chapter_range(std::string_view text);
// A whole number from 1: the last that many chapters; nullopt for anything else.
std::optional<ChapterRange> parse_last_chapters(std::string_view text);

// The positions the range takes from an index of `chapters` entries, its end cut back to
// the last one the index holds; nullopt when it starts after the last.
std::optional<books::BookPart> part_of(const ChapterRange& range, int chapters);

}  // namespace quillreap::download
