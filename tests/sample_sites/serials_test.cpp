// The serials on both sources: listed by the search, and grown by a known number of
// chapters while the sites serve, the earlier index entries left as they were, so a store
// keeps them and an update fetches exactly the new chapters.
#include <gtest/gtest.h>

#include <string>

#include "tests/sample_sites/plain_client.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::sample_sites {
namespace {

TEST(SampleSitesSerials, GrowOnBothSourcesKeepingTheirEarlierChapters) {
  const struct {
    int source;
    const char* search;  // the search listing every serial, on the source's own host
    const char* hit;     // what each hit on that page holds once
    const char* index;   // serial 2's index
    const char* entry;
    const char* chapter;  // serial 2's chapter page, the number appended
    const char* text_left;
    const char* text_right;
  } cases[] = {
      {1, "/cse/search?q=连载&s=1000000000000000001&nsid=&entry=1", "result-game-item-detail",
       "/8_2/index.html", "<li><a href='", "/8_2/", "nr1\">", "</div>"},
      {2, "/Book/Search.aspx?SearchKey=连载&SearchClass=1", "CListTitle", "/Html/80002/Index.html",
       "<li><strong ><a ", "/Html/80002/", "contentbox\"><br />", "<br /><br /></div>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    SampleSites sites(sites::SiteConfig::defaults(), {}, {}, {}, Serials{2, 3, 700});
    const std::string host = c.source == 1 ? sites.source1_host() : sites.source2_host();
    const auto chapter = [&](int n) {
      return http_get(host, c.chapter + std::to_string(n) + ".html");
    };
    const std::string search_host = c.source == 1 ? sites.search_host() : host;
    EXPECT_EQ(count(http_get(search_host, c.search).body, c.hit), 2);
    const std::string before = cut(http_get(host, c.index).body, "<ul>", "</ul>");
    EXPECT_EQ(count(before, c.entry), 3);
    EXPECT_EQ(chapter(4).status, 404);
    const std::string first = chapter(1).body;

    EXPECT_EQ(sites.grow_serials(2), 5);
    const std::string after = cut(http_get(host, c.index).body, "<ul>", "</ul>");
    EXPECT_EQ(count(after, c.entry), 5);
    EXPECT_EQ(after.rfind(before, 0), 0u) << "the earlier entries stay as they were";
    EXPECT_EQ(chapter(1).body, first);
    EXPECT_EQ(cut(chapter(5).body, c.text_left, c.text_right).size(), 700u);
    EXPECT_EQ(chapter(6).status, 404);
    EXPECT_EQ(
        count(http_get(host, c.source == 1 ? "/8_1/index.html" : "/Html/80001/Index.html").body,
              c.entry),
        5)
        << "every serial grows";
  }
}

}  // namespace
}  // namespace quillreap::sample_sites
