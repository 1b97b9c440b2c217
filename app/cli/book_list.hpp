// A download list: one book a line, tab-separated, address and name first, then the
// introduction and author as `search` prints them (further columns, as `shelf` prints
// them, are left alone). Blank lines and lines starting with '#' are not books.
#pragma once

#include <string_view>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::app::cli {

using text::Text;

struct ListedBook {
  int line = 0;  // where the list has it, counted from 1
  Text address;  // GBK, like every cell
  Text name;     // "" when the line gives none: named as a bad line when its turn comes
  Text introduction;
  Text author;
};

// The books of a list read from a file or standard input. The bytes are UTF-8, as `search`
// writes them to a file or pipe (a byte-order mark is passed over); bytes that are not
// UTF-8 are taken as GBK, as a Chinese Windows editor saves a file.
std::vector<ListedBook> read_book_list(std::string_view bytes);

}  // namespace quillreap::app::cli
