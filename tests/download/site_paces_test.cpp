// An update's paces: one for each site, so that a site that answers 429 slows its own books
// and no other site's.
#include <gtest/gtest.h>

#include "download/book_download.hpp"

namespace quillreap::download {
namespace {

TEST(SitePaces, EachSiteHasItsOwnPaceAndASlowDownSlowsItsBooksAlone) {
  sites::SiteConfig config = sites::SiteConfig::defaults();
  config.connections = 4;
  SitePaces paces(config);
  RequestPace& first = paces.of("http://127.0.0.1:18062/1_1/");
  EXPECT_EQ(&paces.of("http://127.0.0.1:18062/2_2/"), &first);
  RequestPace& second = paces.of("http://127.0.0.1:18063/Book/1001.aspx");
  EXPECT_NE(&second, &first);
  first.request([] {
    http::FetchResult busy;
    busy.status = 429;
    return busy;
  });
  EXPECT_EQ(first.lowered_since_asked(), 2);
  EXPECT_EQ(second.lowered_since_asked(), std::nullopt);
}

}  // namespace
}  // namespace quillreap::download
