// The two sites' book downloads: the shared download over each site's page cuts.
#pragma once

#include "books/book_file.hpp"
#include "download/book_download.hpp"
#include "download/report.hpp"
#include "sites/site_config.hpp"

namespace quillreap::download {

// Downloads the source 1 book at book_address into directory as book_name + ".txt"; a book
// page marked "Warning" is refused at once.
BookOutcome download_source1(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control = {});

// Each built-in site's page cuts, with the config's hosts, which the downloads run over.
SourcePages source1_pages(const SiteConfig& config);
SourcePages source2_pages(const SiteConfig& config);
// The page cuts of the site a book address belongs to: source 2's when the address holds
// the source 2 label, source 1's otherwise.
SourcePages source_pages(const Text& book_address, const SiteConfig& config);

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control = {});

}  // namespace quillreap::download
