// Choosing the name a book's files go by. GBK bytes spelled out; the text stands in the
// comment.
#include "download/book_names.hpp"

#include <algorithm>
#include <string>

#include "download/shelf.hpp"
#include "text/files.hpp"

namespace quillreap::download {

books::BookFiles book_files_for(const text::Text& directory, const text::Text& book_address,
                                const text::Text& book_name, const std::optional<BookRecord>& own,
                                std::string_view site) {
  if (own && own->name == book_name) return books::BookFiles(directory, own->files_name());
  const books::BookFiles plain(directory, book_name);
  if (!text::file_exists(plain.text_book()) && !text::file_exists(plain.epub())) return plain;
  // Files of the name are there: another book's, when the shelf says so. Two names may make
  // one file name, so the names are compared as files.
  const std::vector<ShelfBook> shelf = read_shelf(directory).books;
  const auto held_by_another = [&](const text::Text& file_name) {
    const text::Text path = books::BookFiles(directory, file_name).text_book();
    return std::any_of(shelf.begin(), shelf.end(), [&](const ShelfBook& book) {
      return book.address != book_address &&
             shelf_book_file_set(directory, book).text_book() == path;
    });
  };
  if (!held_by_another(book_name)) return plain;
  const text::Text with_site = text::concat(book_name, "(", site, ")");
  for (int number = 1;; ++number) {
    const text::Text name =
        number == 1 ? with_site : text::concat(with_site, std::to_string(number));
    if (!held_by_another(name)) return books::BookFiles(directory, name);
  }
}

}  // namespace quillreap::download
