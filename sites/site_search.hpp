// A site's search: its search page fetched with the word and cut into rows of the result
// list. Runs on the interface thread.
#pragma once

#include "http/fetch.hpp"
#include "sites/search_report.hpp"
#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

// Appends one row per hit to the result list; returns the status text "搜索完成!".
Text search_site(const Text& word, SearchReport& list, const SiteConfig& config,
                 const SourcePages& pages);

// The site's search page for a word, fetched once: the user is waiting on it and can search
// again. page is its text as GBK, "" when the fetch failed, whatever error page came with it.
struct SearchPage {
  Text address;
  http::FetchResult fetched;
  Text page;
};
SearchPage fetch_search_page(const Site& site, const Text& word, const SiteConfig& config);

// The address the search asks for word, and the body a POST search sends.
Text search_address(const Site& site, const Text& word);
Text search_body(const Site& site, const Text& word);

// The built-in sites' searches (源站①, 源站②).
Text search_source1(const Text& word, SearchReport& list, const SiteConfig& config);
Text search_source2(const Text& word, SearchReport& list, const SiteConfig& config);

}  // namespace quillreap::sites
