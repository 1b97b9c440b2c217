// The source 1 book download: the shared download over source 1's page cuts, with the
// "Warning" check first. Runs on the download worker.
#include "sources/source1.hpp"

namespace quillreap::sources {

BookOutcome download_source1(const Text& book_address, const Text& book_name, Report& log_box,
                             const SiteConfig& config, const Text& directory,
                             const DownloadControl& control) {
  static constexpr SourcePages kPages{source1::faulty_book, source1::index_address,
                                      source1::index_entries, source1::chapter_link,
                                      source1::chapter_text};
  return download_book(book_address, book_name, log_box, config, directory, kPages, control);
}

}  // namespace quillreap::sources
