// What a download reports through: the search's status line and result list, the log box
// the TXT book is built in, and how far the chapters are. The app's controls implement it;
// tests can implement it alone. Its first half, the book page and index, reports through
// IndexReport alone, which is all a check of the shelf implements.
#pragma once

#include <string_view>

#include "books/book_log.hpp"
#include "download/chapter_progress.hpp"
#include "sites/search_report.hpp"

namespace quillreap::download {

using text::Text;

// What fetching a book's page and index reports through: the status line and the pages
// that could not be had. A check of the shelf reports through this alone.
class IndexReport {
 public:
  virtual ~IndexReport() = default;
  virtual void set_status(std::string_view text) = 0;
  // As sites::SearchReport::page_failed.
  virtual void page_failed(std::string_view address, std::string_view reason, int tries) {
    (void)address, (void)reason, (void)tries;
  }
};

// What a whole download reports through.
class Report : public sites::SearchReport, public books::BookLog, public IndexReport {
 public:
  // One status line, whichever side asks for it.
  void set_status(std::string_view text) override = 0;
  // One line for each page not had, whichever side could not have it.
  void page_failed(std::string_view address, std::string_view reason, int tries) override {
    (void)address, (void)reason, (void)tries;
  }

  // The book a download is about to write holds `count` (> 0) chapters that look like
  // placeholders the site has not filled in yet; they were not kept in the chapter store,
  // so the next download fetches them again. Called once, just before the book is saved.
  virtual void placeholder_chapters(int count) { (void)count; }

  // The book's chapter store at path is left as it is and not used, for why (it cannot be
  // read, or is another program's file, or a store of a newer version): the download goes
  // on without it and fetches every chapter. Called once, before the chapters.
  virtual void store_not_used(std::string_view path, std::string_view why) {
    (void)path, (void)why;
  }

  // The site answered 429 or 503, and the download now fetches over `connections` at once
  // for the rest of its run. Called from the download worker once for each lowering it sees.
  virtual void slowed_down(int connections) { (void)connections; }

  // How far the chapters are: called from the download worker before the first chapter,
  // then a few times a second as chapters are written, and once the last one is (done ==
  // total). A download that ends early stops telling.
  virtual void chapters_progress(const ChapterProgress& progress) { (void)progress; }
};

}  // namespace quillreap::download
