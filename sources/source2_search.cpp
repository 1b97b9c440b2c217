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
  // A search page is tried once: the user is waiting on it and can search again.
  const http::FetchResult fetched = http::fetch_page(address);
  if (fetched.failed) list.page_failed(address, http::failure_description(fetched), 1);
  return list_search_hits(list, source2::search_hits(page_text(fetched), config));
}

}  // namespace quillreap::sources
