// What the searches and downloads report through: the status line, the result list's new
// rows and the book buffer. The app's controls implement it; tests can implement it alone.
#pragma once

#include <cstddef>
#include <string_view>

#include "sources/chapter_progress.hpp"
#include "text/files.hpp"
#include "text/primitives.hpp"

namespace quillreap::sources {

using text::Text;

// Every call may come from the interface thread (a search) or from the download worker;
// an implementation carries a worker's call out on the interface thread and returns when
// it is done, so the caller sees its effect at once.
class Report {
 public:
  virtual ~Report() = default;

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

  // The result list: rows of five cells (地址, 小说名, 小说介绍, 作者, 状态).
  virtual int list_append_row() = 0;
  virtual void list_set_cell(int row, int column, std::string_view text) = 0;
  virtual void list_select_row(int row) = 0;  // -1 clears the selection

  // A page (search page, book page, index or chapter) that could not be had after its last
  // try: its address, why (a short English text such as "HTTP status 503") and the tries
  // made. The windows show nothing more than their status lines; the command line prints
  // a line for each.
  virtual void page_failed(std::string_view address, std::string_view reason, int tries) {
    (void)address, (void)reason, (void)tries;
  }

  // The book a download is about to write holds `count` (> 0) chapters that look like
  // placeholders the site has not filled in yet; they were not kept in the chapter store,
  // so the next download fetches them again. Called once, just before the book is saved.
  virtual void placeholder_chapters(int count) { (void)count; }

  // The site answered 429 or 503, and the download now fetches over `connections` at once
  // for the rest of its run. Called from the download worker once for each lowering it sees.
  virtual void slowed_down(int connections) { (void)connections; }

  // How far the chapters are: called from the download worker before the first chapter,
  // then a few times a second as chapters are written, and once the last one is (done ==
  // total). A download that ends early stops telling.
  virtual void chapters_progress(const ChapterProgress& progress) { (void)progress; }
};

}  // namespace quillreap::sources
