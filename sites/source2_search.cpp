// The source 2 search: the site's own GBK search page, cut into result rows.
// Runs on the interface thread.
#include "http/fetch.hpp"
#include "sites/page.hpp"
#include "sites/source2.hpp"
#include "sites/status_texts.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {

Text search_source2(const Text& word, SearchReport& list, const SiteConfig& config) {
  list.set_status(kSearchingSource2);
  const Text address = text::concat("http://", config.source2_host,
                                    "/Book/Search.aspx?SearchKey=", word, "&SearchClass=1");
  // A search page is tried once: the user is waiting on it and can search again.
  const http::FetchResult fetched = http::fetch_page_until_stopped({}, config.timeouts, address);
  if (fetched.failed) list.page_failed(address, http::failure_description(fetched), 1);
  return list_search_hits(list, source2::search_hits(page_text(fetched), config));
}

}  // namespace quillreap::sites
