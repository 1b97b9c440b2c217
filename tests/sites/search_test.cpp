// Both searches against small loopback pages: what each hit's markup gives cell by cell,
// where cutting ignores letter case and where it does not, and how the word is sent.
#include <gtest/gtest.h>

#include "sites/site_search.hpp"
#include "tests/support/page_server.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/sites/test_site_config.hpp"

namespace quillreap::sites {

using test_support::PageServer;
namespace {

// The service answers in UTF-8; test sources are compiled to GBK, so pages are u8 texts.
std::string utf8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

// One hit of the site-search service's result page.
std::u8string service_hit(std::u8string_view link_attributes, std::u8string_view description,
                          std::u8string_view author) {
  return std::u8string(
             u8"<div class=\"result-game-item-detail\">\r\n"
             u8"  <h3 class=\"result-item-title result-game-item-title\">\r\n"
             u8"    <a cpos=\"title\" ") +
         std::u8string(link_attributes) + u8" target=\"_blank\"></a>\r\n  </h3>\r\n" +
         std::u8string(description) +
         u8"  <div class=\"result-game-item-info\"><p><span class=\"preBold\">作者：</span><span>" +
         std::u8string(author) +
         u8"</span></p>\r\n  <p><span class=\"preBold\">更新状态：</span>连载</p></div></div>\r\n";
}

// The hit with its opening class name in capitals.
std::u8string capitalised(std::u8string hit) {
  const std::u8string_view from = u8"result-game-item-detail";
  return hit.replace(hit.find(from), from.size(), u8"RESULT-GAME-ITEM-DETAIL");
}

class Searches : public ::testing::Test {
 protected:
  Searches() : config_(test_site_config(site_.host(), "127.0.0.1:2", site_.host())) {}

  Text cell(int row, int column) { return controls_.list_get_cell(row, column); }
  void expect_row(int row, const Text& address, const Text& name, const Text& introduction,
                  const Text& author) {
    EXPECT_EQ(cell(row, 0), address) << "row " << row;
    EXPECT_EQ(cell(row, 1), name) << "row " << row;
    EXPECT_EQ(cell(row, 2), introduction) << "row " << row;
    EXPECT_EQ(cell(row, 3), author) << "row " << row;
    EXPECT_EQ(cell(row, 4), "") << "row " << row;
  }
  static constexpr const char* kService = "/cse/search?q=x&s=1000000000000000001&nsid=&entry=1";

  PageServer site_;
  SiteConfig config_;
  test_support::RecordingReport<sites::SearchReport> controls_;
};

TEST_F(Searches, Source1CutsEachCellFromTheCleanedHit) {
  site_.page(kService,
             utf8(u8"<html><body>" +
                  service_hit(u8"href=\"http://b/1/\" title=\"三<em>国</em>演 义\" class=\"t\"",
                              u8"<p class=\"result-game-item-desc\">东汉末年,\r\n天下大乱</p>",
                              u8"罗贯中") +
                  // Capitals open a hit too, and the highlight tags go in any case.
                  capitalised(service_hit(
                      u8"href = \"http://b/2/\"\r\n title=\"<EM>水浒</EM>传\"  class=\"t\"", u8"",
                      u8"施耐庵")) +
                  u8"</body></html>"));
  controls_.list_append_row();  // rows already listed stay, new ones come after them
  EXPECT_EQ(search_source1("x", controls_, config_), "搜索完成!");
  ASSERT_EQ(controls_.row_count(), 3);
  // Spaces and line breaks go before the cut, inside the cells as well.
  expect_row(1, "http://b/1/", "三国演义", "东汉末年,天下大乱", "罗贯中");
  expect_row(2, "http://b/2/", "水浒传", "暂无简介", "施耐庵");
  EXPECT_EQ(controls_.selected_row(), 0);
  EXPECT_EQ(controls_.status_history(), (std::vector<Text>{"正在源站①搜索中."}));
}

TEST_F(Searches, Source1CellMarkersMatchExactCase) {
  site_.page(kService, utf8(service_hit(u8"HREF=\"http://b/1/\" title=\"书\" class=\"t\"",
                                        u8"<p class=\"RESULT-GAME-ITEM-DESC\">简介</p>", u8"某")));
  search_source1("x", controls_, config_);
  ASSERT_EQ(controls_.row_count(), 1);
  expect_row(0, "", "书", "暂无简介", "某");
}

TEST_F(Searches, Source1UnclosedLastHitEndsTheCutting) {
  site_.page(kService,
             utf8(service_hit(u8"href=\"http://b/1/\" title=\"甲\" class=\"t\"", u8"", u8"某") +
                  service_hit(u8"href=\"http://b/2/\" title=\"乙\" class=\"t\"", u8"", u8"谁") +
                  u8"<div class=\"result-game-item-detail\"> title=\"残\" class"));
  search_source1("x", controls_, config_);
  ASSERT_EQ(controls_.row_count(), 2);
  expect_row(0, "http://b/1/", "甲", "暂无简介", "某");
  expect_row(1, "http://b/2/", "乙", "暂无简介", "谁");
}

TEST_F(Searches, Source1SendsTheWordUnescapedAndListsNothingOnFailure) {
  // No page at this target: the 404 lists no rows and the search still completes.
  EXPECT_EQ(search_source1("三体&#1", controls_, config_), "搜索完成!");
  EXPECT_EQ(controls_.row_count(), 0);
  ASSERT_EQ(site_.targets().size(), 1u);
  EXPECT_EQ(site_.targets()[0], "/cse/search?q=三体&#1&s=1000000000000000001&nsid=&entry=1");
  site_.page(kService, "<html>no results</html>");
  search_source1("x", controls_, config_);
  EXPECT_EQ(controls_.row_count(), 0);
}

// One hit of the source 2 search page.
Text site_hit(const Text& title_markup, const Text& author_markup, const Text& text_markup) {
  return "<div class=\"CListTitle\">" + title_markup + "</div>\r\n<div class=\"CListAuthor\">" +
         author_markup + "</div>\r\n" + text_markup + "\r\n";
}

TEST_F(Searches, Source2CutsEachCellFromTheHit) {
  const Text prefix = "http://" + site_.host();
  site_.page(
      "/Book/Search.aspx?SearchKey=x&SearchClass=1",
      "<html>" +
          site_hit("<a href=\"/Book/12/\" target=\"_blank\"><b>西游记</b></a>",
                   "Author: <a href=\"/author/w.shtml\">吴承恩</a> | <a href=\"/i\">目录</a>",
                   "<div class=\"CListText\">花果山...</div>") +
          // No link gives the prefix alone. The hit is trimmed before "...</div>" goes back
          // on, so an introduction of spaces comes out empty.
          site_hit("<b>红楼梦</b>", "Author: <a href=\"/author/c.htm\">曹雪芹</a> | <a href",
                   "<div class=\"CListText\">   ...</div>") +
          // Lower case still opens a hit; a closing bold tag in capitals gives no name.
          "<div class=\"clisttitle\"><a href=\"/Book/9/\" target=\"_blank\"><b>大</B></a>"
          "<div class=\"CListAuthor\">作者不详</div><div>...</div>"
          // Only spaces between the markers: no hit.
          "<div class=\"CLISTTITLE   ...</div>"
          // No "...</div>" behind this one: the cutting ends here.
          "<div class=\"CListTitle\"><b>残</b></div></html>");
  EXPECT_EQ(search_source2("x", controls_, config_), "搜索完成!");
  ASSERT_EQ(controls_.row_count(), 3);
  expect_row(0, prefix + "/Book/12/", "西游记", "花果山", "吴承恩");
  expect_row(1, prefix, "红楼梦", "暂无简介", "");
  expect_row(2, prefix + "/Book/9/", "", "暂无简介", "");
  EXPECT_EQ(controls_.selected_row(), 0);
  EXPECT_EQ(controls_.status_history(), (std::vector<Text>{"正在源站②搜索中."}));
}

TEST_F(Searches, Source2SendsTheWordUnescapedAndListsNothingOnFailure) {
  EXPECT_EQ(search_source2("三体&#1", controls_, config_), "搜索完成!");
  EXPECT_EQ(controls_.row_count(), 0);
  ASSERT_EQ(site_.targets().size(), 1u);
  EXPECT_EQ(site_.targets()[0], "/Book/Search.aspx?SearchKey=三体&#1&SearchClass=1");
}

}  // namespace
}  // namespace quillreap::sites
