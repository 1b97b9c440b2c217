// Saves the book buffer as the book file. Runs on the download worker; reading the log box
// and setting the status are requests the interface thread carries out.
#include "books/book_file.hpp"

#include "books/status_texts.hpp"
#include "text/files.hpp"

namespace quillreap::books {

BookOutcome save_book(BookLog& log_box, const Text& book_name, const Text& directory,
                      int failed_chapters) {
  const Text path = text::join_path(directory, safe_book_file_name(book_name) + ".txt");
  // Written beside the book and moved over it only when complete, so a failed write
  // leaves an earlier book of that name as it was.
  const Text temporary = path + ".part";
  // The log box writes its buffer itself, as it is: a copy of it would be a second book in
  // memory, and filling fresh memory with a book costs as much as writing the file.
  if (!log_box.write_log_file(temporary) || !text::replace_file(temporary, path)) {
    text::remove_file(temporary);
    log_box.set_status(save_failed_line(book_name));
    return BookOutcome::kNotWritten;
  }
  log_box.set_status(written_line(book_name, failed_chapters));
  return failed_chapters > 0 ? BookOutcome::kWrittenWithGaps : BookOutcome::kComplete;
}

}  // namespace quillreap::books
