// The books of a shelf checked against their sites a few at a time, ahead of the caller:
// each book's page and index are fetched and its chapters compared with its store, within
// the site settings' connections and pace, so that a large shelf is checked in about the
// time of its pages in flight rather than one book after another.
#pragma once

#include <map>
#include <optional>
#include <stop_token>
#include <vector>

#include "download/book_download.hpp"
#include "download/shelf.hpp"

namespace quillreap::download {

// What the check of one shelf book found.
struct BookCheck {
  bool checked = false;  // the book page and index were had and cut
  Text why;              // when not: the page that could not be had, or the status line
  std::vector<ChapterLink> links;
  // Chapters the book's files lack: those of the index past the chapters its last written
  // book held, and those the store lacks (lost or a placeholder last time, retitled, or
  // lost to damage in the store). An update writes the book again when there are any.
  int new_chapters = 0;
  // Of those, the ones the store lacks (by address and title), which an update fetches;
  // the rest come from the store without a request.
  int to_fetch = 0;
  // With fetch_new, when they were few, those chapters were fetched beside the index: the
  // ones with text are in the store already, and the rest (lost, placeholders) are here
  // by address, so that the update asks for none of them again.
  std::map<Text, AheadPage> early_pages;
};

class ShelfChecks {
 public:
  // The most chapter pages of one book fetched beside its check.
  static constexpr int kMostEarlyPages = 16;

  // Checks start at once on up to config.connections threads, never more than twice
  // that many books ahead of the one handed out (the download's own window, AheadWindow).
  // Every request goes through the pace of its book's site, which the caller may share
  // with its own downloads; a stop ends the checks under way.
  ShelfChecks(std::vector<ShelfBook> books, Text directory, const SiteConfig& config,
              SitePaces& paces, bool fetch_new, std::stop_token stop = {});
  ShelfChecks(const ShelfChecks&) = delete;
  ShelfChecks& operator=(const ShelfChecks&) = delete;

  // The next book's check in shelf order, once it is done; nullopt after the last book or
  // once stopped. A check that threw throws here. Called from one thread.
  std::optional<BookCheck> next();

 private:
  BookCheck check(const ShelfBook& book, std::stop_token stop) const;

  const std::vector<ShelfBook> books_;
  const Text directory_;
  const SiteConfig& config_;
  SitePaces& paces_;
  const bool fetch_new_;
  std::vector<std::optional<BookCheck>> checks_;  // handed-out ones are emptied
  AheadWindow window_;                            // last: its threads use everything above
};

}  // namespace quillreap::download
