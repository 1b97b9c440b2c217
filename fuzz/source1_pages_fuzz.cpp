// Fuzzes source 1's cutting of the pages it reads, with the markers its search and
// download use: the UTF-8 search page into result cells, the book page into the index
// link, the index page into chapter links and titles, and a chapter page into clean text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "sources/cleanup.hpp"
#include "sources/page.hpp"
#include "text/codepage.hpp"
#include "text/markers.hpp"
#include "text/primitives.hpp"

namespace {

namespace text = quillreap::text;
using text::Text;

void cut_search_page(const text::Bytes& body) {
  const Text page = text::utf8_to_ansi(body);
  text::TextArray hits;
  // "更新状态：</span>"
  text::text_between_all(page, "result-game-item-detail",
                         "\xB8\xFC\xD0\xC2\xD7\xB4\xCC\xAC\xA3\xBA</span>", hits);
  for (const Text& each : hits) {
    const Text hit = text::replace_many(each, std::nullopt, 1, false, " ", "", "\r\n", "", "<em>",
                                        "", "</em>", "");
    (void)text::text_between(hit, "href=\"", "\"title");
    (void)text::text_between(hit, "title=\"", "\"class");
    (void)text::text_between(hit, "result-game-item-desc\">", "</p>");
    // "作者：</span><span>"
    (void)text::text_between(hit, "\xD7\xF7\xD5\xDF\xA3\xBA</span><span>", "</span></p>");
  }
}

void cut_book_page(const Text& page) {
  if (text::find_text(page, "Warning") > 0) return;
  // "开始阅读</a></span>" ... ">查看目录"
  const Text block = text::text_between(page, "\xBF\xAA\xCA\xBC\xD4\xC4\xB6\xC1</a></span>",
                                        ">\xB2\xE9\xBF\xB4\xC4\xBF\xC2\xBC");
  const Text path = text::text_between(block, "<a href=\"", "\"");
  QUILLREAP_FUZZ_CHECK(page.find(path) != std::string::npos);
}

void cut_index_page(const Text& page) {
  text::TextArray entries;
  text::text_between_all(page, "<li><a href=", "<span></span></a></li>", entries, false, 0, {},
                         "'");
  for (const Text& entry : entries) {
    QUILLREAP_FUZZ_CHECK(!entry.empty() && entry.back() == '\'');
    (void)text::text_between(entry, "'", "'>");
    (void)text::text_between(entry, "'>", "'");
  }
}

void cut_chapter_page(const Text& page) {
  constexpr std::string_view kLeft = "nr1\">";
  constexpr std::string_view kRight = "</div>";
  if (!quillreap::sources::has_markers(page, kLeft, kRight)) return;
  const Text cut = text::text_between(page, kLeft, kRight);
  const Text clean = quillreap::sources::clean_source1_chapter(cut);
  QUILLREAP_FUZZ_CHECK(clean.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const int kind = input.ConsumeIntegralInRange<int>(0, 3);
  const std::string raw = input.ConsumeRemainingBytesAsString();
  const text::Bytes body(raw.begin(), raw.end());
  // A page reaches the cuts as its text, which ends at the first zero byte.
  const Text page = text::to_text(body);
  switch (kind) {
    case 0:
      cut_search_page(body);
      break;
    case 1:
      cut_book_page(page);
      break;
    case 2:
      cut_index_page(page);
      break;
    default:
      cut_chapter_page(page);
      break;
  }
  return 0;
}
