// The book file: the log box's text written as GBK bytes to the book directory under a
// name made safe from the novel name, and the completion line in the status bar.
#pragma once

#include "books/book_files.hpp"
#include "books/book_log.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

using text::Text;

// How a download ended; the command line turns it into its exit status.
enum class BookOutcome {
  kComplete,         // written with every chapter
  kWrittenWithGaps,  // written, but some chapters could not be fetched or cut
  kNotWritten,       // no file: the "Warning" book, no index, or a failed write
  kStopped,          // no file: the download was stopped (window closed, Ctrl-C)
};

// The file name stem for a novel name: double-byte aware, separators and characters
// file names cannot hold replaced by '_', device names and trailing dots defused.
Text safe_book_file_name(const Text& book_name);

// Writes log_box's whole text to files.text_book() through its temporary file, and shows
// the completion (or failure) line naming book_name. failed_chapters > 0 adds the gap note.
// When the book could not be written, *failure (when given) says why.
BookOutcome save_book(BookLog& log_box, const BookFiles& files, const Text& book_name,
                      int failed_chapters = 0, Text* failure = nullptr);
// The same for the files named after book_name in directory.
inline BookOutcome save_book(BookLog& log_box, const Text& book_name, const Text& directory,
                             int failed_chapters = 0) {
  return save_book(log_box, BookFiles(directory, book_name), book_name, failed_chapters);
}

// Why a book file could not be written: the temporary file could not be (the folder
// refuses it, the disk is full), or it could not be moved over path (a folder or a file
// another program holds stands there).
Text temporary_not_written(const Text& path);
Text not_moved_into_place(const Text& path);

}  // namespace quillreap::books
