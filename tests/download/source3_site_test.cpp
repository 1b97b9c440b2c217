// End to end against the sample sites' source 3, a site known only by its site file (the
// worked example of docs/sites.md): its search, its books equal to source 1's golden
// books (same texts, its own markup, chapters over two pages, advertising lines), and a
// grown serial downloaded again fetching only its new chapter.
#include <gtest/gtest.h>

#include "download/book_download.hpp"
#include "sites/site_search.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/sites/example_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/catalogue.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::download {
namespace {

class Source3Site : public ::testing::Test {
 protected:
  Source3Site() : config_(sites_.config()), pages_(sites::example_site(sites_.source3_host())) {}

  Text book_address(const Text& id) const {
    return "http://" + sites_.source3_host() + "/book/" + id + "/";
  }
  books::BookOutcome download(const Text& id, const Text& name) {
    return download_book(book_address(id), name, controls_, config_, dir_.text(), pages_);
  }
  Text read_book(const Text& name) const {
    const auto bytes = text::read_file(dir_.text() + "/" + name + ".txt");
    return bytes ? Text(bytes->begin(), bytes->end()) : Text("<no file>");
  }

  sample_sites::SampleSites sites_{sites::SiteConfig::defaults(), {}, {}, {}, {1, 4}};
  SiteConfig config_;
  SourcePages pages_;
  test_support::TempFolder dir_;
  test_support::RecordingReport<Report> controls_;
};

TEST_F(Source3Site, SearchSendsUtf8AndListsHitsRelativeToItsPage) {
  EXPECT_EQ(sites::search_site("西游", controls_, config_, pages_), "搜索完成!");
  using Row = test_support::RecordingReport<Report>::Row;
  ASSERT_EQ(controls_.row_count(), 2);
  // The introductions end in a character GBK lacks.
  const sample_sites::SampleBook& book = sample_sites::source1_books()[0];
  EXPECT_EQ(controls_.rows()[0], (Row{book_address("1_1"), Text(book.name), Text(book.intro) + "?",
                                      Text(book.author), ""}));
  EXPECT_EQ(controls_.list_get_cell(1, 1), "西游补");
}

TEST_F(Source3Site, DownloadsEqualSource1sGoldenBooks) {
  const char* cases[][3] = {{"1_1", "西游记", "source1_xiyouji"},
                            {"2_2", "水浒传", "source1_shuihuzhuan"}};
  for (const auto& [id, name, golden] : cases) {
    EXPECT_EQ(download(id, name), books::BookOutcome::kComplete);
    EXPECT_EQ(read_book(name), test_support::golden_book(golden)) << golden;
  }
}

TEST_F(Source3Site, GrownSerialFetchesOnlyItsNewChapter) {
  ASSERT_EQ(download("8_1", "连载1"), books::BookOutcome::kComplete);
  const Text four = read_book("连载1");
  sites_.grow_serials(1);
  const std::size_t asked = sites_.chapter_request_times().size();
  ASSERT_EQ(download("8_1", "连载1"), books::BookOutcome::kComplete);
  EXPECT_EQ(sites_.chapter_request_times().size(), asked + 1);
  const Text five = read_book("连载1");
  EXPECT_EQ(five.substr(0, four.size()), four);
  EXPECT_NE(five.find("第5章", four.size()), Text::npos);
}

}  // namespace
}  // namespace quillreap::download
