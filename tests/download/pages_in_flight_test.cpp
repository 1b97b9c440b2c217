// Several chapter pages in flight give exactly the book of one page at a time: the same
// bytes, the same status lines in the same order and the same completion line, for both
// sources, on whole books and on books with lost chapters; and retries make a flaky site's
// book whole.
#include <gtest/gtest.h>

#include <memory>

#include "download/source_downloads.hpp"
#include "sites/site_search.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/recording_report.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::download {

using namespace sites;
using namespace books;
namespace {

using test_support::golden_book;

struct Download {
  BookOutcome outcome;
  Text book;
  std::vector<Text> statuses;
};

// One download of the book called name from source, from sites of their own (a flaky
// site's pages fail only on their first request), with the store left out.
Download download(int source, const Text& name, int connections, int tries,
                  sample_sites::Behaviour behaviour = {}) {
  sample_sites::SampleSites sites(SiteConfig::defaults(), {}, {}, behaviour);
  SiteConfig config = sites.config();
  config.connections = connections;
  config.tries = tries;
  test_support::RecordingReport<download::Report> controls;
  if (source == 1)
    search_source1(name, controls, config);
  else
    search_source2(name, controls, config);
  Text address;
  for (int row = 0; row < controls.row_count(); ++row)
    if (controls.list_get_cell(row, 1) == name) address = controls.list_get_cell(row, 0);
  EXPECT_FALSE(address.empty()) << name;
  const size_t search_statuses = controls.status_history().size();

  test_support::TempFolder dir;
  const DownloadControl no_store{.request = {ChapterStore::Mode::kOff, {}}};
  Download out;
  out.outcome = source == 1
                    ? download_source1(address, name, controls, config, dir.text(), no_store)
                    : download_source2(address, name, controls, config, dir.text(), no_store);
  const auto bytes = text::read_file(dir.text() + "/" + name + ".txt");
  out.book = bytes ? Text(bytes->begin(), bytes->end()) : Text("<no file>");
  const std::vector<Text> all = controls.status_history();
  out.statuses.assign(all.begin() + static_cast<long>(search_statuses), all.end());
  return out;
}

struct Book {
  int source;
  const char* name;
  const char* golden;
};
constexpr Book kBooks[] = {{1, "西游记", "source1_xiyouji"},
                           {2, "三国演义", "source2_sanguoyanyi"}};

TEST(PagesInFlight, OneTwoAndEightConnectionsWriteTheSameBookAndStatusLines) {
  for (const Book& book : kBooks) {
    SCOPED_TRACE(book.name);
    const Download one = download(book.source, book.name, 1, 1);
    EXPECT_EQ(one.outcome, BookOutcome::kComplete);
    EXPECT_EQ(one.book, golden_book(book.golden));
    for (int connections : {2, 8}) {
      SCOPED_TRACE(connections);
      const Download many = download(book.source, book.name, connections, 1);
      EXPECT_EQ(many.outcome, one.outcome);
      EXPECT_EQ(many.book, one.book);
      EXPECT_EQ(many.statuses, one.statuses);
    }
  }
}

TEST(PagesInFlight, LostChaptersAreTheSameWhateverTheConnections) {
  // Every second chapter fails its only try: a reset or a 503 in turn.
  const sample_sites::Behaviour flaky{std::chrono::milliseconds(0), 2, false};
  for (const Book& book : kBooks) {
    SCOPED_TRACE(book.name);
    const Download one = download(book.source, book.name, 1, 1, flaky);
    EXPECT_EQ(one.outcome, BookOutcome::kWrittenWithGaps);
    EXPECT_NE(one.book, golden_book(book.golden));
    EXPECT_NE(one.statuses.back().find("章获取失败"), Text::npos) << one.statuses.back();
    for (int connections : {2, 8}) {
      SCOPED_TRACE(connections);
      const Download many = download(book.source, book.name, connections, 1, flaky);
      EXPECT_EQ(many.outcome, one.outcome);
      EXPECT_EQ(many.book, one.book);
      EXPECT_EQ(many.statuses, one.statuses);
    }
  }
}

TEST(PagesInFlight, RetriesMakeAFlakySitesBookWhole) {
  const sample_sites::Behaviour flaky{std::chrono::milliseconds(0), 2, false};
  for (const Book& book : kBooks) {
    SCOPED_TRACE(book.name);
    const Download retried = download(book.source, book.name, 4, 3, flaky);
    EXPECT_EQ(retried.outcome, BookOutcome::kComplete);
    EXPECT_EQ(retried.book, golden_book(book.golden));
  }
}

}  // namespace
}  // namespace quillreap::download
