// A site's page cuts as a download and a search run them: the book page into the index
// address, the index into chapter links, a chapter page into its cleaned text, the search
// page into hits. Every cut is the site file's, run by the cut interpreter.
#pragma once

#include <optional>
#include <vector>

#include "http/fetch.hpp"
#include "sites/result_row.hpp"
#include "sites/site.hpp"

namespace quillreap::sites {

// One entry of a chapter index.
struct ChapterLink {
  Text address;
  Text title;
};

class SourcePages {
 public:
  explicit SourcePages(Site site) : site_(std::move(site)) {}
  const Site& site() const { return site_; }

  // The page as GBK text, from the charset the site writes in; a failed fetch reads as the
  // empty page, whatever error page came with it.
  Text page_text(const http::FetchResult& fetched) const;

  std::vector<SearchHit> search_hits(const Text& page, const Text& search_address) const;
  // True for a book page the site marks as broken; such a book is refused at once.
  bool faulty_book(const Text& book_page) const;
  // The index is the book page itself: its address is the book's, and it is not fetched
  // again.
  bool index_on_book_page() const { return site_.book.index_on_book_page; }
  Text index_address(const Text& book_page, const Text& book_address) const;
  text::TextArray index_entries(const Text& index_page) const;
  ChapterLink chapter_link(const Text& entry, const Text& index_address) const;
  // The chapter's text as cut, before cleaning; nullopt when the page lost its text (the
  // markers around it are missing), which differs from an empty chapter.
  std::optional<Text> cut_chapter(const Text& chapter_page) const;
  Text clean_chapter(Text chapter) const;
  // Both: the chapter of a one-page chapter.
  std::optional<Text> chapter_text(const Text& chapter_page) const;
  // The address of the chapter's next page; "" when the page is its chapter's last.
  Text next_page(const Text& chapter_page, const Text& page_address) const;
  int most_pages() const { return site_.chapter.next_page.empty() ? 1 : site_.chapter.most_pages; }

 private:
  Site site_;
};

}  // namespace quillreap::sites
