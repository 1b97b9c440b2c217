// The source 2 book download: the shared download over source 2's site file and its
// cleaning. Runs on the download worker.
#include "download/source_downloads.hpp"
#include "sites/builtin_sites.hpp"
#include "sites/site_choice.hpp"

namespace quillreap::download {

SourcePages source2_pages(const SiteConfig& config) {
  return sites::builtin_pages(sites::kSource2Id, config);
}

SourcePages source_pages(const Text& book_address, const SiteConfig& config) {
  return sites::pages_for_address(book_address, config);
}

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control) {
  return download_book(book_address, book_name, log_box, config, directory, source2_pages(config),
                       control);
}

}  // namespace quillreap::download
