// The download both sources share: book page, chapter index, every chapter in index order
// into the book buffer, then the book file. What differs between the sites (where the
// index is, how an entry reads, how a chapter is cut and cleaned) comes in as SourcePages.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <vector>

#include "books/book_file.hpp"
#include "books/book_part.hpp"
#include "books/chapter_sink.hpp"
#include "download/chapter_range.hpp"
#include "download/chapter_store.hpp"
#include "download/pages_ahead.hpp"
#include "download/report.hpp"
#include "download/request_pace.hpp"
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

// The cells of a book's row on the shelf that the download does not know by itself.
struct ShelfDetails {
  Text introduction;
  Text author;
};

// What the end of a download wrote, for its caller to name: the files the book went to,
// and which of the books asked for are in place.
struct WrittenBooks {
  // The book's files (a part's for a part); none when the download ended before writing.
  std::optional<books::BookFiles> files;
  bool text_book = false;  // the TXT was written
  bool second = false;     // the second book (DownloadResults::chapters) was written
  Text text_book_failure;  // why the TXT asked for was not written
};

// What one download is given beyond the site settings: its chapter store, the stop that
// ends it (requested by a closing window or Ctrl-C, from any thread), which books it writes
// and of which chapters.
struct DownloadRequest {
  ChapterStore::Mode store = ChapterStore::Mode::kUse;
  std::stop_token stop = {};
  // False: no TXT book is written, and a complete download ends without a status line.
  bool text_book = true;
  // Set for a whole-book download: once its book is written, its store records the book
  // as the directory's shelf shows it. Null leaves the shelf as it was.
  const ShelfDetails* shelf = nullptr;
  // Chapter pages fetched before the download began (beside an update's check of the
  // index), by address: they are not asked for again.
  const std::map<Text, AheadPage>* early_pages = nullptr;
  // Only these chapters of the index (the command line's --chapters and --last); none for
  // the whole book. A part is saved as books::part_name(book_name, part), keeps its
  // chapters in the store as every download does, and never sets shelf: the shelf lists
  // whole books only.
  std::optional<ChapterRange> range = std::nullopt;
};

// Where one download hands over what it makes besides the book buffer and its status
// lines; each null when nobody asks for it.
struct DownloadResults {
  // A second book fed every chapter in index order (the EPUB); the caller finishes it.
  ChapterSink* chapters = nullptr;
  // Which chapters a download with a range took, once it has the index.
  books::BookPart* part = nullptr;
  // What the download wrote.
  WrittenBooks* written = nullptr;
};

// Both, as every download function takes them.
struct DownloadControl {
  DownloadRequest request = {};
  DownloadResults results = {};

  bool stopped() const { return request.stop.stop_requested(); }
};

// The pace every request of one download (or of one update of the shelf) is taken at: the
// site settings' connections and pause, ended at once by stop.
std::unique_ptr<RequestPace> site_pace(const SiteConfig& config, std::stop_token stop = {});

// The paces of an update of the shelf: one for each site (host and port) it asks, each
// with the site settings' connections and pause, so that a site answering 429 slows its own
// books only. Any thread.
class SitePaces {
 public:
  explicit SitePaces(const SiteConfig& config, std::stop_token stop = {});
  SitePaces(const SitePaces&) = delete;
  SitePaces& operator=(const SitePaces&) = delete;

  // The pace of the site book_address is on; the same one for every address there.
  RequestPace& of(const Text& book_address);

 private:
  const SiteConfig& config_;
  const std::stop_token stop_;
  std::mutex mutex_;
  std::map<Text, std::unique_ptr<RequestPace>> paces_;
};

// A chapter page fetched at pace and cut on the calling thread (any thread).
AheadPage fetch_chapter(const Text& address, const SiteConfig& config, const SourcePages& pages,
                        RequestPace& pace, std::stop_token stop);

// The first half of a download: the book page and the index, cut into the chapters' links.
// Empty when the download ends there (stopped, a page not had, a book the site marks as
// broken, an index with no entries); the status line says which.
std::vector<ChapterLink> fetch_chapter_links(const Text& book_address, const Text& book_name,
                                             IndexReport& log_box, const SiteConfig& config,
                                             const SourcePages& pages, RequestPace& pace,
                                             const DownloadControl& control = {});

// The second half: every chapter of the index (or of the control's range of it) in index
// order into the log box (the store gives those it holds), then the book file.
BookOutcome write_book(const std::vector<ChapterLink>& index, const Text& book_address,
                       const Text& book_name, Report& log_box, const SiteConfig& config,
                       const Text& directory, const SourcePages& pages, RequestPace& pace,
                       const DownloadControl& control = {});

// Both halves. Runs on the download worker; every report call is a request the interface
// thread carries out. A stopped download writes no book; what it fetched stays in the store.
BookOutcome download_book(const Text& book_address, const Text& book_name, Report& log_box,
                          const SiteConfig& config, const Text& directory, const SourcePages& pages,
                          const DownloadControl& control = {});

}  // namespace quillreap::download
