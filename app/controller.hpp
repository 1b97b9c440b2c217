// The whole behaviour of the main window: every command of its buttons and menu, and the
// download worker.
// Beyond its settings it keeps only which site each row of the result list came from; every
// other piece of state lives in the controls.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

#include "app/controls.hpp"
#include "app/shell.hpp"
#include "app/window_description.hpp"
#include "books/book_file.hpp"
#include "download/book_download.hpp"
#include "download/chapter_range.hpp"
#include "download/chapter_store.hpp"
#include "download/shelf.hpp"
#include "sites/site_config.hpp"

namespace quillreap::app {

class Controller {
 public:
  // book_directory: where books are written (the program's directory in the windows).
  Controller(Controls& controls, Shell& shell, sites::SiteConfig config, Text book_directory);

  // Interface thread: what a click or menu choice bound to command does. Every window
  // sends its commands here.
  void run_command(Command command);

  void on_search();    // interface thread, synchronous
  void on_generate();  // interface thread; starts download_worker and returns
  // Worker thread. Throws nothing: a failure inside the download ends it with the status
  // line saying why and the controls enabled again, and no book written.
  void download_worker();
  void on_about();          // interface thread
  void on_check_updates();  // interface thread

  // The book goes to the site of that id; with none (or an id no site has), to the site its
  // address belongs to (sites::pages_for_address). author and introduction go into the
  // EPUB's metadata ("" when unknown).
  books::BookOutcome download_book(const Text& book_address, const Text& book_name,
                                   const Text& author = {}, const Text& introduction = {},
                                   const Text& site = {});
  // The id of the site a row of the result list came from; "" when not known.
  Text row_site(int row) const;

  Text update_page_address() const;

  // The book directory's shelf. Interface thread: the menu's three shelf items, each of
  // which starts a worker, as "生成TXT" does.
  void on_show_shelf();
  void on_check_shelf();
  void on_update_shelf();
  // Any thread: books in the result list, one row each in shelf order with 状态 "共N章",
  // and the status line saying how many, and how many stores could not be read.
  void list_shelf(const std::vector<download::ShelfBook>& books, int unreadable = 0);

  // What checking or updating one shelf book came to.
  struct ShelfResult {
    bool checked = false;  // its book page and index were had
    Text why;              // when not checked: why not
    int new_chapters = 0;  // chapters of its index that its book files lack
    books::BookOutcome outcome = books::BookOutcome::kComplete;  // of its update
    bool updated = false;  // some of its books were written again
    Text unwritten;        // the formats its update could not write, and why; "" for none
  };
  // Worker thread (or the command line's): the books listed by list_shelf, row by row.
  // check_shelf fetches each book's page and index and fills its 状态 cell ("新K章",
  // "最新", "检查失败"); update_shelf also downloads each book with new chapters, or
  // whose book file is missing, in the formats of its last download. Both end early on
  // the stop, with fewer results than books.
  std::vector<ShelfResult> check_shelf(const std::vector<download::ShelfBook>& books);
  std::vector<ShelfResult> update_shelf(const std::vector<download::ShelfBook>& books);
  // The paths of the books the last update wrote.
  const std::vector<Text>& shelf_written_files() const { return shelf_written_; }

  // Any thread: a running download stops fetching, writes no book and returns kStopped;
  // what it fetched stays in the chapter store. Downloads started afterwards stop at once.
  void stop_download() { stop_.request_stop(); }
  // The stop behind stop_download, for whoever else may end a download (Ctrl-C).
  std::stop_source stop() const { return stop_; }
  // Interface thread, before a download: the command line's --fresh and --no-store.
  void set_store_mode(download::ChapterStore::Mode mode) { store_mode_ = mode; }
  // Interface thread, before a download: which books it writes (the command line's
  // --format; the windows write the TXT and toggle the EPUB with kToggleEpub).
  void set_formats(bool text_book, bool epub) {
    text_book_ = text_book;
    epub_.store(epub);
  }
  bool writes_epub() const { return epub_.load(); }
  // Interface thread, before a download: only these chapters (the command line's
  // --chapters and --last), written under the part's own name; none for the whole book,
  // which is all the windows write.
  void set_chapter_range(std::optional<download::ChapterRange> range) { range_ = range; }
  // The paths of the books the last download wrote, TXT first.
  const std::vector<Text>& written_files() const { return written_files_; }

 private:
  void download_selected_row();  // worker thread: the body of download_worker
  // Worker thread: runs work as the download worker runs a download, ending on a failure
  // with the status line saying why and the controls enabled again.
  void run_guarded_work(const std::function<void()>& work);
  void report_failure(std::string_view what);
  // Interface thread: the shelf read and listed, and then checked or updated, on a worker.
  enum class Shelf { kList, kCheck, kUpdate };
  void start_shelf_worker(Shelf what);
  std::vector<ShelfResult> run_shelf(const std::vector<download::ShelfBook>& books, bool update);
  // Writes a book in the formats given: the TXT from the log box, the EPUB beside it. The
  // download itself is download(control) with the control filled in here.
  books::BookOutcome write_books(
      const Text& book_address, const Text& book_name, const Text& author, const Text& introduction,
      bool text_book, bool epub,
      const std::function<books::BookOutcome(const download::DownloadControl&)>& download);
  // report: the controls, with the downloaded row's 状态 cell kept up to date.
  books::BookOutcome download_from(const download::SourcePages& pages, download::Report& report,
                                   const Text& book_address, const Text& book_name,
                                   const Text& author, const Text& introduction);

  Controls& controls_;
  Shell& shell_;
  sites::SiteConfig config_;
  Text book_directory_;
  download::ChapterStore::Mode store_mode_ = download::ChapterStore::Mode::kUse;
  std::stop_source stop_;
  bool text_book_ = true;
  std::optional<download::ChapterRange> range_;
  // Set on the interface thread by the menu's check item, read by the download worker.
  std::atomic<bool> epub_{false};
  std::vector<Text> written_files_;
  Text unwritten_;  // the formats the last download asked for and did not write, and why
  std::vector<Text> shelf_written_;
  // The site of each row of the result list: a search's rows all come from the site it
  // searched; the shelf's rows each from the site its store names. Written when the list is
  // filled and read by a download, which the busy controls keep apart; the lock says so.
  struct ListedSites {
    Text searched;
    std::vector<Text> rows;
  };
  void set_listed_sites(ListedSites sites);
  mutable std::mutex listed_mutex_;
  ListedSites listed_;
};

}  // namespace quillreap::app
