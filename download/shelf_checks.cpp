// ShelfChecks: a few threads take the shelf's books in order while there is room ahead of
// the caller; each fetches its book's page and index at its site's pace, reporting into a
// report of its own that keeps only why a check failed.
#include "download/shelf_checks.hpp"

#include <algorithm>

#include "download/chapter_store.hpp"
#include "download/placeholder_chapters.hpp"
#include "download/source_downloads.hpp"

namespace quillreap::download {
namespace {

// A check's report: the book buffer and result list are not the check's to touch; only the
// last word on why the index could not be had is kept.
class CheckReport : public Report {
 public:
  void set_status(std::string_view text) override { status_ = text; }
  int list_append_row() override { return -1; }
  void list_set_cell(int, int, std::string_view) override {}
  void list_select_row(int) override {}
  void append_log(std::string_view) override {}
  void log_clear() override {}
  Text log_text() override { return {}; }
  bool write_log_file(const Text&) override { return false; }
  void page_failed(std::string_view address, std::string_view reason, int) override {
    failed_page_ = text::concat(address, ": ", reason);
  }
  Text why() const { return failed_page_.empty() ? status_ : failed_page_; }

 private:
  Text status_;
  Text failed_page_;
};

}  // namespace

ShelfChecks::ShelfChecks(std::vector<ShelfBook> books, Text directory, const SiteConfig& config,
                         SitePaces& paces, bool fetch_new, std::stop_token stop)
    : books_(std::move(books)),
      directory_(std::move(directory)),
      config_(config),
      paces_(paces),
      fetch_new_(fetch_new),
      window_(2 * static_cast<std::size_t>(
                      std::clamp(config.connections, 1, PagesAhead::kMostConnections))),
      stop_link_(std::move(stop), [this] { stop_.request_stop(); }),
      slots_(books_.size()) {
  const std::size_t threads = std::min(window_ / 2, books_.size());
  for (std::size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { check_books(); });
}

ShelfChecks::~ShelfChecks() {
  stop_.request_stop();
  changed_.notify_all();
  threads_.clear();  // joins
}

BookCheck ShelfChecks::check(const ShelfBook& book, std::stop_token stop) const {
  BookCheck result;
  CheckReport report;
  DownloadControl control;
  control.request.stop = stop;
  const SourcePages& pages = source_pages(book.address, config_);
  RequestPace& pace = paces_.of(book.address);
  result.links =
      fetch_chapter_links(book.address, book.record.name, report, config_, pages, pace, control);
  if (result.links.empty()) {
    result.why = report.why();
    return result;
  }
  result.checked = true;
  // Only an update's check writes (the chapters it fetches); a check alone only looks.
  ChapterStore store(directory_, book.address,
                     fetch_new_ ? ChapterStore::Mode::kUse : ChapterStore::Mode::kLook);
  // New is new to the book files: a chapter an update killed before the book was written
  // had fetched into the store is still new, though the store holds it.
  std::vector<const ChapterLink*> missing;
  const std::size_t held = static_cast<std::size_t>(std::max(book.record.chapters, 0));
  for (std::size_t i = 0; i < result.links.size(); ++i) {
    const ChapterLink& link = result.links[i];
    const bool stored = store.holds(link.address, link.title);
    if (!stored) missing.push_back(&link);
    if (!stored || i >= held) ++result.new_chapters;
  }
  result.to_fetch = static_cast<int>(missing.size());
  if (!fetch_new_ || result.to_fetch > kMostEarlyPages) return result;
  // A chapter fetched here goes into the store at once, as a download would keep it, so
  // that a run killed before the book is written loses none; the update then reads it
  // from there. A lost or placeholder page is handed over instead, not to be asked twice.
  for (const ChapterLink* link : missing) {
    if (stop.stop_requested() || result.early_pages.count(link->address)) continue;
    AheadPage page = fetch_chapter(link->address, config_, pages, pace, stop);
    if (page.fetched.stopped) continue;
    if (page.chapter && !looks_like_placeholder(*page.chapter))
      store.keep(link->address, link->title, *page.chapter);
    else
      result.early_pages.emplace(link->address, std::move(page));
  }
  return result;
}

// Runs on each checking thread until every book is taken or the stop.
void ShelfChecks::check_books() {
  const std::stop_token stop = stop_.get_token();
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!changed_.wait(lock, stop,
                       [this] {
                         return next_to_check_ >= books_.size() ||
                                next_to_check_ < handed_out_ + window_;
                       }) ||
        next_to_check_ >= books_.size()) {
      return;
    }
    const std::size_t index = next_to_check_++;
    lock.unlock();
    Slot slot;
    try {
      slot.check = check(books_[index], stop);
    } catch (...) {
      slot.thrown = std::current_exception();  // a fault of the program's: the caller's
    }
    lock.lock();
    slots_[index] = std::move(slot);
    changed_.notify_all();
  }
}

std::optional<BookCheck> ShelfChecks::next() {
  const std::stop_token stop = stop_.get_token();
  std::unique_lock lock(mutex_);
  if (handed_out_ >= books_.size()) return std::nullopt;
  if (!changed_.wait(lock, stop,
                     [this] { return slots_[handed_out_].check || slots_[handed_out_].thrown; })) {
    return std::nullopt;
  }
  Slot slot = std::move(slots_[handed_out_]);
  slots_[handed_out_] = {};
  ++handed_out_;
  changed_.notify_all();
  lock.unlock();
  if (slot.thrown) std::rethrow_exception(slot.thrown);
  return std::move(slot.check);
}

}  // namespace quillreap::download
