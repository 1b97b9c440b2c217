// Source 1's page cuts: the search page into hits, the book page into the index link, the
// index into chapter links and titles, a chapter page into its cleaned text.
#include <optional>

#include "sites/cleanup.hpp"
#include "sites/page.hpp"
#include "sites/source1.hpp"
#include "text/markers.hpp"

namespace quillreap::sites::source1 {
namespace {

constexpr std::string_view kTextLeft = "nr1\">";
constexpr std::string_view kTextRight = "</div>";

}  // namespace

std::vector<SearchHit> search_hits(const Text& page) {
  text::TextArray hits;
  // "更新状态：</span>" closes a hit; what follows it is never part of one.
  text::text_between_all(page, "result-game-item-detail",
                         "\xB8\xFC\xD0\xC2\xD7\xB4\xCC\xAC\xA3\xBA</span>", hits);
  std::vector<SearchHit> cut;
  cut.reserve(hits.size());
  for (const Text& each : hits) {
    // The markup's spaces, line breaks and highlight tags are gone before any cell is cut,
    // so the attribute markers below stand without spaces between them.
    const Text hit = text::replace_many(each, std::nullopt, 1, false,  //
                                        " ", "", "\r\n", "", "<em>", "", "</em>", "");
    cut.push_back(
        {text::text_between(hit, "href=\"", "\"title"),
         text::text_between(hit, "title=\"", "\"class"),
         text::text_between(hit, "result-game-item-desc\">", "</p>"),
         // "作者：</span><span>"
         text::text_between(hit, "\xD7\xF7\xD5\xDF\xA3\xBA</span><span>", "</span></p>")});
  }
  return cut;
}

bool faulty_book(const Text& book_page) {
  return text::find_text(book_page, "Warning") > 0;
}

Text index_address(const Text& book_page, const SiteConfig& config) {
  // "开始阅读</a></span>" ... ">查看目录" holds the index link.
  const Text block = text::text_between(book_page, "\xBF\xAA\xCA\xBC\xD4\xC4\xB6\xC1</a></span>",
                                        ">\xB2\xE9\xBF\xB4\xC4\xBF\xC2\xBC");
  const Text path = text::text_between(block, "<a href=\"", "\"");
  return text::concat("http://", config.source1_host, path);
}

text::TextArray index_entries(const Text& index_page) {
  text::TextArray entries;
  // Each entry is "'link'>title" and the apostrophe added behind it closes the title.
  text::text_between_all(index_page, "<li><a href=", "<span></span></a></li>", entries, false, 0,
                         {}, "'");
  return entries;
}

ChapterLink chapter_link(const Text& entry, const Text&, const SiteConfig& config) {
  // Chapter links are absolute paths on the host; the index address plays no part.
  return {text::concat("http://", config.source1_host, text::text_between(entry, "'", "'>")),
          text::text_between(entry, "'>", "'")};
}

std::optional<Text> chapter_text(const Text& chapter_page, const SiteConfig&) {
  if (!has_markers(chapter_page, kTextLeft, kTextRight)) return std::nullopt;
  return clean_source1_chapter(text::text_between(chapter_page, kTextLeft, kTextRight));
}

}  // namespace quillreap::sites::source1
