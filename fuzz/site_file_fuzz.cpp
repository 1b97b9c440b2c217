// Fuzzes the site-file reader: any file a user writes either reads into a site or throws
// SiteFileError with a one-line message; nothing else escapes (the program starts with the
// other sites), and a site that reads runs its cuts on a page without harm.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.hpp"
#include "sites/site_file.hpp"
#include "sites/source_pages.hpp"

namespace sites = quillreap::sites;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string json(reinterpret_cast<const char*>(data), size);
  sites::SiteSettings settings;
  settings.values = {{"search_host", "s.test"}, {"search_id", "1"}};
  try {
    const sites::SourcePages pages(
        sites::make_site(sites::read_site_file(json, "f.json"), settings));
    const sites::Text page = "<dd><a href=\"1.html\">t</a></dd><div id=\"content\">x</div>";
    for (const sites::Text& entry : pages.index_entries(page))
      pages.chapter_link(entry, "http://h.test/b/");
    pages.chapter_text(page);
    pages.next_page(page, "http://h.test/b/1.html");
  } catch (const sites::SiteFileError& error) {
    const std::string what = error.what();
    QUILLREAP_FUZZ_CHECK(!what.empty() && what.find('\n') == std::string::npos);
  }
  return 0;
}
