// The shared download: book page, index, chapters in index order, book file. Runs on the
// download worker; every report call is a request the interface thread carries out.
#include "sources/book_download.hpp"

#include <vector>

#include "http/fetch.hpp"
#include "sources/page.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {

BookOutcome download_book(const Text& book_address, const Text& book_name, Report& log_box,
                          const SiteConfig& config, const Text& directory, const SourcePages& pages,
                          const DownloadControl& control) {
  const http::FetchResult book = http::fetch_page(book_address);
  if (book.failed) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  const Text book_page = text::to_text(book.body);
  // A broken book is refused before the log box is touched.
  if (pages.faulty_book && pages.faulty_book(book_page)) {
    log_box.set_status(kFaultyBook);
    return BookOutcome::kNotWritten;
  }
  log_box.set_status(found_line(book_name));
  log_box.log_clear();
  text::do_events();

  const Text index_address = pages.index_address(book_page, config);
  const http::FetchResult index = http::fetch_page(index_address);
  if (index.failed) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  const Text index_page = text::to_text(index.body);
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
  // fetched. The pointers stay valid: nothing is kept again under a stored entry.
  ChapterStore store(directory, book_address, control.store);
  std::vector<const Text*> stored(links.size(), nullptr);
  int stored_count = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    stored[i] = store.find(links[i].address, links[i].title);
    if (stored[i]) ++stored_count;
  }
  if (stored_count > 0) log_box.set_status(from_store_line(stored_count));

  int failed_chapters = 0;
  for (size_t i = 0; i < links.size(); ++i) {
    text::do_events();
    if (control.stopped()) return BookOutcome::kStopped;
    const ChapterLink& link = links[i];
    log_box.set_status(chapter_line(link.title));
    log_box.append_log(text::concat("\r\n\r\n", link.title, "\r\n\r\n"));
    if (stored[i]) {
      log_box.append_log(*stored[i]);
      continue;
    }

    // A chapter that cannot be had keeps its heading, with no text, so the book's layout
    // stays whole; the completion line counts it.
    const std::optional<Text> chapter =
        pages.chapter_text(page_text(http::fetch_page(link.address)), config);
    if (!chapter) {
      ++failed_chapters;
      continue;
    }
    store.keep(link.address, link.title, *chapter);
    log_box.append_log(*chapter);
  }
  if (control.stopped()) return BookOutcome::kStopped;
  return save_book(log_box, book_name, directory, failed_chapters);
}

}  // namespace quillreap::sources
