// The source 2 book download: the shared download over source 2's page cuts and cleaning
// tables. Runs on the download worker.
#include "download/source_downloads.hpp"
#include "sites/source2.hpp"

namespace quillreap::download {

const SourcePages& source2_pages() {
  static constexpr SourcePages kPages{nullptr, sites::source2::index_address,
                                      sites::source2::index_entries, sites::source2::chapter_link,
                                      sites::source2::chapter_text};
  return kPages;
}

const SourcePages& source_pages(const Text& book_address, const SiteConfig& config) {
  return sites::belongs_to_source2(book_address, config) ? source2_pages() : source1_pages();
}

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control) {
  return download_book(book_address, book_name, log_box, config, directory, source2_pages(),
                       control);
}

}  // namespace quillreap::download
