// The download both sources share: book page, chapter index, every chapter in index order
// into the book buffer, then the book file. What differs between the sites (where the
// index is, how an entry reads, how a chapter is cut and cleaned) comes in as SourcePages.
#pragma once

#include <optional>
#include <stop_token>

#include "sources/book_file.hpp"
#include "sources/chapter_sink.hpp"
#include "sources/chapter_store.hpp"
#include "sources/report.hpp"
#include "sources/site_config.hpp"
#include "text/primitives.hpp"

namespace quillreap::sources {

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

// How one download runs beyond the site settings: its chapter store, and the stop that
// ends it (requested by a closing window or Ctrl-C, from any thread).
struct DownloadControl {
  ChapterStore::Mode store = ChapterStore::Mode::kUse;
  std::stop_token stop = {};
  // A second book fed every chapter in index order (the EPUB); the caller finishes it.
  ChapterSink* chapters = nullptr;
  // False: no TXT book is written, and a complete download ends without a status line.
  bool text_book = true;

  bool stopped() const { return stop.stop_requested(); }
};

// Runs on the download worker; every report call is a request the interface thread
// carries out. A stopped download writes no book; what it fetched stays in the store.
BookOutcome download_book(const Text& book_address, const Text& book_name, Report& log_box,
                          const SiteConfig& config, const Text& directory, const SourcePages& pages,
                          const DownloadControl& control = {});

}  // namespace quillreap::sources
