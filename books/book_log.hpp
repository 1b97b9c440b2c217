// What the TXT book is built in and written from: the log box, the hidden book buffer, and
// the status line that tells how the writing went. A download's report is one.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/files.hpp"
#include "text/primitives.hpp"

namespace quillreap::books {

using text::Text;

// Every call may come from the download worker; an implementation carries it out on the
// interface thread and returns when it is done.
class BookLog {
 public:
  virtual ~BookLog() = default;

  // Part 1 of the status bar; part 0 keeps its fixed label.
  virtual void set_status(std::string_view text) = 0;

  // The log box: the book buffer of a download. Must hold tens of megabytes and hand
  // back exactly the bytes appended.
  virtual void append_log(std::string_view text) = 0;
  virtual void log_clear() = 0;
  virtual Text log_text() = 0;
  // The log box's bytes as the file at path (created or truncated); false when it could
  // not be written. The default writes a copy from log_text(); a log box that can write
  // its own buffer spares the book that copy.
  virtual bool write_log_file(const Text& path) { return text::write_text_file(path, log_text()); }
  // A hint: the log box will grow to about `times` its present size. A log box may make
  // room for it at once instead of growing (and copying itself) step by step.
  virtual void expect_log_growth(std::size_t times) { (void)times; }
};

}  // namespace quillreap::books
