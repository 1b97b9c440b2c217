// The source 1 search: the site-search service's UTF-8 result page, cut into result rows.
// Runs on the interface thread.
#include <optional>

#include "http/fetch.hpp"
#include "sources/result_row.hpp"
#include "sources/source1.hpp"
#include "sources/status_texts.hpp"
#include "text/codepage.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {

Text search_source1(const Text& word, Report& list, const SiteConfig& config) {
  text::do_events();
  list.set_status(kSearchingSource1);
  // The word goes out in its GBK bytes, unescaped, as the service expects.
  const Text address = text::concat("http://", config.search_host, "/cse/search?q=", word,
                                    "&s=", config.search_id, "&nsid=&entry=1");
  const http::FetchResult fetched = http::fetch_page(address);
  // A failed fetch lists nothing, whatever error page came with it.
  const Text page = fetched.failed ? Text() : text::utf8_to_ansi(fetched.body);

  text::TextArray hits;
  // "更新状态：</span>" closes a hit; what follows it is never part of one.
  text::text_between_all(page, "result-game-item-detail",
                         "\xB8\xFC\xD0\xC2\xD7\xB4\xCC\xAC\xA3\xBA</span>", hits);
  const size_t count = hits.size();
  for (size_t i = 0; i < count; ++i) {
    text::do_events();
    // The markup's spaces, line breaks and highlight tags are gone before any cell is cut,
    // so the attribute markers below stand without spaces between them.
    const Text hit = text::replace_many(hits[i], std::nullopt, 1, false,  //
                                        " ", "", "\r\n", "", "<em>", "", "</em>", "");
    const Text address_cell = text::text_between(hit, "href=\"", "\"title");
    const Text name = text::text_between(hit, "title=\"", "\"class");
    const Text introduction = text::text_between(hit, "result-game-item-desc\">", "</p>");
    // "作者：</span><span>"
    const Text author =
        text::text_between(hit, "\xD7\xF7\xD5\xDF\xA3\xBA</span><span>", "</span></p>");
    append_result_row(list, address_cell, name, introduction, author);
  }
  list.list_select_row(0);
  return Text(kSearchDone);
}

}  // namespace quillreap::sources
