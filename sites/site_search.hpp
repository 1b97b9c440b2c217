// A site's search: its search page fetched with the word and cut into rows of the result
// list. Runs on the interface thread.
#pragma once

#include "sites/search_report.hpp"
#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

// Appends one row per hit to the result list; returns the status text "搜索完成!".
Text search_site(const Text& word, SearchReport& list, const SiteConfig& config,
                 const SourcePages& pages);

// The address the search asks for word, and the body a POST search sends.
Text search_address(const Site& site, const Text& word);
Text search_body(const Site& site, const Text& word);

// The built-in sites' searches (源站①, 源站②).
Text search_source1(const Text& word, SearchReport& list, const SiteConfig& config);
Text search_source2(const Text& word, SearchReport& list, const SiteConfig& config);

}  // namespace quillreap::sites
