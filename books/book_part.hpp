// Part of a book: a run of chapters out of its index, written under a name of its own so
// that it never replaces the whole book, nor is taken for it by a reader.
#pragma once

#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::books {

// Index positions counted from 1, both included.
struct BookPart {
  int first = 1;
  int last = 1;
  friend bool operator==(const BookPart&, const BookPart&) = default;
};

// book_name + "(第A-B章)": the stem of the part's files, and how its status lines name it.
text::Text part_name(std::string_view book_name, const BookPart& part);

}  // namespace quillreap::books
