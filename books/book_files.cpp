// A book's file paths.
#include "books/book_files.hpp"

#include "books/book_file.hpp"

namespace quillreap::books {

BookFiles::BookFiles(Text directory, Text file_name)
    : directory_(std::move(directory)), file_name_(std::move(file_name)) {}

BookFiles BookFiles::part(const BookPart& part) const {
  return BookFiles(directory_, part_name(file_name_, part));
}

Text BookFiles::text_book() const {
  return path_of(text::concat(safe_book_file_name(file_name_), ".txt"));
}

Text BookFiles::epub() const {
  return path_of(text::concat(safe_book_file_name(file_name_), ".epub"));
}

Text BookFiles::temporary(const Text& path) {
  return path + ".part";
}

Text BookFiles::path_of(std::string_view name) const {
  return text::join_path(directory_, name);
}

}  // namespace quillreap::books
