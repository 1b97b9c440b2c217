// The shared download: book page, index, chapters in index order, book file. Runs on the
// download worker; every report call is a request the interface thread carries out.
#include "sources/book_download.hpp"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "http/retry.hpp"
#include "sources/page.hpp"
#include "sources/pages_ahead.hpp"
#include "sources/placeholder_chapters.hpp"
#include "sources/request_pace.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {
namespace {

// The retry policy with the site's tries, each try taken at the download's pace.
http::RetryPolicy paced_policy(int tries, RequestPace& pace) {
  http::RetryPolicy policy;
  policy.tries = tries;
  policy.around_try = [&pace](const auto& exchange) { return pace.request(exchange); };
  return policy;
}

// The retrying fetch of one download. Runs on the worker and on the fetching threads, so
// the tries it remembers for each address (for the failure's report) are kept under a lock.
class Fetcher {
 public:
  Fetcher(const SiteConfig& config, const DownloadControl& control, RequestPace& pace)
      : policy_(paced_policy(config.tries, pace)), stop_(control.stop) {}

  http::RetriedFetch fetch(const Text& address) {
    http::RetriedFetch fetched = http::fetch_with_retries(address, policy_, stop_);
    std::lock_guard lock(mutex_);
    tries_[address] = fetched.tries;
    return fetched;
  }
  int tries_for(const Text& address) const {
    std::lock_guard lock(mutex_);
    const auto found = tries_.find(address);
    return found == tries_.end() ? 0 : found->second;
  }

 private:
  const http::RetryPolicy policy_;
  const std::atomic<bool>* const stop_;
  mutable std::mutex mutex_;
  std::map<Text, int> tries_;
};

void report_failure(Report& log_box, const Text& address, const http::FetchResult& fetched,
                    int tries) {
  log_box.page_failed(address, http::failure_description(fetched), tries);
}

// The book page or the index, which the download cannot do without: nullopt when the
// download was stopped, or when the page could not be had (reported, and the status says
// no index was found).
std::optional<Text> needed_page(Fetcher& fetcher, Report& log_box, const Text& address,
                                const Text& book_name) {
  const http::RetriedFetch fetched = fetcher.fetch(address);
  if (fetched.cancelled) return std::nullopt;
  if (fetched.result.failed) {
    report_failure(log_box, address, fetched.result, fetched.tries);
    log_box.set_status(no_index_line(book_name));
    return std::nullopt;
  }
  return text::to_text(fetched.result.body);
}

}  // namespace

BookOutcome download_book(const Text& book_address, const Text& book_name, Report& log_box,
                          const SiteConfig& config, const Text& directory, const SourcePages& pages,
                          const DownloadControl& control) {
  // Every try of every page goes through the pace: a pause between the requests of each
  // connection, and fewer connections once the site says it is busy.
  RequestPace pace(std::clamp(config.connections, 1, PagesAhead::kMostConnections),
                   config.request_pause_ms, [&control] { return control.stopped(); });
  Fetcher fetcher(config, control, pace);
  const auto lost = [&] {
    return control.stopped() ? BookOutcome::kStopped : BookOutcome::kNotWritten;
  };
  const std::optional<Text> book = needed_page(fetcher, log_box, book_address, book_name);
  if (!book) return lost();
  const Text& book_page = *book;
  // A broken book is refused before the log box is touched.
  if (pages.faulty_book && pages.faulty_book(book_page)) {
    log_box.set_status(kFaultyBook);
    return BookOutcome::kNotWritten;
  }
  log_box.set_status(found_line(book_name));
  log_box.log_clear();
  text::do_events();

  const Text index_address = pages.index_address(book_page, config);
  const std::optional<Text> index = needed_page(fetcher, log_box, index_address, book_name);
  if (!index) return lost();
  const Text& index_page = *index;
  log_box.set_status(parsing_line(book_name));

  const text::TextArray entries = pages.index_entries(index_page);
  if (entries.empty()) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  log_box.append_log(text::concat(book_name, "\r\n\r\n"));

  std::vector<ChapterLink> links;
  links.reserve(entries.size());
  for (const Text& entry : entries)
    links.push_back(pages.chapter_link(entry, index_address, config));
  // What an earlier download of this book kept is taken as it stands; only the rest is
  // fetched. Kept texts are read from the store when their turn comes.
  ChapterStore store(directory, book_address, control.store);
  std::vector<bool> stored(links.size(), false);
  std::vector<Text> to_fetch;
  for (size_t i = 0; i < links.size(); ++i) {
    stored[i] = store.holds(links[i].address, links[i].title);
    if (!stored[i]) to_fetch.push_back(links[i].address);
  }
  const int stored_count = static_cast<int>(links.size() - to_fetch.size());
  if (stored_count > 0) log_box.set_status(from_store_line(stored_count));

  // The pages to fetch come back in index order, a few fetched ahead of the one written.
  PagesAhead ahead(
      std::move(to_fetch),
      [&fetcher](const Text& address) { return fetcher.fetch(address).result; }, config.connections,
      control.stop);
  // Said on this thread, once for each lowering seen, between the chapters' status lines.
  const auto tell_lowering = [&] {
    if (const std::optional<int> lowered = pace.lowered_since_asked())
      log_box.slowed_down(*lowered);
  };
  int failed_chapters = 0;
  int placeholders = 0;  // written into the book, kept out of the store
  for (size_t i = 0; i < links.size(); ++i) {
    text::do_events();
    if (control.stopped()) return BookOutcome::kStopped;
    const ChapterLink& link = links[i];
    tell_lowering();
    log_box.set_status(chapter_line(link.title));
    log_box.append_log(text::concat("\r\n\r\n", link.title, "\r\n\r\n"));
    std::optional<http::FetchResult> fetched;
    if (stored[i]) {
      if (const std::optional<Text> kept = store.read(link.address, link.title)) {
        log_box.append_log(*kept);
        continue;
      }
      // The store's file changed under the download: the chapter is fetched after all.
      if (http::RetriedFetch again = fetcher.fetch(link.address); !again.cancelled)
        fetched = std::move(again.result);
    } else {
      fetched = ahead.next();
    }
    if (!fetched || control.stopped()) return BookOutcome::kStopped;
    if (fetched->failed)
      report_failure(log_box, link.address, *fetched, fetcher.tries_for(link.address));

    // A chapter that cannot be had keeps its heading, with no text, so the book's layout
    // stays whole; the completion line counts it.
    const std::optional<Text> chapter = pages.chapter_text(page_text(*fetched), config);
    if (!chapter) {
      ++failed_chapters;
      continue;
    }
    if (looks_like_placeholder(*chapter))
      ++placeholders;
    else
      store.keep(link.address, link.title, *chapter);
    log_box.append_log(*chapter);
  }
  if (control.stopped()) return BookOutcome::kStopped;
  tell_lowering();
  // Said before the completion line, which stays the download's last word.
  if (placeholders > 0) log_box.placeholder_chapters(placeholders);
  return save_book(log_box, book_name, directory, failed_chapters);
}

}  // namespace quillreap::sources
