// A book's files in its folder: the TXT, the EPUB, a part's, and the temporary files each
// is written through before it takes its place. The only place their paths are built.
#pragma once

#include <string_view>

#include "books/book_part.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

using text::Text;

class BookFiles {
 public:
  // The files of a book in directory, named after file_name made safe
  // (safe_book_file_name): the novel name, or the novel name and its site when another
  // book of that name has its files there already (see download/book_names.hpp).
  BookFiles(Text directory, Text file_name);

  const Text& directory() const { return directory_; }
  // The name the files go by, before it is made safe.
  const Text& file_name() const { return file_name_; }

  // The files of part of the book: part_name(file_name, part), "NAME(第A-B章)".
  BookFiles part(const BookPart& part) const;
  Text text_book() const;  // NAME.txt
  Text epub() const;       // NAME.epub
  // What the file at path is written as first and then moved over path, so that an
  // earlier file there is only ever replaced by a whole new one.
  static Text temporary(const Text& path);

 private:
  // directory + the separator + name: every path of a book is joined here alone.
  Text path_of(std::string_view name) const;

  Text directory_;
  Text file_name_;
};

}  // namespace quillreap::books
