// Fuzzes source 2's page cuts, its site file run by the interpreter as its search and
// download run it: the GBK
// search page into hits, the book page into the index directory, the index into chapter
// links and titles, and a chapter page cleaned with both of its tables.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "sites/builtin_sites.hpp"
#include "text/primitives.hpp"

namespace {

namespace sites = quillreap::sites;
namespace text = quillreap::text;
using text::Text;

const sites::SiteConfig& config() {
  static const sites::SiteConfig value = sites::SiteConfig::defaults();
  return value;
}

const sites::SourcePages& pages() {
  static const sites::SourcePages value = sites::builtin_pages(sites::kSource2Id, config());
  return value;
}

void cut_search_page(const Text& page) {
  const Text prefix = "http://" + config().source2_host;
  for (const sites::SearchHit& hit : pages().search_hits(page, {}))
    QUILLREAP_FUZZ_CHECK(hit.address.compare(0, prefix.size(), prefix) == 0);
}

void cut_book_page(const Text& page) {
  const Text address = pages().index_address(page, {});
  const Text prefix = "http://" + config().source2_host;
  QUILLREAP_FUZZ_CHECK(address.compare(0, prefix.size(), prefix) == 0);
  QUILLREAP_FUZZ_CHECK(page.find(address.substr(prefix.size())) != std::string::npos);
}

void cut_index_page(const Text& page) {
  const Text index = "http://" + config().source2_host + "/Book/1/";
  for (const Text& entry : pages().index_entries(page)) {
    QUILLREAP_FUZZ_CHECK(!entry.empty() && entry.back() == '\'');
    const sites::ChapterLink link = pages().chapter_link(entry, index);
    QUILLREAP_FUZZ_CHECK(link.address.compare(0, index.size(), index) == 0);
  }
}

void cut_chapter_page(const Text& page) {
  const auto clean = pages().chapter_text(page);
  if (clean) QUILLREAP_FUZZ_CHECK(clean->find('\0') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
      cut_chapter_page(page);
      break;
  }
  return 0;
}
