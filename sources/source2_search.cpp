// The source 2 search: the site's own GBK search page, cut into result rows.
// Runs on the interface thread.
#include "http/fetch.hpp"
#include "sources/page.hpp"
#include "sources/result_row.hpp"
#include "sources/source2.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {

Text search_source2(const Text& word, Report& list, const SiteConfig& config) {
  list.set_status(kSearchingSource2);
  const Text address = text::concat("http://", config.source2_host,
                                    "/Book/Search.aspx?SearchKey=", word, "&SearchClass=1");
  const Text page = page_text(http::fetch_page(address));

  text::TextArray hits;
  // Each hit keeps its closing "...</div>": it is what ends the introduction below.
  text::text_between_all(page, "CListTitle", "...</div>", hits, false, 0, {}, {}, false, true);
  const size_t count = hits.size();
  for (size_t i = 0; i < count; ++i) {
    text::do_events();
    const Text& hit = hits[i];
    // The link is relative to the site; the prefix goes on even when no link was cut.
    const Text address_cell =
        text::concat("http://", config.source2_host,
                     text::text_between(hit, "<a href=\"", "\" target=\"_blank\"><b>"));
    const Text name = text::text_between(hit, "<b>", "</b>");
    const Text introduction = text::text_between(hit, "CListText\">", "...</div>");
    const Text author =
        text::text_between(text::text_between(hit, "Author", "| <a href"), "shtml\">", "</a>");
    append_result_row(list, address_cell, name, introduction, author);
  }
  list.list_select_row(0);
  return Text(kSearchDone);
}

}  // namespace quillreap::sources
