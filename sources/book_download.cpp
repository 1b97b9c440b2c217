// The shared download: book page, index, chapters in index order, book file. Runs on the
// download worker; every report call is a request the interface thread carries out.
#include "sources/book_download.hpp"

#include <vector>

#include "http/retry.hpp"
#include "sources/page.hpp"
#include "sources/pages_ahead.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {
namespace {

// What every step of one download works with.
struct Download {
  const Text& book_name;
  Report& log_box;
  const SiteConfig& config;
  const SourcePages& pages;
  const DownloadControl& control;

  // Runs on the worker and on the fetching threads.
  http::RetriedFetch fetch(const Text& address, std::stop_token stop) const {
    return http::fetch_with_retries(address, http::RetryPolicy{config.tries}, std::move(stop));
  }
  // How a download that could not go on ended: stopped, or with nothing to write.
  BookOutcome lost() const {
    return control.stopped() ? BookOutcome::kStopped : BookOutcome::kNotWritten;
  }
};

// The chapters an earlier download kept, and the addresses still to fetch.
struct StoredChapters {
  // One per link: whether the store holds it. Kept texts are read when their turn comes.
  std::vector<bool> held;
  std::vector<Text> to_fetch;
};

void report_failure(Report& log_box, const Text& address, const http::RetriedFetch& fetched) {
  log_box.page_failed(address, http::failure_description(fetched.result), fetched.tries);
}

// The book page or the index, which the download cannot do without: nullopt when the
// download was stopped, or when the page could not be had (reported, and the status says
// no index was found).
std::optional<Text> needed_page(const Download& download, const Text& address) {
  const http::RetriedFetch fetched = download.fetch(address, download.control.stop);
  if (fetched.stopped) return std::nullopt;
  if (fetched.result.failed) {
    report_failure(download.log_box, address, fetched);
    download.log_box.set_status(no_index_line(download.book_name));
    return std::nullopt;
  }
  return text::to_text(fetched.result.body);
}

// The book page and, through it, the index page; nullopt when the download ends there
// (stopped, a page not had, or a book the site marks as broken).
std::optional<Text> book_and_index(const Download& download, const Text& book_address,
                                   Text& index_address) {
  const std::optional<Text> book_page = needed_page(download, book_address);
  if (!book_page) return std::nullopt;
  // A broken book is refused before the log box is touched.
  if (download.pages.faulty_book && download.pages.faulty_book(*book_page)) {
    download.log_box.set_status(kFaultyBook);
    return std::nullopt;
  }
  download.log_box.set_status(found_line(download.book_name));
  download.log_box.log_clear();
  text::do_events();
  index_address = download.pages.index_address(*book_page, download.config);
  return needed_page(download, index_address);
}

// Every chapter's link in index order; empty (with the status line saying so) when the
// index lists none, or when the download ended before it.
std::vector<ChapterLink> chapter_links(const Download& download, const Text& book_address) {
  Text index_address;
  const std::optional<Text> index_page = book_and_index(download, book_address, index_address);
  if (!index_page) return {};
  download.log_box.set_status(parsing_line(download.book_name));
  const text::TextArray entries = download.pages.index_entries(*index_page);
  if (entries.empty()) {
    download.log_box.set_status(no_index_line(download.book_name));
    return {};
  }
  std::vector<ChapterLink> links;
  links.reserve(entries.size());
  for (const Text& entry : entries)
    links.push_back(download.pages.chapter_link(entry, index_address, download.config));
  return links;
}

// What an earlier download of this book kept is taken as it stands; only the rest is
// fetched.
StoredChapters look_up_stored(ChapterStore& store, const std::vector<ChapterLink>& links,
                              Report& log_box) {
  StoredChapters stored;
  stored.held.assign(links.size(), false);
  for (size_t i = 0; i < links.size(); ++i) {
    stored.held[i] = store.holds(links[i].address, links[i].title);
    if (!stored.held[i]) stored.to_fetch.push_back(links[i].address);
  }
  const int stored_count = static_cast<int>(links.size() - stored.to_fetch.size());
  if (stored_count > 0) log_box.set_status(from_store_line(stored_count));
  return stored;
}

// A fetched chapter into the book and the store; false when it could not be had. Such a
// chapter keeps its heading, with no text, so the book's layout stays whole.
bool write_fetched(const Download& download, ChapterStore& store, const ChapterLink& link,
                   const http::RetriedFetch& fetched) {
  if (fetched.result.failed) report_failure(download.log_box, link.address, fetched);
  const std::optional<Text> chapter =
      download.pages.chapter_text(page_text(fetched.result), download.config);
  if (download.control.chapters)
    download.control.chapters->chapter(link.title, chapter ? &*chapter : nullptr);
  if (!chapter) return false;
  store.keep(link.address, link.title, *chapter);
  download.log_box.append_log(*chapter);
  return true;
}

// Every chapter in index order into the log box; nullopt when the download was stopped,
// otherwise how many chapters were lost.
std::optional<int> write_chapters(const Download& download, ChapterStore& store,
                                  const std::vector<ChapterLink>& links, StoredChapters stored) {
  // The pages to fetch come back in index order, a few fetched ahead of the one written.
  PagesAhead ahead(
      std::move(stored.to_fetch),
      [&download](const Text& address, std::stop_token stop) {
        return download.fetch(address, std::move(stop));
      },
      download.config.connections, download.control.stop);
  int failed_chapters = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    text::do_events();
    if (download.control.stopped()) return std::nullopt;
    const ChapterLink& link = links[i];
    download.log_box.set_status(chapter_line(link.title));
    download.log_box.append_log(text::concat("\r\n\r\n", link.title, "\r\n\r\n"));
    std::optional<http::RetriedFetch> fetched;
    if (stored.held[i]) {
      if (const std::optional<Text> kept = store.read(link.address, link.title)) {
        download.log_box.append_log(*kept);
        if (download.control.chapters) download.control.chapters->chapter(link.title, &*kept);
        continue;
      }
      // The store's file changed under the download: the chapter is fetched after all.
      if (http::RetriedFetch again = download.fetch(link.address, download.control.stop);
          !again.stopped)
        fetched = std::move(again);
    } else {
      fetched = ahead.next();
    }
    if (!fetched || download.control.stopped()) return std::nullopt;
    if (!write_fetched(download, store, link, *fetched)) ++failed_chapters;
  }
  return failed_chapters;
}

}  // namespace

BookOutcome download_book(const Text& book_address, const Text& book_name, Report& log_box,
                          const SiteConfig& config, const Text& directory, const SourcePages& pages,
                          const DownloadControl& control) {
  const Download download{book_name, log_box, config, pages, control};
  const std::vector<ChapterLink> links = chapter_links(download, book_address);
  if (links.empty()) return download.lost();
  log_box.append_log(text::concat(book_name, "\r\n\r\n"));

  ChapterStore store(directory, book_address, control.store);
  StoredChapters stored = look_up_stored(store, links, log_box);
  const std::optional<int> failed_chapters =
      write_chapters(download, store, links, std::move(stored));
  if (!failed_chapters || control.stopped()) return BookOutcome::kStopped;
  if (!control.text_book)
    return *failed_chapters > 0 ? BookOutcome::kWrittenWithGaps : BookOutcome::kComplete;
  return save_book(log_box, book_name, directory, *failed_chapters);
}

}  // namespace quillreap::sources
