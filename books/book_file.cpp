// Saves the book buffer as the book file. Runs on the download worker; reading the log box
// and setting the status are requests the interface thread carries out.
#include "books/book_file.hpp"

#include "books/status_texts.hpp"
#include "text/files.hpp"

namespace quillreap::books {

BookOutcome save_book(BookLog& log_box, const BookFiles& files, const Text& book_name,
                      int failed_chapters, Text* failure) {
  const Text path = files.text_book();
  // Written beside the book and moved over it only when complete, so a failed write
  // leaves an earlier book of that name as it was.
  const Text temporary = BookFiles::temporary(path);
  // The log box writes its buffer itself, as it is: a copy of it would be a second book in
  // memory, and filling fresh memory with a book costs as much as writing the file.
  const bool written = log_box.write_log_file(temporary);
  if (!written || !text::replace_file(temporary, path)) {
    text::remove_file(temporary);
    if (failure) *failure = written ? not_moved_into_place(path) : temporary_not_written(temporary);
    log_box.set_status(save_failed_line(book_name));
    return BookOutcome::kNotWritten;
  }
  log_box.set_status(written_line(book_name, failed_chapters));
  return failed_chapters > 0 ? BookOutcome::kWrittenWithGaps : BookOutcome::kComplete;
}

Text temporary_not_written(const Text& path) {
  return text::concat("could not write ", path, " (the folder refused it, or the disk is full)");
}

Text not_moved_into_place(const Text& path) {
  return text::concat("could not put it in place at ", path,
                      " (a folder or a file in use stands there)");
}

}  // namespace quillreap::books
