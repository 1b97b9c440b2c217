// The book file: the log box's text written as GBK bytes to the book directory under a
// name made safe from the novel name, and the completion line in the status bar.
#pragma once

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

// Writes log_box's whole text to the safe name + ".txt" in directory through a temporary
// file, and shows the completion (or failure) line. failed_chapters > 0 adds the gap note.
BookOutcome save_book(BookLog& log_box, const Text& book_name, const Text& directory,
                      int failed_chapters = 0);

}  // namespace quillreap::books
