// The source 1 book download: the "Warning" check, the index link in two cuts, then every
// chapter in index order into the log box, saved as the book file. Runs on the download
// worker; every control call is a request the interface thread carries out.
#include "http/fetch.hpp"
#include "sources/cleanup.hpp"
#include "sources/page.hpp"
#include "sources/source1.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {
namespace {

constexpr std::string_view kTextLeft = "nr1\">";
constexpr std::string_view kTextRight = "</div>";

}  // namespace

BookOutcome download_source1(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory) {
  const http::FetchResult book = http::fetch_page(book_address);
  if (book.failed) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  const Text book_page = text::to_text(book.body);
  // The site marks a broken book with "Warning" on its page; such a book is refused
  // before the log box is touched.
  if (text::find_text(book_page, "Warning") > 0) {
    log_box.set_status(kFaultyBook);
    return BookOutcome::kNotWritten;
  }
  log_box.set_status(found_line(book_name));
  log_box.log_clear();
  text::do_events();

  // "开始阅读</a></span>" ... ">查看目录" holds the index link.
  const Text block = text::text_between(book_page, "\xBF\xAA\xCA\xBC\xD4\xC4\xB6\xC1</a></span>",
                                        ">\xB2\xE9\xBF\xB4\xC4\xBF\xC2\xBC");
  const Text path = text::text_between(block, "<a href=\"", "\"");
  const Text index_address = text::concat("http://", config.source1_host, path);
  const http::FetchResult index = http::fetch_page(index_address);
  if (index.failed) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  const Text index_page = text::to_text(index.body);
  log_box.set_status(parsing_line(book_name));

  text::TextArray entries;
  // Each entry is "'link'>title" and the apostrophe added behind it closes the title.
  text::text_between_all(index_page, "<li><a href=", "<span></span></a></li>", entries, false, 0,
                         {}, "'");
  if (entries.empty()) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  log_box.append_log(text::concat(book_name, "\r\n\r\n"));

  int failed_chapters = 0;
  const size_t count = entries.size();
  for (size_t i = 0; i < count; ++i) {
    text::do_events();
    const Text& entry = entries[i];
    // Chapter links are absolute paths on the host; the index address plays no part.
    const Text chapter_address =
        text::concat("http://", config.source1_host, text::text_between(entry, "'", "'>"));
    const Text title = text::text_between(entry, "'>", "'");
    log_box.set_status(chapter_line(title));
    log_box.append_log(text::concat("\r\n\r\n", title, "\r\n\r\n"));

    // A chapter that cannot be had keeps its heading, with no text, so the book's layout
    // stays whole; the completion line counts it.
    const Text chapter_page = page_text(http::fetch_page(chapter_address));
    if (!has_markers(chapter_page, kTextLeft, kTextRight)) {
      ++failed_chapters;
      continue;
    }
    log_box.append_log(
        clean_source1_chapter(text::text_between(chapter_page, kTextLeft, kTextRight)));
  }
  return save_book(log_box, book_name, directory, failed_chapters);
}

}  // namespace quillreap::sources
