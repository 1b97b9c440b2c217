// ShelfChecks: the download's ordered window takes the shelf's books in order while there is
// room ahead of the caller; each check fetches its book's page and index at its site's pace,
// reporting into a report of its own that keeps only why it failed.
#include "download/shelf_checks.hpp"

#include <algorithm>

#include "download/chapter_store.hpp"
#include "download/placeholder_chapters.hpp"
#include "download/source_downloads.hpp"
#include "sites/site_choice.hpp"

namespace quillreap::download {
namespace {

// A check's report: only the last word on why the index could not be had is kept.
class CheckReport : public IndexReport {
 public:
  void set_status(std::string_view text) override { status_ = text; }
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
      checks_(books_.size()),
      window_(
          books_.size(),
          [this](std::size_t index, std::stop_token token) {
            checks_[index] = check(books_[index], std::move(token));
          },
          config.connections, std::move(stop)) {}

BookCheck ShelfChecks::check(const ShelfBook& book, std::stop_token stop) const {
  BookCheck result;
  CheckReport report;
  DownloadControl control;
  control.request.stop = stop;
  const SourcePages& pages = sites::pages_for_book(book.address, book.record.site, config_);
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

std::optional<BookCheck> ShelfChecks::next() {
  const std::optional<std::size_t> index = window_.next();
  if (!index) return std::nullopt;
  std::optional<BookCheck> check = std::move(checks_[*index]);
  checks_[*index].reset();
  return check;
}

}  // namespace quillreap::download
