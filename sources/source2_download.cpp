// The source 2 book download: book page, chapter index, then every chapter in index
// order into the log box, saved as the book file. Runs on the download worker; every
// control call is a request the interface thread carries out.
#include "http/fetch.hpp"
#include "sources/cleanup.hpp"
#include "sources/page.hpp"
#include "sources/source2.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {
namespace {

// "contentbox#引号><br />" and its closing marker hold the chapter text.
constexpr std::string_view kTextLeft = "contentbox#\xD2\xFD\xBA\xC5><br />";
constexpr std::string_view kTextRight = "<br /><br /></div>";

}  // namespace

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory) {
  const http::FetchResult book = http::fetch_page(book_address);
  if (book.failed) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  const Text book_page = text::to_text(book.body);
  log_box.set_status(found_line(book_name));
  log_box.log_clear();
  text::do_events();

  // "b1#引号><a href=#引号" ... "Index.html#引号 id=": the path ends just before
  // Index.html, so it is the index directory.
  const Text path = text::text_between(book_page, "b1#\xD2\xFD\xBA\xC5><a href=#\xD2\xFD\xBA\xC5",
                                       "Index.html#\xD2\xFD\xBA\xC5 id=");
  // The index address doubles as the base of every chapter link: the site's links are
  // relative to the index directory, so nothing goes between the two.
  const Text index_address = text::concat("http://", config.source2_host, path);
  const http::FetchResult index = http::fetch_page(index_address);
  if (index.failed) {
    log_box.set_status(no_index_line(book_name));
    return BookOutcome::kNotWritten;
  }
  const Text index_page = text::to_text(index.body);
  log_box.set_status(parsing_line(book_name));

  text::TextArray entries;
  // The apostrophe behind each entry makes every matched pair an entry, even an empty one.
  text::text_between_all(index_page, "<li><strong ><a ", "</strong ></li>", entries, false, 0, {},
                         "'");
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
    // "href=#引号" ... "#引号 title="
    const Text chapter_address = text::concat(
        index_address,
        text::text_between(entry, "href=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5 title="));
    const Text title = text::text_between(entry, ">", "</a>");
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
        clean_source2_chapter(text::text_between(chapter_page, kTextLeft, kTextRight), config));
  }
  return save_book(log_box, book_name, directory, failed_chapters);
}

}  // namespace quillreap::sources
