// What differs between the two sites when a book is downloaded: where the index is, how an
// entry reads, how a chapter is cut and cleaned. The download engine runs over these.
#pragma once

#include <optional>

#include "sites/site_config.hpp"
#include "text/primitives.hpp"

namespace quillreap::sites {

// One entry of a chapter index.
struct ChapterLink {
  Text address;
  Text title;
};

// A site's page cuts, as plain functions of the page text so that tests and fuzz targets
// can drive them without a download.
struct SourcePages {
  // True for a book page the site marks as broken; such a book is refused at once.
  bool (*faulty_book)(const Text& book_page);
  Text (*index_address)(const Text& book_page, const SiteConfig& config);
  text::TextArray (*index_entries)(const Text& index_page);
  ChapterLink (*chapter_link)(const Text& entry, const Text& index_address,
                              const SiteConfig& config);
  // The chapter's cleaned text; nullopt when the page lost its text (the markers around
  // it are missing), which differs from an empty chapter.
  std::optional<Text> (*chapter_text)(const Text& chapter_page, const SiteConfig& config);
};

}  // namespace quillreap::sites
