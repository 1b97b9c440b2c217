// Source 2: search on the source 2 host (GBK result page), and the book download with
// its two cleaning tables; with the page cuts both are made of.
#pragma once

#include <optional>
#include <vector>

#include "sources/book_download.hpp"
#include "sources/book_file.hpp"
#include "sources/report.hpp"
#include "sources/result_row.hpp"
#include "sources/site_config.hpp"

namespace quillreap::sources {

Text search_source2(const Text& word, Report& list, const SiteConfig& config);

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control = {});

namespace source2 {

// The GBK search page cut into hits; each address is made absolute on the source 2 host.
std::vector<SearchHit> search_hits(const Text& page, const SiteConfig& config);
// The index address is the index directory: the site's chapter links are relative to it.
Text index_address(const Text& book_page, const SiteConfig& config);
text::TextArray index_entries(const Text& index_page);
ChapterLink chapter_link(const Text& entry, const Text& index_address, const SiteConfig& config);
std::optional<Text> chapter_text(const Text& chapter_page, const SiteConfig& config);

}  // namespace source2
}  // namespace quillreap::sources
