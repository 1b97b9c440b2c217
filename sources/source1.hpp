// Source 1: search through the site-search service (UTF-8 result page), and the book
// download from the source 1 host.
#pragma once

#include "sources/book_file.hpp"
#include "sources/report.hpp"
#include "sources/site_config.hpp"

namespace quillreap::sources {

// Appends one row per hit to the result list; returns the status text "搜索完成!".
Text search_source1(const Text& word, Report& list, const SiteConfig& config);

// Downloads the book at book_address into directory as book_name + ".txt".
BookOutcome download_source1(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory);

}  // namespace quillreap::sources
