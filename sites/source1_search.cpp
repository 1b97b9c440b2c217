// The source 1 search: the site-search service's UTF-8 result page, cut into result rows.
// Runs on the interface thread.
#include "http/fetch.hpp"
#include "sites/source1.hpp"
#include "sites/status_texts.hpp"
#include "text/codepage.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {

Text search_source1(const Text& word, SearchReport& list, const SiteConfig& config) {
  text::do_events();
  list.set_status(kSearchingSource1);
  // The word goes out in its GBK bytes, unescaped, as the service expects.
  const Text address = text::concat("http://", config.search_host, "/cse/search?q=", word,
                                    "&s=", config.search_id, "&nsid=&entry=1");
  // A search page is tried once: the user is waiting on it and can search again.
  const http::FetchResult fetched = http::fetch_page_until_stopped({}, config.timeouts, address);
  if (fetched.failed) list.page_failed(address, http::failure_description(fetched), 1);
  // A failed fetch lists nothing, whatever error page came with it.
  const Text page = fetched.failed ? Text() : text::utf8_to_ansi(fetched.body);
  return list_search_hits(list, source1::search_hits(page));
}

}  // namespace quillreap::sites
