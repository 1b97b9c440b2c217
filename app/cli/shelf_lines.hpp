// What shelf prints: one line per book, the four columns search prints and then the
// chapters its last book held and when it was written, in local time.
#pragma once

#include <optional>
#include <vector>

#include "download/shelf.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::cli {

// address, name, introduction, author, chapters, "2026-12-09 14:05", tab-separated, and a
// line break.
text::Text shelf_line(const download::ShelfBook& book);

// The books of shelf with the names given, in shelf order; the first name that no book
// has goes to unknown, and nothing is returned then.
std::vector<download::ShelfBook> books_named(const std::vector<download::ShelfBook>& shelf,
                                             const std::vector<text::Text>& names,
                                             std::optional<text::Text>& unknown);

}  // namespace quillreap::app::cli
