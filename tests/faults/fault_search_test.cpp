// Searches through the controller against the fault site, on both sources: a page that
// cannot be had lists nothing, a page that can lists what it holds, and the search always
// ends with its completion text and the controls enabled again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/faults/fault_fixture.hpp"

namespace quillreap::faults {
namespace {

struct Search {
  Text status;
  std::vector<app::Row> rows;
  bool busy = true;
};

// Source choice 0 searches source 1 (through the site-search service), 1 source 2.
Search search(const std::string& word, int source, const sites::SiteConfig& config) {
  test_support::SpyControls controls;
  test_support::SpyShell shell(&controls.dispatcher());
  app::Controller controller(controls, shell, config, "");
  controls.set_search_word(word);
  controls.set_source_choice(source == 1 ? 0 : 1);
  controller.on_search();
  return {controls.status(), controls.rows(), controls.busy()};
}

TEST_F(FaultTest, SearchPageThatCannotBeHadListsNothing) {
  const std::vector<std::string> words = {"reset-book", "stall-book", "404-book", "500-book",
                                          "redirect-loop-book"};
  for (const std::string& word : words) {
    for (int source : {1, 2}) {
      const Search result = search(word, source, fault_config());
      EXPECT_EQ(result.status, sites::kSearchDone) << word << " " << source;
      EXPECT_TRUE(result.rows.empty()) << word << " " << source;
      EXPECT_FALSE(result.busy);
    }
  }
  sites::SiteConfig refused = fault_config();
  refused.search_host = site().refused_host();
  refused.source2_host = site().refused_host();
  for (int source : {1, 2}) {
    const Search result = search("plain", source, refused);
    EXPECT_EQ(result.status, sites::kSearchDone) << source;
    EXPECT_TRUE(result.rows.empty()) << source;
  }
}

TEST_F(FaultTest, OddSearchPagesListWhatTheyHold) {
  for (int source : {1, 2}) {
    // A 64 KB header block with 200 cookies: the page is read as usual.
    const Search headers = search("big-headers-book", source, fault_config());
    ASSERT_EQ(headers.rows.size(), 1u) << source;
    EXPECT_EQ(headers.rows[0][0], site().book_address("big-headers-book", source));
    EXPECT_EQ(headers.rows[0][1], "big-headers-book");

    // A zero byte ends the page: the hit behind it is not listed.
    const Search zero = search("nul-chapter", source, fault_config());
    EXPECT_EQ(zero.status, sites::kSearchDone);
    ASSERT_EQ(zero.rows.size(), 1u) << source;
    EXPECT_EQ(zero.rows[0][1], "nul-chapter");

    const Search bad = search("bad-gbk", source, fault_config());
    EXPECT_EQ(bad.status, sites::kSearchDone);
    ASSERT_EQ(bad.rows.size(), 1u) << source;
    // Source 2's page is GBK and its name cell keeps the bytes; source 1's page is UTF-8,
    // whose invalid bytes become '?'.
    if (source == 2)
      EXPECT_EQ(bad.rows[0][1], std::string(sample_sites::kBadGbkTitle));
    else
      EXPECT_NE(bad.rows[0][1].find('?'), std::string::npos) << bad.rows[0][1];
  }
}

TEST_F(FaultTest, BookFoundBehindABigHeaderBlockDownloadsFromItsRow) {
  for (int source : {1, 2}) {
    const Search found = search("big-headers-book", source, fault_config());
    ASSERT_EQ(found.rows.size(), 1u);
    const Text name = found.rows[0][1];
    const Download run = download(found.rows[0][0], name);
    EXPECT_EQ(run.status, books::written_line(name, 0)) << source;
    EXPECT_EQ(run.file, expected_book(name, true)) << source;
  }
}

}  // namespace
}  // namespace quillreap::faults
