// The source 1 book download: the shared download over source 1's site file, whose book
// page check refuses a book marked "Warning". Runs on the download worker.
#include "download/source_downloads.hpp"
#include "sites/builtin_sites.hpp"

namespace quillreap::download {

SourcePages source1_pages(const SiteConfig& config) {
  return sites::builtin_pages(sites::kSource1Id, config);
}

BookOutcome download_source1(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control) {
  return download_book(book_address, book_name, log_box, config, directory, source1_pages(config),
                       control);
}

}  // namespace quillreap::download
