// Source 3 of the sample sites over https on this platform's transport, the test CA
// trusted: its search and a book come as over http.
#include <gtest/gtest.h>

#include "http/fetch.hpp"
#include "sites/site_search.hpp"
#include "tests/download/https_site_fixture.hpp"
#include "tests/support/golden_book.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

TEST_F(HttpsSite, TrustedSiteSearchesAndDownloadsAsOverHttp) {
  test_support::TrustedTestCa trust(config_);
  ASSERT_EQ(trust.why_not(), "");
  EXPECT_EQ(sites::search_site("西游", report_, config_, pages_), "搜索完成!");
  ASSERT_EQ(report_.row_count(), 2);
  EXPECT_EQ(report_.list_get_cell(0, 0), address("/book/1_1/"));
  EXPECT_EQ(download_xiyouji(), books::BookOutcome::kComplete);
  const auto written = text::read_file(book_file());
  ASSERT_TRUE(written);
  EXPECT_EQ(Text(written->begin(), written->end()), test_support::golden_book("source1_xiyouji"));
  EXPECT_EQ(report_.failures, std::vector<Text>{});
}

}  // namespace
}  // namespace quillreap::download
