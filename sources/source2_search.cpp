// The source 2 search: the site's own GBK search page, cut into result rows.
// Runs on the interface thread.
#include "http/fetch.hpp"
#include "sources/page.hpp"
#include "sources/source2.hpp"
#include "sources/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sources {

Text search_source2(const Text& word, Report& list, const SiteConfig& config) {
  list.set_status(kSearchingSource2);
  const Text address = text::concat("http://", config.source2_host,
                                    "/Book/Search.aspx?SearchKey=", word, "&SearchClass=1");
  return list_search_hits(list, source2::search_hits(page_text(http::fetch_page(address)), config));
}

}  // namespace quillreap::sources
