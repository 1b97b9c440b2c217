// Source 3 of the sample sites over https with the test CA not trusted: no page at all.
// A program of its own: WinInet's chain engine reads the root store once per process, so
// a process that ever trusted the CA would go on trusting it.
#include <gtest/gtest.h>

#include "http/fetch.hpp"
#include "sites/site_search.hpp"
#include "tests/download/https_site_fixture.hpp"
#include "tests/support/golden_book.hpp"
#include "text/files.hpp"

namespace quillreap::download {
namespace {

// No trust in the test CA: the fetch, the search and the download all fail on the
// certificate, and no book is written.
TEST_F(HttpsSite, UntrustedCertificateGetsNoPage) {
  const http::FetchResult page = http::fetch_page(address("/book/1_1/"));
  EXPECT_TRUE(page.failed);
  EXPECT_EQ(http::failure_description(page), "server certificate not trusted");

  sites::search_site("西游", report_, config_, pages_);
  EXPECT_EQ(report_.row_count(), 0);
  EXPECT_EQ(download_xiyouji(), books::BookOutcome::kNotWritten);
  EXPECT_FALSE(text::read_file(book_file()));
  const std::vector<Text> expected(2, "server certificate not trusted");
  EXPECT_EQ(report_.failures, expected);
}

}  // namespace
}  // namespace quillreap::download
