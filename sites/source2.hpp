// Source 2: search on the source 2 host (GBK result page), and the book download with
// its two cleaning tables; with the page cuts both are made of.
#pragma once

#include <optional>
#include <vector>

#include "sites/result_row.hpp"
#include "sites/search_report.hpp"
#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

Text search_source2(const Text& word, SearchReport& list, const SiteConfig& config);

namespace source2 {

// The GBK search page cut into hits; each address is made absolute on the source 2 host.
std::vector<SearchHit> search_hits(const Text& page, const SiteConfig& config);
// The index address is the index directory: the site's chapter links are relative to it.
Text index_address(const Text& book_page, const SiteConfig& config);
text::TextArray index_entries(const Text& index_page);
ChapterLink chapter_link(const Text& entry, const Text& index_address, const SiteConfig& config);
std::optional<Text> chapter_text(const Text& chapter_page, const SiteConfig& config);

}  // namespace source2
}  // namespace quillreap::sites
