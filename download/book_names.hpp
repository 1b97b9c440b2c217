// Which name a book's files go by in its folder, so that two books of one name (西游记 from
// both sites, or two serials that share a title) never write each other's files.
#pragma once

#include <optional>
#include <string_view>

#include "books/book_files.hpp"
#include "download/chapter_records.hpp"
#include "sites/site_config.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {

// The files of the book at book_address called book_name in directory. A book keeps the
// name its last download gave its files (own: the book record its store holds). A book new
// to the folder takes its name, unless the files of that name are there already and belong
// to a book of another address on the shelf: then it takes its site's name too,
// "NAME(源站②)" (a user site by its name), and a number after that while a book of another address
// holds that name, "NAME(源站②)2". The shelf is read only when files of the name are there.
books::BookFiles book_files_for(const text::Text& directory, const text::Text& book_address,
                                const text::Text& book_name, const std::optional<BookRecord>& own,
                                std::string_view site);

}  // namespace quillreap::download
