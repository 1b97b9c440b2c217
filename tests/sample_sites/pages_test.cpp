// The sample sites' pages: each page kind answers in its encoding and carries the markers
// the searches and downloads cut, built from the hosts and texts the sites serve with; the
// generated books at the asked size, and serials that grow while the sites serve.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/sample_sites/plain_client.hpp"
#include "tests/support/sites/test_site_config.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::sample_sites {
namespace {

std::string utf8(const char8_t* text) {
  return reinterpret_cast<const char*>(text);
}

class SampleSitesPages : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { sites_ = new SampleSites(); }
  static void TearDownTestSuite() {
    delete sites_;
    sites_ = nullptr;
  }
  static Reply search(const std::string& word, const std::string& id = "1000000000000000001") {
    return http_get(sites_->search_host(), "/cse/search?q=" + word + "&s=" + id + "&nsid=&entry=1");
  }
  static Reply source1(const std::string& target) {
    return http_get(sites_->source1_host(), target);
  }
  static Reply source2(const std::string& target) {
    return http_get(sites_->source2_host(), target);
  }
  static SampleSites* sites_;
};
SampleSites* SampleSitesPages::sites_ = nullptr;

TEST_F(SampleSitesPages, ConfigNamesTheRunningServers) {
  sites::SiteConfig config = sites_->config();
  EXPECT_EQ(config.search_host, sites_->search_host());
  EXPECT_EQ(config.source1_host, sites_->source1_host());
  EXPECT_EQ(config.source2_host, sites_->source2_host());
  EXPECT_EQ(config.source2_label, sites_->source2_host() + "/");
  sites::SiteConfig defaults = sites::SiteConfig::defaults();
  EXPECT_EQ(config.search_id, defaults.search_id);
  EXPECT_EQ(sites_->source1_host().rfind("127.0.0.1:", 0), 0u);
}

TEST_F(SampleSitesPages, SearchServiceAnswersUtf8HitsWithMarkedNames) {
  Reply reply = search("西游");  // raw GBK bytes in the request line
  ASSERT_EQ(reply.status, 200);
  EXPECT_NE(reply.head.find("charset=utf-8"), std::string::npos);
  EXPECT_EQ(count(reply.body, "result-game-item-detail"), 2);
  EXPECT_EQ(count(reply.body, utf8(u8"更新状态：</span>")), 2);
  EXPECT_NE(reply.body.find(utf8(u8"title=\"<em>西游</em>记\"")), std::string::npos);
  EXPECT_NE(reply.body.find(utf8(u8"title=\"<EM>西游</EM>补\"")), std::string::npos);
  // Attributes spread over lines and spaces; links point at source 1.
  EXPECT_NE(reply.body.find("href=\"http://" + sites_->source1_host() + "/1_1/\" \r\n"),
            std::string::npos);
  EXPECT_NE(reply.body.find(utf8(u8"作者：</span>\r\n                <span>\r\n")),
            std::string::npos);
  // The second hit has no introduction.
  EXPECT_EQ(count(reply.body, "result-game-item-desc"), 1);
  EXPECT_EQ(reply.body.find("西游"), std::string::npos) << "no GBK bytes on a UTF-8 page";
}

TEST_F(SampleSitesPages, SearchServiceWordsAndIdentifier) {
  EXPECT_EQ(count(search("").body, "result-game-item-detail"), 4) << "empty word lists all";
  EXPECT_EQ(count(search("红楼").body, "result-game-item-detail"), 0);
  EXPECT_EQ(count(search("西游", "1000000000000000002").body, "result-game-item-detail"), 0);
  // A space may come escaped; "&" and "#" inside the word do not split it.
  EXPECT_EQ(count(search("%20三国").body, "result-game-item-detail"), 0);
  EXPECT_EQ(count(search("三国&s=1#").body, "result-game-item-detail"), 0);
  EXPECT_EQ(count(search("三国").body, "result-game-item-detail"), 1);
  EXPECT_EQ(http_get(sites_->search_host(), "/other").status, 404);
}

TEST_F(SampleSitesPages, Source1BookIndexAndChapterPages) {
  Reply book = source1("/1_1/");
  ASSERT_EQ(book.status, 200);
  EXPECT_NE(book.head.find("charset=gbk"), std::string::npos);
  std::string block = cut(book.body, "开始阅读</a></span>", ">查看目录");
  EXPECT_EQ(cut(block, "<a href=\"", "\""), "/1_1/index.html");
  EXPECT_EQ(book.body.find("Warning"), std::string::npos);
  EXPECT_NE(book.body.find("warning"), std::string::npos);
  EXPECT_NE(source1("/4_4/").body.find("<b>Warning</b>"), std::string::npos);

  Reply index = source1("/3_3/index.html");
  EXPECT_EQ(count(index.body, "<li><a href='"), 3);
  EXPECT_NE(index.body.find("<li><a href='/3_3/1.html'>卷首词 '临江仙'<span></span></a></li>"),
            std::string::npos);
  EXPECT_NE(index.body.find("謀"), std::string::npos) << "a title with a 0x5C trail byte";

  std::string text = cut(source1("/1_1/2.html").body, "nr1\">", "</div>");
  EXPECT_EQ(text.rfind("&nbsp;&nbsp;&nbsp;&nbsp;话表美猴王", 0), 0u);
  EXPECT_NE(text.find("<br /><br /><br />"), std::string::npos);
  EXPECT_NE(cut(source1("/1_1/3.html").body, "nr1\">", "</div>").find("<BR /><BR />"),
            std::string::npos);
  EXPECT_EQ(source1("/1_1/4.html").status, 404);
  EXPECT_EQ(source1("/9_9/").status, 404) << "no big book unless asked for";
  EXPECT_EQ(source1("/").status, 200);
}

TEST_F(SampleSitesPages, Source2SearchPage) {
  Reply all = source2("/Book/Search.aspx?SearchKey=&SearchClass=1");
  ASSERT_EQ(all.status, 200);
  EXPECT_NE(all.head.find("charset=gbk"), std::string::npos);
  EXPECT_EQ(count(all.body, "CListTitle"), 2);
  std::string hit = cut(source2("/Book/Search.aspx?SearchKey=西游&SearchClass=1").body,
                        "CListTitle", "...</div>");
  EXPECT_EQ(cut(hit, "<a href=\"", "\" target=\"_blank\"><b>"), "/Book/1001.aspx");
  EXPECT_EQ(cut(hit, "<b>", "</b>"), "西游记");
  EXPECT_EQ(cut(cut(hit, "Author", "| <a href"), "shtml\">", "</a>"), "吴承恩");
  EXPECT_EQ(cut(hit + "...</div>", "CListText\">", "...</div>"),
            "混沌未分天地乱，茫茫渺渺无人见。自从盘古破鸿蒙，开辟从兹清浊辨");
  std::string empty_intro = source2("/Book/Search.aspx?SearchKey=三国&SearchClass=1").body;
  EXPECT_NE(empty_intro.find("<div class=\"CListText\">...</div>"), std::string::npos);
  EXPECT_EQ(count(source2("/Book/Search.aspx?SearchKey=西游&x#&SearchClass=1").body, "CListTitle"),
            0);
}

TEST_F(SampleSitesPages, Source2BookIndexAndChapterPages) {
  Reply book = source2("/Book/1003.aspx");
  ASSERT_EQ(book.status, 200);
  EXPECT_EQ(cut(book.body, "b1\"><a href=\"", "Index.html\" id="), "/Html/1003/");
  Reply index = source2("/Html/1003/Index.html");
  EXPECT_EQ(count(index.body, "<li><strong ><a "), 3);
  EXPECT_NE(index.body.find("<li><strong ><a href=\"1.html\" title=\"卷首词 '临江仙'\">卷首词 "
                            "'临江仙'</a></strong ></li>"),
            std::string::npos);
  std::string page = source2("/Html/1003/2.html").body;
  EXPECT_NE(page.find("contentbox\"><br />&nbsp;&nbsp;&nbsp;&nbsp;话说天下大势"),
            std::string::npos);
  EXPECT_NE(page.find("<br /><br /></div>"), std::string::npos);
  const std::string host = sites_->source2_host();
  EXPECT_NE(page.find("<a href=\"//" + host + "\" target=\"_blank\">-" + host + "-</a>"),
            std::string::npos);
  EXPECT_EQ(source2("/Html/1003/4.html").status, 404);
  EXPECT_EQ(source2("/Book/1002.aspx").status, 404);
}

// The pages carry the anchors and sentences source 2's site file names.
TEST(SampleSitesConfig, Source2ChaptersUseTheSiteFilesTexts) {
  SampleSites sites;
  const std::string host = sites.source2_host();
  const auto ads = sites::source2_ad_sentences(sites.config());
  std::string all;
  for (int n = 1; n <= 3; ++n)
    all += http_get(host, text::concat("/Html/1001/", std::to_string(n), ".html")).body;
  EXPECT_NE(all.find(text::concat("<a href=\"//", host, "\" target=\"_blank\">-五二小说网-</a>")),
            std::string::npos);
  EXPECT_NE(all.find(text::concat("<a href=\"//", host, "\" target=\"_blank\">-", host, "-</a>")),
            std::string::npos);
  for (int k = 0; k < 3; ++k) EXPECT_NE(all.find(ads[k]), std::string::npos) << k;
  std::string nbsp_ad = ads[3];
  nbsp_ad.replace(nbsp_ad.rfind(' '), 1, "&nbsp;");
  EXPECT_NE(all.find(nbsp_ad), std::string::npos) << "one written with &nbsp;";
  EXPECT_NE(all.find("请大家搜索看最全！更新最快的小说"), std::string::npos);
  EXPECT_NE(all.find("<BR><BR>"), std::string::npos);
}

TEST(SampleSitesBigBook, BothSourcesServeItAtTheAskedSize) {
  SampleSites sites(sites::SiteConfig::defaults(), {}, BigBook{5, 1001});
  EXPECT_EQ(count(http_get(sites.search_host(),
                           "/cse/search?q=测试巨著&s=1000000000000000001&nsid=&entry=1")
                      .body,
                  "result-game-item-detail"),
            1);
  EXPECT_EQ(
      count(
          http_get(sites.source2_host(), "/Book/Search.aspx?SearchKey=测试巨著&SearchClass=1").body,
          "CListTitle"),
      1);
  EXPECT_EQ(count(http_get(sites.source1_host(), "/9_9/index.html").body, "<li><a href='"), 5);
  EXPECT_EQ(count(http_get(sites.source2_host(), "/Html/9999/Index.html").body, "<li><strong ><a "),
            5);
  std::string text1 = cut(http_get(sites.source1_host(), "/9_9/5.html").body, "nr1\">", "</div>");
  std::string text2 = cut(http_get(sites.source2_host(), "/Html/9999/3.html").body,
                          "contentbox\"><br />", "<br /><br /></div>");
  EXPECT_EQ(text1.size(), 1001u);
  EXPECT_EQ(text2.size(), 1001u);
  EXPECT_NE(text1.find("<br /><br />&nbsp;"), std::string::npos);
  EXPECT_NE(text2.find("<br><br>&nbsp;"), std::string::npos);
  EXPECT_EQ(http_get(sites.source1_host(), "/9_9/6.html").status, 404);
}

// Grown by a known number of chapters on both sources, the earlier index entries and pages
// as they were, so a store keeps them and an update fetches exactly the new chapters.
TEST(SampleSitesSerials, GrowOnBothSourcesKeepingTheirEarlierChapters) {
  const struct {
    int source;
    const char *search, *hit;  // the search listing every serial, and what each hit holds
    const char *book, *other_book, *entry, *text_left, *text_right;  // book: serial 2's folder
  } cases[] = {
      {1, "/cse/search?q=连载&s=1000000000000000001&nsid=&entry=1", "result-game-item-detail",
       "/8_2/", "/8_1/", "<li><a href='", "nr1\">", "</div>"},
      {2, "/Book/Search.aspx?SearchKey=连载&SearchClass=1", "CListTitle", "/Html/80002/",
       "/Html/80001/", "<li><strong ><a ", "contentbox\"><br />", "<br /><br /></div>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.book);
    SampleSites sites(sites::SiteConfig::defaults(), {}, {}, {}, Serials{2, 3, 700});
    const bool source1 = c.source == 1;
    const std::string host = source1 ? sites.source1_host() : sites.source2_host();
    const std::string index = source1 ? "index.html" : "Index.html";
    const auto page = [&](const std::string& folder, const std::string& file) {
      return http_get(host, folder + file);
    };
    EXPECT_EQ(count(http_get(source1 ? sites.search_host() : host, c.search).body, c.hit), 2);
    const std::string before = cut(page(c.book, index).body, "<ul>", "</ul>");
    EXPECT_EQ(count(before, c.entry), 3);
    EXPECT_EQ(page(c.book, "4.html").status, 404);
    const std::string first = page(c.book, "1.html").body;

    EXPECT_EQ(sites.grow_serials(2), 5);
    const std::string after = cut(page(c.book, index).body, "<ul>", "</ul>");
    EXPECT_EQ(count(after, c.entry), 5);
    EXPECT_EQ(after.rfind(before, 0), 0u) << "the earlier entries stay as they were";
    EXPECT_EQ(page(c.book, "1.html").body, first);
    EXPECT_EQ(cut(page(c.book, "5.html").body, c.text_left, c.text_right).size(), 700u);
    EXPECT_EQ(page(c.book, "6.html").status, 404);
    EXPECT_EQ(count(page(c.other_book, index).body, c.entry), 5) << "every serial grows";
  }
}

}  // namespace
}  // namespace quillreap::sample_sites
