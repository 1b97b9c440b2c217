// The source 2 book download: the shared download over source 2's page cuts. Runs on the
// download worker.
#include "download/source_downloads.hpp"
#include "sites/source2.hpp"

namespace quillreap::download {

BookOutcome download_source2(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control) {
  static constexpr SourcePages kPages{nullptr, sites::source2::index_address,
                                      sites::source2::index_entries, sites::source2::chapter_link,
                                      sites::source2::chapter_text};
  return download_book(book_address, book_name, log_box, config, directory, kPages, control);
}

}  // namespace quillreap::download
