// Every sample book, fetched from the running sample sites and assembled by the book file
// layout (written out here, apart from the program's download code), gives exactly the
// bytes of its golden file, so the golden files and the served pages cannot drift apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/sample_sites/plain_client.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/sites/test_site_config.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::sample_sites {
namespace {

using test_support::golden_book;

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Every occurrence, left to right, starting only on GBK character boundaries, ASCII
// letters matching regardless of case.
std::string replace_all(const std::string& text, const std::string& find, const std::string& with) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    bool match = i + find.size() <= text.size();
    for (std::size_t k = 0; match && k < find.size(); ++k)
      match = fold(text[i + k]) == fold(find[k]);
    if (match) {
      out += with;
      i += find.size();
      continue;
    }
    std::size_t step = static_cast<unsigned char>(text[i]) >= 0x81 && i + 1 < text.size() ? 2 : 1;
    out.append(text, i, step);
    i += step;
  }
  return out;
}

std::vector<std::string> entries(const std::string& page, const std::string& left,
                                 const std::string& right) {
  std::vector<std::string> out;
  for (std::size_t at = page.find(left); at != std::string::npos; at = page.find(left, at + 1))
    out.push_back(cut(page, left, right, at) + "'");
  return out;
}

std::string download_source1(const std::string& host, const std::string& book_path,
                             const std::string& name) {
  std::string book = http_get(host, book_path).body;
  std::string index_path = cut(cut(book, "开始阅读</a></span>", ">查看目录"), "<a href=\"", "\"");
  std::string index = http_get(host, index_path).body;
  std::string out = name + "\r\n\r\n";
  for (const std::string& entry : entries(index, "<li><a href=", "<span></span></a></li>")) {
    std::string title = cut(entry, "'>", "'");
    std::string text = cut(http_get(host, cut(entry, "'", "'>")).body, "nr1\">", "</div>");
    text = replace_all(replace_all(text, "&nbsp;", " "), "<br />", "\r\n");
    out += "\r\n\r\n" + title + "\r\n\r\n" + replace_all(text, "\r\n\r\n", "\r\n");
  }
  return out;
}

std::string download_source2(const sites::SiteConfig& config, const std::string& book_path,
                             const std::string& name) {
  const std::string& host = config.source2_host;
  std::string dir = cut(http_get(host, book_path).body, "b1\"><a href=\"", "Index.html\" id=");
  std::string index = http_get(host, dir + "Index.html").body;
  const std::string anchor = "<a href=\"//" + host + "\" target=\"_blank\">-";
  const auto ads = sites::source2_ad_sentences(config);
  std::string out = name + "\r\n\r\n";
  for (const std::string& entry : entries(index, "<li><strong ><a ", "</strong ></li>")) {
    std::string title = cut(entry, ">", "</a>");
    std::string text = cut(http_get(host, dir + cut(entry, "href=\"", "\" title=")).body,
                           "contentbox\"><br />", "<br /><br /></div>");
    for (const auto& [find, with] : std::vector<std::pair<std::string, std::string>>{
             {"&nbsp;", " "},
             {"<br>", "\r\n"},
             {anchor + host + "-</a>", ""},
             {ads[1], ""},
             {ads[0], ""},
             {anchor + sites::source2_display_name(config) + "-</a>", ""},
             {ads[3], ""},
             {ads[2], ""},
             {"请大家搜索看最全！更新最快的小说", ""}})
      text = replace_all(text, find, with);
    out += "\r\n\r\n" + title + "\r\n\r\n" + text;
  }
  return out;
}

TEST(SampleSitesGoldenBooks, Source1BooksMatchTheirGoldenFiles) {
  SampleSites sites;
  EXPECT_EQ(download_source1(sites.source1_host(), "/1_1/", "西游记"),
            golden_book("source1_xiyouji"));
  EXPECT_EQ(download_source1(sites.source1_host(), "/2_2/", "水浒传"),
            golden_book("source1_shuihuzhuan"));
  EXPECT_EQ(download_source1(sites.source1_host(), "/3_3/", "三国演义"),
            golden_book("source1_sanguoyanyi"));
}

TEST(SampleSitesGoldenBooks, Source2BooksMatchTheirGoldenFiles) {
  SampleSites sites;
  sites::SiteConfig config = sites.config();
  EXPECT_EQ(download_source2(config, "/Book/1001.aspx", "西游记"), golden_book("source2_xiyouji"));
  EXPECT_EQ(download_source2(config, "/Book/1003.aspx", "三国演义"),
            golden_book("source2_sanguoyanyi"));
}

TEST(SampleSitesGoldenBooks, GoldenFilesHoldNoMarkupOrAdvertising) {
  const auto ads = sites::source2_ad_sentences(sites::SiteConfig::defaults());
  for (const char* stem : {"source1_xiyouji", "source1_shuihuzhuan", "source1_sanguoyanyi",
                           "source2_xiyouji", "source2_sanguoyanyi"}) {
    std::string book = golden_book(stem);
    ASSERT_GT(book.size(), 1000u) << stem;
    for (const std::string& word : {std::string("&nbsp;"), std::string("<br"), std::string("<BR"),
                                    std::string("<a "), std::string("\x01")})
      EXPECT_EQ(book.find(word), std::string::npos) << stem << " holds " << word;
    for (const std::string& ad : ads) EXPECT_EQ(book.find(ad), std::string::npos) << stem;
  }
  EXPECT_NE(golden_book("source1_sanguoyanyi").find("\r\n\r\n卷首词 \r\n\r\n"), std::string::npos)
      << "source 1 cuts a title at its apostrophe";
  EXPECT_NE(golden_book("source2_sanguoyanyi").find("\r\n\r\n卷首词 '临江仙'\r\n\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace quillreap::sample_sites
