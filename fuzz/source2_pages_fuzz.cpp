// Fuzzes source 2's cutting of the pages it reads, with the markers its search and
// download use: the GBK search page into result cells, the book page into the index
// directory, the index page into chapter links and titles, and a chapter page cleaned
// with both of its tables.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "sources/cleanup.hpp"
#include "sources/page.hpp"
#include "sources/site_config.hpp"
#include "text/markers.hpp"
#include "text/primitives.hpp"

namespace {

namespace text = quillreap::text;
using text::Text;

void cut_search_page(const Text& page) {
  text::TextArray hits;
  text::text_between_all(page, "CListTitle", "...</div>", hits, false, 0, {}, {}, false, true);
  for (const Text& hit : hits) {
    QUILLREAP_FUZZ_CHECK(hit.size() >= 9 && hit.compare(hit.size() - 9, 9, "...</div>") == 0);
    (void)text::text_between(hit, "<a href=\"", "\" target=\"_blank\"><b>");
    (void)text::text_between(hit, "<b>", "</b>");
    (void)text::text_between(hit, "CListText\">", "...</div>");
    (void)text::text_between(text::text_between(hit, "Author", "| <a href"), "shtml\">", "</a>");
  }
}

void cut_book_page(const Text& page) {
  // "b1#引号><a href=#引号" ... "Index.html#引号 id="
  const Text path = text::text_between(page, "b1#\xD2\xFD\xBA\xC5><a href=#\xD2\xFD\xBA\xC5",
                                       "Index.html#\xD2\xFD\xBA\xC5 id=");
  QUILLREAP_FUZZ_CHECK(page.find(path) != std::string::npos);
}

void cut_index_page(const Text& page) {
  text::TextArray entries;
  text::text_between_all(page, "<li><strong ><a ", "</strong ></li>", entries, false, 0, {}, "'");
  for (const Text& entry : entries) {
    QUILLREAP_FUZZ_CHECK(!entry.empty() && entry.back() == '\'');
    // "href=#引号" ... "#引号 title="
    (void)text::text_between(entry, "href=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5 title=");
    (void)text::text_between(entry, ">", "</a>");
  }
}

void cut_chapter_page(const Text& page, const quillreap::sources::SiteConfig& config) {
  // "contentbox#引号><br />"
  constexpr std::string_view kLeft = "contentbox#\xD2\xFD\xBA\xC5><br />";
  constexpr std::string_view kRight = "<br /><br /></div>";
  if (!quillreap::sources::has_markers(page, kLeft, kRight)) return;
  const Text clean =
      quillreap::sources::clean_source2_chapter(text::text_between(page, kLeft, kRight), config);
  QUILLREAP_FUZZ_CHECK(clean.find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const quillreap::sources::SiteConfig config = quillreap::sources::SiteConfig::defaults();
  FuzzedDataProvider input(data, size);
  const int kind = input.ConsumeIntegralInRange<int>(0, 3);
  const std::string raw = input.ConsumeRemainingBytesAsString();
  const Text page = text::to_text(text::Bytes(raw.begin(), raw.end()));
  switch (kind) {
    case 0:
      cut_search_page(page);
      break;
    case 1:
      cut_book_page(page);
      break;
    case 2:
      cut_index_page(page);
      break;
    default:
      cut_chapter_page(page, config);
      break;
  }
  return 0;
}
