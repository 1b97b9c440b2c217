// What shelf prints: one line per book, the four columns search prints and then the
// chapters its last book held, when it was written, in local time, and the name its files
// go by (its name, or its name and site when another book of the name had the folder's
// files of that name first).
#pragma once

#include <optional>
#include <vector>

#include "download/shelf.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::cli {

// address, name, introduction, author, chapters, "2026-12-09 14:05", the files' name,
// tab-separated, and a line break.
text::Text shelf_line(const download::ShelfBook& book);

// The books of shelf with the names (or addresses) given, in shelf order; the first that no
// book has goes to unknown, and nothing is returned then.
std::vector<download::ShelfBook> books_named(const std::vector<download::ShelfBook>& shelf,
                                             const std::vector<text::Text>& names,
                                             std::optional<text::Text>& unknown);

}  // namespace quillreap::app::cli
