// A site's page cuts: each runs the site file's cut for that step through the interpreter.
#include "sites/source_pages.hpp"

#include "sites/cut_interpreter.hpp"
#include "sites/page.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {

Text SourcePages::page_text(const http::FetchResult& fetched) const {
  if (fetched.failed) return {};
  return page_in_gbk(fetched.body, site_.charset);
}

std::vector<SearchHit> SourcePages::search_hits(const Text& page,
                                                const Text& search_address) const {
  const HitCuts& cuts = site_.hits;
  const text::TextArray hits = run_list(cuts.list, page);
  std::vector<SearchHit> cut;
  cut.reserve(hits.size());
  const CutPlace place{search_address, {}};
  for (const Text& each : hits) {
    const Text hit = run_cut(cuts.prepare, each, place);
    cut.push_back({run_cut(cuts.address, hit, place), run_cut(cuts.name, hit, place),
                   cuts.intro.empty() ? Text() : run_cut(cuts.intro, hit, place),
                   cuts.author.empty() ? Text() : run_cut(cuts.author, hit, place)});
  }
  return cut;
}

bool SourcePages::faulty_book(const Text& book_page) const {
  return !site_.book.refuse_if.empty() && text::find_text(book_page, site_.book.refuse_if) > 0;
}

Text SourcePages::index_address(const Text& book_page, const Text& book_address) const {
  if (site_.book.index_on_book_page) return book_address;
  return run_cut(site_.book.index_address, book_page, {book_address, {}});
}

text::TextArray SourcePages::index_entries(const Text& index_page) const {
  return run_list(site_.index.list, index_page);
}

ChapterLink SourcePages::chapter_link(const Text& entry, const Text& index_address) const {
  const CutPlace place{index_address, index_address};
  return {run_cut(site_.index.address, entry, place), run_cut(site_.index.title, entry, place)};
}

std::optional<Text> SourcePages::cut_chapter(const Text& chapter_page) const {
  const ChapterCuts& cuts = site_.chapter;
  if (!has_markers(chapter_page, cuts.left, cuts.right)) return std::nullopt;
  return text::text_between(chapter_page, cuts.left, cuts.right);
}

Text SourcePages::clean_chapter(Text chapter) const {
  return run_cut(site_.chapter.cleaning, std::move(chapter));
}

std::optional<Text> SourcePages::chapter_text(const Text& chapter_page) const {
  std::optional<Text> chapter = cut_chapter(chapter_page);
  if (chapter) *chapter = clean_chapter(std::move(*chapter));
  return chapter;
}

Text SourcePages::next_page(const Text& chapter_page, const Text& page_address) const {
  if (site_.chapter.next_page.empty()) return {};
  return run_cut(site_.chapter.next_page, chapter_page, {page_address, {}});
}

}  // namespace quillreap::sites
