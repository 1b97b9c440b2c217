// The main window's commands and the download worker, written against the controls and
// the shell so the same code drives the Win32 window, the GTK window, the command line and
// the headless model.
#include "app/controller.hpp"

#include <exception>
#include <optional>
#include <utility>

#include "app/interface_thread.hpp"
#include "app/row_status.hpp"
#include "books/epub_book.hpp"
#include "books/epub_status_texts.hpp"
#include "books/epub_text.hpp"
#include "books/status_texts.hpp"
#include "download/source_downloads.hpp"
#include "download/status_texts.hpp"
#include "sites/site_choice.hpp"
#include "sites/site_search.hpp"
#include "sites/status_texts.hpp"
#include "text/codepage_rules.hpp"
#include "text/files.hpp"

namespace quillreap::app {
namespace {

// The introduction for the EPUB's metadata: the search list's "暂无简介" stands for none.
Text known_introduction(const Text& introduction) {
  return text::trim_spaces(introduction) == sites::kNoIntroduction ? Text() : introduction;
}

// "其实关于什么的都不重要\r\n\r\n              By Tarnwick" (fourteen spaces before "By")
constexpr std::string_view kAboutText =
    "\xC6\xE4\xCA\xB5\xB9\xD8\xD3\xDA\xCA\xB2\xC3\xB4\xB5\xC4\xB6\xBC\xB2\xBB\xD6\xD8\xD2\xAA"
    "\r\n\r\n              By Tarnwick";
constexpr std::string_view kAboutCaption = "\xB9\xD8\xD3\xDA";  // 关于
constexpr int kPlainBox = 0;                                    // one OK button, no icon
// Enough of an exception's text to say what failed, cut on a whole character.
constexpr std::size_t kMostReasonBytes = 60;

Text short_reason(std::string_view what) {
  std::size_t end = 0;
  while (end < what.size()) {
    const std::size_t step = text::gbk_lead_byte(static_cast<unsigned char>(what[end])) ? 2 : 1;
    if (end + step > kMostReasonBytes || end + step > what.size()) break;
    end += step;
  }
  return Text(what.substr(0, end));
}

}  // namespace

Controller::Controller(Controls& controls, Shell& shell, sites::SiteConfig config,
                       Text book_directory)
    : controls_(controls),
      shell_(shell),
      config_(std::move(config)),
      book_directory_(std::move(book_directory)) {}

void Controller::run_command(Command command) {
  switch (command) {
    case Command::kSearch:
      on_search();
      break;
    case Command::kGenerate:
      on_generate();
      break;
    case Command::kCheckUpdates:
      on_check_updates();
      break;
    case Command::kAbout:
      on_about();
      break;
    case Command::kToggleEpub:
      epub_.store(!epub_.load());
      break;
    case Command::kShowShelf:
      on_show_shelf();
      break;
    case Command::kCheckShelf:
      on_check_shelf();
      break;
    case Command::kUpdateShelf:
      on_update_shelf();
      break;
    case Command::kNone:
      break;
  }
}

void Controller::on_search() {
  controls_.set_busy(true);
  controls_.list_clear();
  // Nothing selected (-1) searches source 2, as it always did.
  const download::SourcePages pages = sites::pages_for_choice(controls_.source_choice(), config_);
  set_listed_sites({pages.site().id, {}});
  const Text status = sites::search_site(controls_.search_word(), controls_, config_, pages);
  controls_.set_status(status);
  controls_.set_busy(false);
}

void Controller::on_generate() {
  // The controls go grey before the thread exists: between the click and the worker's
  // first step a second click would otherwise start a second download into the same
  // book buffer.
  controls_.set_busy(true);
  if (!shell_.start_worker([this] { download_worker(); })) controls_.set_busy(false);
}

void Controller::download_worker() {
  run_guarded_work([this] { download_selected_row(); });
}

void Controller::run_guarded_work(const std::function<void()>& work) {
  try {
    work();
  } catch (const InterfaceGone&) {
    // The window has gone: nothing is left to tell, and the download has already unwound
    // without writing a book.
  } catch (const std::exception& error) {
    report_failure(error.what());
  } catch (...) {
    report_failure("unknown failure");
  }
}

void Controller::report_failure(std::string_view what) {
  // The unwinding dropped the book under way; what the store kept stays there.
  try {
    controls_.set_status(download::download_error_line(short_reason(what)));
    controls_.set_busy(false);
  } catch (...) {
    // Out of memory again, or the window gone: the worker ends quietly all the same.
  }
}

void Controller::download_selected_row() {
  // Worker thread: every control call below is a request the interface thread carries
  // out while it goes on processing messages.
  controls_.set_busy(true);
  const int row = controls_.list_selected_row();
  const Text address = controls_.list_get_cell(row, 0);
  const download::SourcePages pages = sites::pages_for_book(address, row_site(row), config_);
  // The cells are read again for the download itself; with no row selected both are ""
  // and source 1's download reports that it found no index.
  const int selected = controls_.list_selected_row();
  const Text book_address = controls_.list_get_cell(selected, 0);
  const Text book_name = controls_.list_get_cell(selected, 1);
  // The EPUB's metadata: the row's 作者 and 小说介绍.
  const Text author = controls_.list_get_cell(selected, 3);
  const Text introduction = controls_.list_get_cell(selected, 2);
  RowStatusReport report(controls_, selected);
  books::BookOutcome outcome;
  try {
    outcome = download_from(pages, report, book_address, book_name, author, introduction);
  } catch (const InterfaceGone&) {
    throw;
  } catch (...) {
    // The row must not go on saying "下载中" for a download that has ended.
    report.finish(books::BookOutcome::kNotWritten);
    throw;
  }
  report.finish(outcome);
  controls_.set_busy(false);
}

void Controller::on_about() {
  shell_.message_box(kAboutText, kPlainBox, kAboutCaption);
}

void Controller::on_check_updates() {
  shell_.open_in_browser(update_page_address());
}

books::BookOutcome Controller::download_book(const Text& book_address, const Text& book_name,
                                             const Text& author, const Text& introduction,
                                             const Text& site) {
  RowStatusReport report(controls_, -1);
  return download_from(sites::pages_for_book(book_address, site, config_), report, book_address,
                       book_name, author, introduction);
}

Text Controller::update_page_address() const {
  return text::concat("https://", config_.update_host, "/73.html");
}

void Controller::set_listed_sites(ListedSites sites) {
  const std::lock_guard lock(listed_mutex_);
  listed_ = std::move(sites);
}

Text Controller::row_site(int row) const {
  const std::lock_guard lock(listed_mutex_);
  return row >= 0 && static_cast<std::size_t>(row) < listed_.rows.size()
             ? listed_.rows[static_cast<std::size_t>(row)]
             : listed_.searched;
}

books::BookOutcome Controller::download_from(const download::SourcePages& pages,
                                             download::Report& report, const Text& book_address,
                                             const Text& book_name, const Text& author,
                                             const Text& introduction) {
  return write_books(book_address, book_name, author, introduction, text_book_, epub_.load(),
                     [&](const download::DownloadControl& control) {
                       return download::download_book(book_address, book_name, report, config_,
                                                      book_directory_, pages, control);
                     });
}

books::BookOutcome Controller::write_books(
    const Text& book_address, const Text& book_name, const Text& author, const Text& introduction,
    bool text_book, bool epub_asked,
    const std::function<books::BookOutcome(const download::DownloadControl&)>& download) {
  using books::BookOutcome;
  written_files_.clear();
  // The EPUB is written as the chapters arrive; unfinished, it leaves no file behind.
  std::optional<books::EpubBook> epub;
  if (epub_asked)
    epub.emplace(
        book_directory_,
        books::EpubDetails{book_address, book_name, author, known_introduction(introduction)},
        books::book_time());
  // A whole book written with its store goes on the shelf, with the row's cells.
  const download::ShelfDetails shelf{introduction, author};
  download::DownloadControl control{.request = {store_mode_, stop_.get_token()}};
  control.results.chapters = epub ? &*epub : nullptr;
  control.request.text_book = text_book || !epub;
  // A part of a book is no book of the shelf.
  if (store_mode_ != download::ChapterStore::Mode::kOff && !range_) control.request.shelf = &shelf;
  books::BookPart part;
  control.request.range = range_;
  control.results.part = &part;
  download::WrittenBooks written;
  control.results.written = &written;
  unwritten_.clear();
  BookOutcome outcome = download(control);
  // A download that ended before its books (stopped, no index) wrote none.
  if (!written.files) return outcome;
  // A part's files and lines go by the part's name; the book inside still opens with the
  // novel's.
  const Text saved_name = range_ ? books::part_name(book_name, part) : book_name;
  if (written.text_book) written_files_.push_back(written.files->text_book());
  if (control.request.text_book && !written.text_book)
    unwritten_ = text::concat("the TXT was not written: ", written.text_book_failure);
  if (!epub) return outcome;

  // The download finished the EPUB before it recorded the book; finish() answers again.
  const bool epub_written = epub->finish();
  if (epub_written)
    written_files_.push_back(epub->path());
  else
    unwritten_ = text::concat(unwritten_, unwritten_.empty() ? "" : "; ",
                              "the EPUB was not written: ", epub->failure());
  const int lost = epub->lost_chapters();
  if (control.request.text_book) {
    controls_.set_status(
        text::concat(written.text_book ? books::written_line(saved_name, lost)
                                       : books::save_failed_line(saved_name),
                     epub_written ? books::kEpubAlsoWritten : books::kEpubNotSaved));
  } else {
    controls_.set_status(epub_written ? books::epub_written_line(saved_name, lost)
                                      : books::epub_save_failed_line(saved_name));
  }
  // A book asked for and not written is a failure, whichever other book was written.
  return epub_written ? outcome : BookOutcome::kNotWritten;
}

}  // namespace quillreap::app
