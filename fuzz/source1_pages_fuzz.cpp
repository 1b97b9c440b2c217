// Fuzzes source 1's page cuts, its site file run by the interpreter as its search and
// download run it: the UTF-8
// search page into hits, the book page into the index address, the index into chapter
// links and titles, and a chapter page into clean text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "sites/builtin_sites.hpp"
#include "text/codepage.hpp"
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
  static const sites::SourcePages value = sites::builtin_pages(sites::kSource1Id, config());
  return value;
}

void cut_book_page(const Text& page) {
  if (pages().faulty_book(page)) return;
  const Text address = pages().index_address(page, {});
  const Text prefix = "http://" + config().source1_host;
  QUILLREAP_FUZZ_CHECK(address.compare(0, prefix.size(), prefix) == 0);
  QUILLREAP_FUZZ_CHECK(page.find(address.substr(prefix.size())) != std::string::npos);
}

void cut_index_page(const Text& page) {
  for (const Text& entry : pages().index_entries(page)) {
    QUILLREAP_FUZZ_CHECK(!entry.empty() && entry.back() == '\'');
    const sites::ChapterLink link = pages().chapter_link(entry, {});
    QUILLREAP_FUZZ_CHECK(link.title.size() < entry.size());
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
  const text::Bytes body(raw.begin(), raw.end());
  // A page reaches the cuts as its text, which ends at the first zero byte.
  const Text page = text::to_text(body);
  switch (kind) {
    case 0:
      (void)pages().search_hits(text::utf8_to_ansi(body), {});
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
