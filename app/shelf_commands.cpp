// The controller's shelf: the books a book directory's chapter stores record, listed in the
// result list, checked against their sites and updated. Checks run a few books ahead of the
// one shown, within the site settings' connections; updates are written one book at a time.
#include <memory>
#include <optional>

#include "app/controller.hpp"
#include "app/interface_thread.hpp"
#include "app/row_status.hpp"
#include "app/shelf_texts.hpp"
#include "download/shelf_checks.hpp"
#include "download/source_downloads.hpp"
#include "sites/site_choice.hpp"
#include "text/files.hpp"

namespace quillreap::app {
namespace {

// Whether any of the files a book's last download wrote is gone.
bool book_file_missing(const Text& directory, const download::ShelfBook& book) {
  for (const Text& path : download::shelf_book_files(directory, book))
    if (!text::file_exists(path)) return true;
  return false;
}

// What the check of one book found, before any update of it.
Controller::ShelfResult result_of(const download::BookCheck& check) {
  Controller::ShelfResult result;
  result.checked = check.checked;
  result.why = check.why;
  result.new_chapters = check.new_chapters;
  return result;
}

// The books a check found new chapters for, how many, the books whose check failed and
// those whose update failed, counted apart; the status line says them once the shelf is done.
struct ShelfTally {
  int with_new = 0;
  int new_chapters = 0;
  int failed_checks = 0;
  int failed_updates = 0;

  void count(const Controller::ShelfResult& result) {
    if (!result.checked) ++failed_checks;
    if (result.new_chapters <= 0) return;
    ++with_new;
    new_chapters += result.new_chapters;
  }
};

// The 状态 cell of a book that was checked and not written.
Text checked_cell(const Controller::ShelfResult& result) {
  if (!result.checked) return Text(kCheckFailed);
  return result.new_chapters > 0 ? new_chapters_cell(result.new_chapters) : Text(kUpToDate);
}

// Whether an update writes the book: new chapters, or a format the last download could
// not write or whose file is gone, which is written now, new chapters or not.
bool needs_writing(const Text& directory, const download::ShelfBook& book, int new_chapters) {
  return new_chapters > 0 || book.record.text_book_unwritten || book.record.epub_unwritten ||
         book_file_missing(directory, book);
}

}  // namespace

void Controller::list_shelf(const std::vector<download::ShelfBook>& books, int unreadable) {
  controls_.list_clear();
  ListedSites sites;
  for (const download::ShelfBook& book : books) sites.rows.push_back(book.record.site);
  set_listed_sites(std::move(sites));
  for (const download::ShelfBook& book : books) {
    const int row = controls_.list_append_row();
    const Text cells[] = {book.address, book.record.name, book.record.introduction,
                          book.record.author, shelf_chapters_cell(book.record.chapters)};
    for (int column = 0; column < 5; ++column) controls_.list_set_cell(row, column, cells[column]);
  }
  // As after a search, the first row is chosen, so that 生成TXT updates it at once.
  if (!books.empty()) controls_.list_select_row(0);
  controls_.set_status(text::concat(
      books.empty() ? Text(kShelfEmpty) : shelf_books_line(static_cast<int>(books.size())),
      unreadable > 0 ? unreadable_stores_note(unreadable) : Text()));
}

void Controller::on_show_shelf() {
  start_shelf_worker(Shelf::kList);
}

void Controller::on_check_shelf() {
  start_shelf_worker(Shelf::kCheck);
}

void Controller::on_update_shelf() {
  start_shelf_worker(Shelf::kUpdate);
}

void Controller::start_shelf_worker(Shelf what) {
  // The stores are read on the worker too: a shelf of hundreds of books keeps the window
  // answering while it is read, and the list fills once it is.
  controls_.set_busy(true);
  const bool started = shell_.start_worker([this, what] {
    run_guarded_work([this, what] {
      const download::Shelf shelf = download::read_shelf(book_directory_);
      list_shelf(shelf.books, static_cast<int>(shelf.skipped.size()));
      if (what != Shelf::kList && !shelf.books.empty())
        run_shelf(shelf.books, what == Shelf::kUpdate);
      // As after a search: 生成TXT, grey until the first list is shown, updates the row
      // chosen.
      controls_.set_busy(false);
    });
  });
  if (!started) controls_.set_busy(false);
}

std::vector<Controller::ShelfResult> Controller::check_shelf(
    const std::vector<download::ShelfBook>& books) {
  return run_shelf(books, false);
}

std::vector<Controller::ShelfResult> Controller::update_shelf(
    const std::vector<download::ShelfBook>& books) {
  return run_shelf(books, true);
}

std::vector<Controller::ShelfResult> Controller::run_shelf(
    const std::vector<download::ShelfBook>& books, bool update) {
  using books::BookOutcome;
  shelf_written_.clear();
  const std::stop_token stop = stop_.get_token();
  // One pace for each site, shared by the checks running ahead and the update under way:
  // together they never ask a site for more pages at once than a download would, and a
  // site that asks them to slow down slows its own books only.
  download::SitePaces paces(config_, stop);
  download::ShelfChecks checks(books, book_directory_, config_, paces, update, stop);
  std::vector<ShelfResult> results;
  ShelfTally tally;
  for (std::size_t i = 0; i < books.size(); ++i) {
    const download::ShelfBook& book = books[i];
    const int row = static_cast<int>(i);
    controls_.set_status(checking_line(book.record.name));
    std::optional<download::BookCheck> check = checks.next();
    if (!check || stop.stop_requested()) break;
    ShelfResult result = result_of(*check);
    tally.count(result);
    if (!update || !result.checked || !needs_writing(book_directory_, book, result.new_chapters)) {
      controls_.list_set_cell(row, kStatusColumn, checked_cell(result));
      results.push_back(std::move(result));
      continue;
    }
    // As a download of the row would, through the store: only the chapters it lacks are
    // asked for, and those the check fetched are not asked for again.
    RowStatusReport report(controls_, row);
    const download::SourcePages& pages =
        sites::pages_for_book(book.address, book.record.site, config_);
    try {
      result.outcome = write_books(
          book.address, book.record.name, book.record.author, book.record.introduction,
          book.record.text_book, book.record.epub, [&](const download::DownloadControl& given) {
            download::DownloadControl control = given;
            control.request.early_pages = &check->early_pages;
            return download::write_book(check->links, book.address, book.record.name, report,
                                        config_, book_directory_, pages, paces.of(book.address),
                                        control);
          });
    } catch (const InterfaceGone&) {
      throw;
    } catch (...) {
      report.finish(BookOutcome::kNotWritten);
      throw;
    }
    report.finish(result.outcome);
    if (result.outcome == BookOutcome::kStopped) break;
    result.updated = !written_files_.empty();
    result.unwritten = unwritten_;
    if (result.outcome == BookOutcome::kNotWritten) ++tally.failed_updates;
    shelf_written_.insert(shelf_written_.end(), written_files_.begin(), written_files_.end());
    results.push_back(std::move(result));
  }
  if (stop.stop_requested()) return results;
  controls_.set_status(update ? shelf_updated_line(tally.with_new, tally.new_chapters,
                                                   tally.failed_updates, tally.failed_checks)
                              : checked_line(tally.with_new, tally.failed_checks));
  return results;
}

}  // namespace quillreap::app
