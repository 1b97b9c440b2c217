// Source 2: search on the source 2 host (GBK result page), and the book download with
// its two cleaning tables.
#pragma once

#include "sources/book_file.hpp"
#include "sources/report.hpp"
#include "sources/site_config.hpp"

namespace quillreap::sources {

Text search_source2(const Text& word, Report& list, const SiteConfig& config);

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory);

}  // namespace quillreap::sources
