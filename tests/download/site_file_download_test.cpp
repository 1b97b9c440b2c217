// A site of the common small-site kind, known only by its site file: UTF-8 pages, the
// index on the book page as <dd> links relative to it, a chapter split over two pages,
// an advertising line, a character GBK lacks. Searched and downloaded against loopback
// pages.
#include <gtest/gtest.h>

#include "download/book_download.hpp"
#include "sites/site_search.hpp"
#include "tests/support/page_server.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/sites/example_site.hpp"
#include "tests/support/sites/test_site_config.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

std::string utf8(std::u8string_view text) {
  return std::string(text.begin(), text.end());
}

class SiteFileDownload : public ::testing::Test {
 protected:
  SiteFileDownload()
      : config_(sites::test_site_config()), pages_(sites::example_site(site_.host())) {
    config_.connections = 1;
    const std::string meta = "<meta charset=\"utf-8\">";
    site_.page("/book/7/", meta + utf8(u8"<dl><dt>正文</dt><dd><a href=\"1.html\">第一章</a></dd>"
                                       u8"<dd><a href=\"../7/2.html\">第二章</a></dd></dl>"));
    site_.page("/book/7/1.html",
               meta + utf8(u8"<div id=\"content\">甲\u2603&nbsp;<br />天才一秒记住本站"
                           u8"<br /><script>x()</script></div>"
                           u8"<a id=\"next\" href=\"1_2.html\">下一页</a>"));
    site_.page("/book/7/1_2.html", meta + utf8(u8"<div id=\"content\">乙</div>"
                                               u8"<a id=\"next\" href=\"2.html\">下一章</a>"));
    site_.page("/book/7/2.html", meta + utf8(u8"<div id=\"content\">丙</div>"));
  }

  test_support::PageServer site_;
  sites::SiteConfig config_;
  sites::SourcePages pages_;
  test_support::TempFolder dir_;
  test_support::RecordingReport<download::Report> controls_;
};

TEST_F(SiteFileDownload, JoinsAChaptersPagesAndCleansItInOrder) {
  const Text address = "http://" + site_.host() + "/book/7/";
  EXPECT_EQ(download_book(address, "书", controls_, config_, dir_.text(), pages_),
            books::BookOutcome::kComplete);
  const auto bytes = text::read_file(dir_.text() + "/书.txt");
  ASSERT_TRUE(bytes);
  EXPECT_EQ(Text(bytes->begin(), bytes->end()),
            "书\r\n\r\n\r\n\r\n第一章\r\n\r\n甲? \r\n乙\r\n\r\n第二章\r\n\r\n丙");
}

TEST_F(SiteFileDownload, SearchSendsTheWordInUtf8AndResolvesHits) {
  site_.page("/search.php?q=%E8%A5%BF%E6%B8%B8",
             "<meta charset=\"utf-8\">" +
                 utf8(u8"<div class=\"hit\"><a href=\"book/7/\">西游记</a><span>吴承恩</span>"
                      u8"<p>取经</p></div>"));
  EXPECT_EQ(sites::search_site("西游", controls_, config_, pages_), "搜索完成!");
  EXPECT_EQ(controls_.list_get_cell(0, 0), "http://" + site_.host() + "/book/7/");
  EXPECT_EQ(controls_.list_get_cell(0, 1), "西游记");
  EXPECT_EQ(controls_.list_get_cell(0, 2), "取经");
  EXPECT_EQ(controls_.list_get_cell(0, 3), "吴承恩");
  EXPECT_EQ(controls_.status_history().front(), "正在笔下文学搜索中.");
}

}  // namespace
}  // namespace quillreap::download
