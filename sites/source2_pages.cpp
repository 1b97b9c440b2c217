// Source 2's page cuts: the search page into hits, the book page into the index
// directory, the index into chapter links and titles, a chapter page into its text cleaned
// with both tables.
#include <optional>

#include "sites/cleanup.hpp"
#include "sites/page.hpp"
#include "sites/source2.hpp"
#include "text/markers.hpp"

namespace quillreap::sites::source2 {
namespace {

// "contentbox#引号><br />" and its closing marker hold the chapter text.
constexpr std::string_view kTextLeft = "contentbox#\xD2\xFD\xBA\xC5><br />";
constexpr std::string_view kTextRight = "<br /><br /></div>";

}  // namespace

std::vector<SearchHit> search_hits(const Text& page, const SiteConfig& config) {
  text::TextArray hits;
  // Each hit keeps its closing "...</div>": it is what ends the introduction below.
  text::text_between_all(page, "CListTitle", "...</div>", hits, false, 0, {}, {}, false, true);
  std::vector<SearchHit> cut;
  cut.reserve(hits.size());
  for (const Text& hit : hits) {
    // The link is relative to the site; the prefix goes on even when no link was cut.
    cut.push_back(
        {text::concat("http://", config.source2_host,
                      text::text_between(hit, "<a href=\"", "\" target=\"_blank\"><b>")),
         text::text_between(hit, "<b>", "</b>"),
         text::text_between(hit, "CListText\">", "...</div>"),
         text::text_between(text::text_between(hit, "Author", "| <a href"), "shtml\">", "</a>")});
  }
  return cut;
}

Text index_address(const Text& book_page, const SiteConfig& config) {
  // "b1#引号><a href=#引号" ... "Index.html#引号 id=": the path ends just before
  // Index.html, so it is the index directory.
  const Text path = text::text_between(book_page, "b1#\xD2\xFD\xBA\xC5><a href=#\xD2\xFD\xBA\xC5",
                                       "Index.html#\xD2\xFD\xBA\xC5 id=");
  return text::concat("http://", config.source2_host, path);
}

text::TextArray index_entries(const Text& index_page) {
  text::TextArray entries;
  // The apostrophe behind each entry makes every matched pair an entry, even an empty one.
  text::text_between_all(index_page, "<li><strong ><a ", "</strong ></li>", entries, false, 0, {},
                         "'");
  return entries;
}

ChapterLink chapter_link(const Text& entry, const Text& index_address, const SiteConfig&) {
  // The index address doubles as the base of every chapter link: the site's links are
  // relative to the index directory, so nothing goes between the two.
  // "href=#引号" ... "#引号 title="
  return {text::concat(index_address, text::text_between(entry, "href=#\xD2\xFD\xBA\xC5",
                                                         "#\xD2\xFD\xBA\xC5 title=")),
          text::text_between(entry, ">", "</a>")};
}

std::optional<Text> chapter_text(const Text& chapter_page, const SiteConfig& config) {
  if (!has_markers(chapter_page, kTextLeft, kTextRight)) return std::nullopt;
  return clean_source2_chapter(text::text_between(chapter_page, kTextLeft, kTextRight), config);
}

}  // namespace quillreap::sites::source2
