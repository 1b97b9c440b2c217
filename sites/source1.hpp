// Source 1: search through the site-search service (UTF-8 result page), and the book
// download from the source 1 host; with the page cuts both are made of.
#pragma once

#include <optional>
#include <vector>

#include "sites/result_row.hpp"
#include "sites/search_report.hpp"
#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"

namespace quillreap::sites {

// Appends one row per hit to the result list; returns the status text "搜索完成!".
Text search_source1(const Text& word, SearchReport& list, const SiteConfig& config);

namespace source1 {

// The search page, already converted to GBK, cut into hits.
std::vector<SearchHit> search_hits(const Text& page);
// The site marks a broken book with "Warning" on its page.
bool faulty_book(const Text& book_page);
Text index_address(const Text& book_page, const SiteConfig& config);
text::TextArray index_entries(const Text& index_page);
ChapterLink chapter_link(const Text& entry, const Text& index_address, const SiteConfig& config);
std::optional<Text> chapter_text(const Text& chapter_page, const SiteConfig& config);

}  // namespace source1
}  // namespace quillreap::sites
