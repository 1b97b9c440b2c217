// The source 1 book download: the shared download over source 1's page cuts, with the
// "Warning" check first. Runs on the download worker.
#include "download/source_downloads.hpp"
#include "sites/source1.hpp"

namespace quillreap::download {

const SourcePages& source1_pages() {
  static constexpr SourcePages kPages{sites::source1::faulty_book, sites::source1::index_address,
                                      sites::source1::index_entries, sites::source1::chapter_link,
                                      sites::source1::chapter_text};
  return kPages;
}

BookOutcome download_source1(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control) {
  return download_book(book_address, book_name, log_box, config, directory, source1_pages(),
                       control);
}

}  // namespace quillreap::download
