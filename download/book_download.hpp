// The download both sources share: book page, chapter index, every chapter in index order
// into the book buffer, then the book file. What differs between the sites (where the
// index is, how an entry reads, how a chapter is cut and cleaned) comes in as SourcePages.
#pragma once

#include <optional>
#include <stop_token>

#include "books/book_file.hpp"
#include "books/chapter_sink.hpp"
#include "download/chapter_store.hpp"
#include "download/report.hpp"
#include "sites/site_config.hpp"
#include "sites/source_pages.hpp"
#include "text/primitives.hpp"

namespace quillreap::download {

// The download runs over the sites' page cuts and hands its chapters to the book writers.
using books::BookOutcome;
using books::ChapterSink;
using sites::ChapterLink;
using sites::SiteConfig;
using sites::SourcePages;

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

}  // namespace quillreap::download
