// Whole downloads through the controller against the fault site, from both sources: the
// status line says what happened, an earlier book of the same name survives every download
// that writes nothing, a written book holds exactly the log box, and no file appears
// outside the book directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "http/fetch.hpp"
#include "tests/faults/fault_fixture.hpp"

namespace quillreap::faults {
namespace {

using books::save_failed_line;
using books::written_line;
using download::no_index_line;

constexpr int kSources[] = {1, 2};

// The download wrote nothing and said it found no index; the earlier book is untouched.
void expect_no_index(const Download& run, const Text& name, const std::string& fault) {
  EXPECT_EQ(run.status, no_index_line(name)) << fault;
  EXPECT_TRUE(run.file_exists) << fault;
  EXPECT_EQ(run.file, FaultTest::kEarlierBook) << fault;
  EXPECT_TRUE(run.stray.empty()) << fault << ": " << run.stray.front();
  EXPECT_FALSE(run.busy) << fault;
}

// The download wrote the book with chapter 2's heading and no text, and said so.
void expect_chapter2_lost(const Download& run, const Text& name, const std::string& fault) {
  EXPECT_EQ(run.status, written_line(name, 1)) << fault;
  EXPECT_EQ(run.file, FaultTest::expected_book(name, false)) << fault;
  EXPECT_EQ(run.file, run.book_buffer) << fault;
  EXPECT_TRUE(run.stray.empty()) << fault << ": " << run.stray.front();
  EXPECT_FALSE(run.busy) << fault;
}

TEST_F(FaultTest, BookOrIndexPageThatCannotBeHadWritesNothing) {
  const std::vector<std::string> faults = {"refused-book", "reset-book",        "stall-book",
                                           "404-book",     "500-book",          "404-index",
                                           "500-index",    "redirect-loop-book"};
  for (const std::string& fault : faults) {
    for (int source : kSources) {
      const Text name = "书" + fault;
      expect_no_index(download(site().book_address(fault, source), name), name,
                      fault + " source " + std::to_string(source));
    }
  }
}

TEST_F(FaultTest, RedirectLoopFailsTheFetch) {
  // Still redirected after the last hop: a failure with the last status, never a page.
  const http::FetchResult result = http::fetch_page(site().book_address("redirect-loop-book", 1));
  EXPECT_TRUE(result.failed);
  EXPECT_EQ(result.status, 302);
  EXPECT_EQ(result.reason, http::FailureReason::kTooManyRedirects);
}

TEST_F(FaultTest, ChapterThatCannotBeHadIsCountedAndTheBookWritten) {
  const std::vector<std::string> faults = {"refused-chapter", "reset-chapter",
                                           "stall-chapter",   "404-chapter",
                                           "500-chapter",     "redirect-loop-chapter"};
  for (const std::string& fault : faults) {
    for (int source : kSources) {
      const Text name = "章" + fault;
      expect_chapter2_lost(download(site().book_address(fault, source), name), name,
                           fault + " source " + std::to_string(source));
    }
  }
}

TEST_F(FaultTest, LinkHoldingCrLfIsNeverSentAndItsChapterCounted) {
  for (int source : kSources) {
    const Text name = "换行书";
    expect_chapter2_lost(download(site().book_address("crlf-link", source), name), name,
                         "source " + std::to_string(source));
  }
  for (const loopback::Request& request : site().requests()) {
    EXPECT_EQ(request.header("X-Injected"), "") << request.target;
    EXPECT_EQ(request.raw.find("X-Injected"), std::string::npos) << request.target;
  }
}

TEST_F(FaultTest, ZeroBytesEndThePageTheyStand) {
  // After the markers they cut nothing away; before them the chapter is lost.
  for (int source : kSources) {
    const Text name = "零字节";
    expect_chapter2_lost(download(site().book_address("nul-chapter", source), name), name,
                         "source " + std::to_string(source));
  }
}

TEST_F(FaultTest, InvalidGbkInTitleTextAndNameIsKeptAsBytes) {
  for (int source : kSources) {
    // The name ends in a lone lead byte; the file name must not swallow ".txt" with it.
    const Text name = "坏\x80\xFF名\xB2";
    const Download run = download(site().book_address("bad-gbk", source), name);
    // Chapter 2's text ends in a lone lead byte that pairs with the closing marker's first
    // byte, so its markers are not there: the chapter is counted as lost.
    EXPECT_EQ(run.status, written_line(name, 1)) << source;
    EXPECT_EQ(run.file, run.book_buffer) << source;
    EXPECT_EQ(run.file.rfind(name + "\r\n\r\n", 0), 0u) << source;
    EXPECT_NE(run.file.find(sample_sites::fault_chapter_text(1)), std::string::npos) << source;
    EXPECT_TRUE(run.stray.empty()) << source << ": " << run.stray.front();
    EXPECT_EQ(books::safe_book_file_name(name).find('\xB2'), std::string::npos);
  }
}

TEST_F(FaultTest, BigHeaderBlockWithManyCookiesStillGivesTheBook) {
  for (int source : kSources) {
    const Text name = "大头书";
    const Download run = download(site().book_address("big-headers-book", source), name);
    EXPECT_EQ(run.status, written_line(name, 0)) << source;
    EXPECT_EQ(run.file, expected_book(name, true)) << source;
    EXPECT_TRUE(run.stray.empty());
  }
}

// A book page carrying the site's "Warning" is refused before anything else is asked for:
// one status line, the earlier book of the name and the log box untouched, the controls
// given back.
TEST_F(FaultTest, WarningBookIsRefusedAndTheEarlierBookKept) {
  const Text name = "警告书";
  const Download run = download(site().book_address("warning-book", 1), name);
  EXPECT_EQ(run.statuses, std::vector<Text>{Text(download::kFaultyBook)});
  EXPECT_EQ(run.file, kEarlierBook);
  EXPECT_EQ(run.book_buffer, "");
  EXPECT_TRUE(run.stray.empty());
  EXPECT_FALSE(run.busy);
}

TEST_F(FaultTest, NamesThatAreNoFileNamesStayInsideTheBookDirectory) {
  const std::vector<Text> names = {"..\\..\\逃出", "../../逃出", "a/b",  "c:d",       "CON",
                                   "nul.txt",      "..",         "com1", "LPT9.book", "x\\..\\y"};
  for (const Text& name : names) {
    const Download run = download(site().book_address("plain", 1), name);
    EXPECT_EQ(run.status, written_line(name, 0)) << name;
    EXPECT_EQ(run.file, expected_book(name, true)) << name;
    EXPECT_TRUE(run.stray.empty()) << name << ": " << run.stray.front();
  }
}

TEST_F(FaultTest, FailedSaveSaysSoAndLeavesNothingBehind) {
  // An ASCII name, so that the directory made here has the name the program's file gets.
  const Text name = "cannot-save";
  // The book's own path is taken by a directory: the finished book cannot be moved there.
  std::filesystem::create_directories(std::filesystem::path(book_path(name)));
  const Download blocked = download(site().book_address("plain", 2), name, nullptr, false);
  EXPECT_EQ(blocked.status, save_failed_line(name));
  EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(book_path(name))));
  EXPECT_EQ(books_count(), 1);  // no temporary file left beside it

  // The book directory is gone: nothing can be written, and nothing is created.
  std::filesystem::remove_all(books_);
  const Download missing = download(site().book_address("plain", 1), name, nullptr, false);
  EXPECT_EQ(missing.status, save_failed_line(name));
  EXPECT_FALSE(std::filesystem::exists(books_));
  EXPECT_TRUE(missing.stray.empty()) << missing.stray.front();
  std::filesystem::create_directories(books_);
}

#ifdef QUILLREAP_HEAVY_FAULT_TESTS
TEST_F(FaultTest, ThirtyMegabyteChapterIsWrittenWhole) {
  for (int source : kSources) {
    const Text name = "巨章";
    const Download run = download(site().book_address("huge-chapter", source), name);
    EXPECT_EQ(run.status, written_line(name, 0)) << source;
    EXPECT_GT(run.file.size(), sample_sites::kHugeChapterBytes - 100) << source;
    EXPECT_TRUE(run.file == run.book_buffer) << source;  // not printed: 30 MB
    EXPECT_TRUE(run.stray.empty());
  }
}

TEST_F(FaultTest, IndexOfFiftyThousandChaptersIsWalkedToTheEnd) {
  const Text name = "五万章";
  const Download run = download(site().book_address("index-50000", 1), name);
  EXPECT_EQ(run.status, written_line(name, 0));
  EXPECT_TRUE(run.file == run.book_buffer);
  const std::string last =
      "\r\n\r\nChapter 50000\r\n\r\n" + sample_sites::fault_chapter_text(50000);
  EXPECT_EQ(run.file.size() - run.file.rfind(last), last.size());
  EXPECT_TRUE(run.stray.empty());
}
#endif

}  // namespace
}  // namespace quillreap::faults
