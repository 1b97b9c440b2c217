// The changing test site: a download from it writes the book it announces, and after
// chapters are added, retitled or withheld the next download sees exactly that, with the
// chapter pages it asked for counted.
#include <gtest/gtest.h>

#include "download/source_downloads.hpp"
#include "sites/site_search.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap::download {

using namespace sites;
using namespace books;
namespace {

class ChangingBookSiteTest : public ::testing::Test {
 protected:
  // Downloads the book afresh (no chapter store: every chapter is fetched) and returns the
  // file it wrote.
  Text download(BookOutcome expected) {
    test_support::RecordingReport<download::Report> controls;
    EXPECT_EQ(
        download_source1(site_.book_address(), ChangingBookSite::kBookName, controls,
                         site_.config(), dir_.text(), {.request = {ChapterStore::Mode::kOff}}),
        expected);
    const auto bytes = text::read_file(dir_.text() + "/" + ChangingBookSite::kBookName + ".txt");
    return bytes ? Text(bytes->begin(), bytes->end()) : Text("<no file>");
  }

  ChangingBookSite site_;
  test_support::TempFolder dir_;
};

TEST_F(ChangingBookSiteTest, EachDownloadGetsTheBookAsItStandsAndIsCounted) {
  EXPECT_EQ(download(BookOutcome::kComplete), site_.expected_book());
  EXPECT_EQ(site_.chapter_requests(), 3);
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(site_.requests_for(n), 1) << n;
  EXPECT_NE(site_.expected_book().find("第3章 标题3"), Text::npos);

  site_.reset_counts();
  site_.add_chapters(2);
  site_.set_title(2, "第二章 改过的标题");
  site_.set_text(3, "　　改过的正文。");
  site_.withhold(4);
  const Text book = download(BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(book, site_.expected_book());
  EXPECT_NE(book.find("\r\n\r\n第二章 改过的标题\r\n\r\n　　这是第2章的正文"), Text::npos);
  EXPECT_NE(book.find("\r\n\r\n第4章 标题4\r\n\r\n\r\n\r\n第5章 标题5"), Text::npos);
  EXPECT_EQ(site_.chapter_requests(), 5);
  EXPECT_EQ(site_.requests_for(4), 1);  // asked for, answered 404

  site_.withhold(4, false);
  EXPECT_EQ(download(BookOutcome::kComplete), site_.expected_book());
  EXPECT_EQ(site_.requests_for(4), 2);
  EXPECT_EQ(site_.chapter_count(), 5);
  EXPECT_EQ(site_.title(2), "第二章 改过的标题");
}

}  // namespace
}  // namespace quillreap::download
