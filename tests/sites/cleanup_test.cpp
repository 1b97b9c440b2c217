// The chapter cleaning of both built-in site files, pair order included, and the page
// markers.
#include <gtest/gtest.h>

#include "sites/builtin_sites.hpp"
#include "sites/page.hpp"
#include "sites/status_texts.hpp"
#include "tests/support/sites/test_site_config.hpp"

namespace quillreap::sites {
namespace {

Text clean_source1_chapter(const Text& chapter) {
  return builtin_pages(kSource1Id, test_site_config()).clean_chapter(chapter);
}

Text clean_source2_chapter(const Text& chapter, const SiteConfig& config) {
  return builtin_pages(kSource2Id, config).clean_chapter(chapter);
}

TEST(Source1Cleanup, EntitiesAndLineBreaks) {
  EXPECT_EQ(clean_source1_chapter("a&nbsp;b&NBSP;c"), "a b c");
  EXPECT_EQ(clean_source1_chapter("a<BR />b"), "a\r\nb");
  EXPECT_EQ(clean_source1_chapter("a<br>b"), "a<br>b");  // without the slash it stays
  EXPECT_EQ(clean_source1_chapter("无标记"), "无标记");
}

TEST(Source1Cleanup, RunsOfLineBreaksAreHalvedInOnePass) {
  const auto breaks = [](int n) {
    Text out;
    for (int i = 0; i < n; ++i) out += "<br />";
    return "a" + out + "b";
  };
  EXPECT_EQ(clean_source1_chapter(breaks(1)), "a\r\nb");
  EXPECT_EQ(clean_source1_chapter(breaks(2)), "a\r\nb");
  EXPECT_EQ(clean_source1_chapter(breaks(3)), "a\r\n\r\nb");
  EXPECT_EQ(clean_source1_chapter(breaks(4)), "a\r\n\r\nb");
  EXPECT_EQ(clean_source1_chapter(breaks(5)), "a\r\n\r\n\r\nb");
  // The page's own line breaks join the run.
  EXPECT_EQ(clean_source1_chapter("a<br />\r\nb"), "a\r\nb");
}

TEST(Source2Cleanup, EntitiesAndLineBreaks) {
  const SiteConfig config = test_site_config();
  EXPECT_EQ(clean_source2_chapter("a&nbsp;b", config), "a b");
  EXPECT_EQ(clean_source2_chapter("a<br>b<BR>c", config), "a\r\nb\r\nc");
  EXPECT_EQ(clean_source2_chapter("a<br />b", config), "a<br />b");
}

TEST(Source2Cleanup, RemovesAnchorsSloganAndEveryAdvertisingSentence) {
  const SiteConfig config = test_site_config();
  const auto ads = source2_ad_sentences(config);
  const Text link = "<a href=\"//127.0.0.1:3\" target=\"_blank\">-127.0.0.1:3-</a>";
  const Text name = "<a href=\"//127.0.0.1:3\" target=\"_blank\">-五二小说网-</a>";
  const Text slogan = "请大家搜索看最全！更新最快的小说";
  EXPECT_EQ(clean_source2_chapter("一" + link + "二" + name + "三" + slogan, config), "一二三");
  for (const Text& ad : ads)
    EXPECT_EQ(clean_source2_chapter("甲" + ad + "乙" + ad + "丙", config), "甲乙丙") << ad;
  // Letters of the site's own anchors match in any case.
  EXPECT_EQ(clean_source2_chapter("<A HREF=\"//127.0.0.1:3\" target=\"_BLANK\">-127.0.0.1:3-</A>",
                                  config),
            "");
}

TEST(Source2Cleanup, PairsApplyInTableOrderToTheRunningText) {
  const SiteConfig config = test_site_config();
  const auto ads = source2_ad_sentences(config);
  // The page wrote the sentence's space as "&nbsp;": pair 1 has made it a space again.
  Text nbsp_ad = ads[0];
  nbsp_ad.replace(nbsp_ad.rfind(' '), 1, "&nbsp;");
  EXPECT_EQ(clean_source2_chapter("甲" + nbsp_ad + "乙", config), "甲乙");
  // Sentence 2 goes before sentence 1, so sentence 1 split by sentence 2 is found whole.
  const Text split = ads[0].substr(0, 6) + ads[1] + ads[0].substr(6);
  EXPECT_EQ(clean_source2_chapter(split, config), "");
  // The second table sees the first table's output: sentence 4 split by sentence 1.
  const Text split4 = ads[3].substr(0, 4) + ads[0] + ads[3].substr(4);
  EXPECT_EQ(clean_source2_chapter(split4, config), "");
  // ...but the first table never sees the second's: sentence 1 split by sentence 4 stays.
  const Text split1 = ads[0].substr(0, 6) + ads[3] + ads[0].substr(6);
  EXPECT_EQ(clean_source2_chapter(split1, config), ads[0]);
}

TEST(Markers, PresenceTellsMissingFromEmpty) {
  EXPECT_TRUE(has_markers("<div id=\"nr1\"></div>", "nr1\">", "</div>"));
  EXPECT_FALSE(has_markers("<div id=\"nr1\">text", "nr1\">", "</div>"));
  EXPECT_FALSE(has_markers("</div><div id=\"nr1\">", "nr1\">", "</div>"));
  EXPECT_FALSE(has_markers("", "nr1\">", "</div>"));
  EXPECT_TRUE(has_markers("contentbox\"><br /><br /><br /></div>", "contentbox#引号><br />",
                          "<br /><br /></div>"));
  EXPECT_FALSE(has_markers("CONTENTBOX\"><br />x<br /><br /></div>", "contentbox#引号><br />",
                           "<br /><br /></div>"));
}

}  // namespace
}  // namespace quillreap::sites
