// Checking a site against the sample sites' source 3: its own file passes step by step, and
// a file broken in one place stops at the step that needs it, naming what was missing.
#include <gtest/gtest.h>

#include "sites/site_check.hpp"
#include "tests/support/sites/example_site.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::sites {
namespace {

class SiteCheck : public ::testing::Test {
 protected:
  // The example file with its first `replaced` made `with`, checked with word.
  bool check(const Text& word, std::string_view replaced = {}, std::string_view with = {}) {
    const SourcePages pages = example_site(sites_.source3_host(), replaced, with);
    return check_site(pages, word, sites_.config(),
                      [this](const Text& line) { lines_.push_back(line); });
  }
  Text address(std::string_view path) const {
    return text::concat("http://", sites_.source3_host(), path);
  }

  // One serial of four chapters: its last, as every even one, stands on two pages.
  sample_sites::SampleSites sites_{SiteConfig::defaults(), {}, {}, {}, {1, 4}};
  std::vector<Text> lines_;
};

TEST_F(SiteCheck, ExampleSitePasses) {
  EXPECT_TRUE(check("连载"));
  EXPECT_EQ(lines_,
            (std::vector<Text>{
                text::concat("search 连载: 1 hit, first 连载1 ", address("/book/8_1/")),
                text::concat("book page: index at ", address("/book/8_1/"), " (on the book page)"),
                text::concat("index: 4 chapters, first 第1章 ", address("/book/8_1/1.html")),
                // A serial's chapters are all as long: the last one's two pages joined whole.
                "first chapter: 2272 characters after cleaning",
                "last chapter: 2272 characters after cleaning, from 2 pages"}));
}

TEST_F(SiteCheck, BrokenSiteStopsAtTheStepThatFailsAndSaysWhy) {
  struct Case {
    const char *word, *replaced, *with;  // replaced: the file's own text, UTF-8
    std::size_t step;                    // the failing line's place
    Text line;
  };
  const Case cases[] = {
      {"", "\"test_word\": \"\xE8\xA5\xBF\xE6\xB8\xB8\"", "\"test_word\": \"\"", 0,
       "search: failed: the site has no test word; give a word to search"},
      {"无此书", "", "", 0,
       "search 无此书: failed: no hits: the page lacks the hits list's left marker "
       "\"<div class=\"hit\">\""},
      {"", "<div class=\\\"hit\\\">", "<div class=\\\"hits\\\">", 0,
       "search 西游: failed: no hits: the page lacks the hits list's left marker "
       "\"<div class=\"hits\">\""},
      {"", "[\"href=\\\"\"", "[\"href=\\\"book/\"", 1,
       text::concat("book page: failed: HTTP status 404 at ", address("/1_1/"))},
      {"", "[\"<dd>\"", "[\"<dx>\"", 2,
       "index: failed: no entries: the page lacks the index list's left marker \"<dx>\""},
      {"", "[\"<div id=\\\"content\\\">\"", "[\"<div id=\\\"story\\\">\"", 3,
       text::concat("first chapter: failed: the page lacks the chapter text's left marker "
                    "\"<div id=\"story\">\" at ",
                    address("/book/1_1/1.html"))},
  };
  for (const Case& c : cases) {
    lines_.clear();
    EXPECT_FALSE(check(c.word, c.replaced, c.with)) << c.line;
    ASSERT_EQ(lines_.size(), c.step + 2) << c.line;  // the steps after it named as not tried
    EXPECT_EQ(lines_[c.step], c.line);
  }
}

}  // namespace
}  // namespace quillreap::sites
