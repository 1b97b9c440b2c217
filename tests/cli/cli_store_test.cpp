// quillreap-cli and the chapter store, against a book whose index changes between runs:
// a killed download resumes with only the missing chapters, a serial's new chapters come
// alone, a retitled or once-failed chapter is fetched again, a damaged or unwritable store
// still gives the right book, and Ctrl-C stops a download with status 130.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "download/chapter_store.hpp"
#include "download/status_texts.hpp"
#include "tests/support/program.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"

namespace quillreap {
namespace {

using sites::ChangingBookSite;
using test_support::ProgramRun;
using test_support::StartedProgram;
using Lines = std::vector<std::string>;
namespace fs = std::filesystem;

class CliStoreTest : public ::testing::Test {
 protected:
  Lines arguments(Lines extra = {}) {
    Lines line{"download",       site_.book_address(), ChangingBookSite::kBookName,
               "--source1-host", site_.host(),         "--out",
               directory_.text()};
    line.insert(line.end(), extra.begin(), extra.end());
    return line;
  }
  // One whole download; the site's request counts start again from zero.
  ProgramRun download(Lines extra = {}) {
    site_.reset_counts();
    return test_support::run_program(QUILLREAP_CLI, arguments(std::move(extra)));
  }
  std::string book() const {
    const auto bytes =
        text::read_file(directory_.text() + "/" + ChangingBookSite::kBookName + ".txt");
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no file)");
  }
  fs::path store_file() const {
    return fs::path(download::chapter_store_path(directory_.text(), site_.book_address()));
  }
  // Starts a download that stops at chapter `stall`, and waits until it has written every
  // chapter before it to the store: the status line of chapter `stall` shows after them.
  std::unique_ptr<StartedProgram> start_stalled_download(int stall) {
    site_.stall_from(stall);
    site_.reset_counts();
    auto program = std::make_unique<StartedProgram>(QUILLREAP_CLI, arguments());
    const std::string waiting_for = download::chapter_line(site_.title(stall));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (program->err_so_far().find(waiting_for) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_NE(program->err_so_far().find(waiting_for), std::string::npos);
    return program;
  }

  ChangingBookSite site_{10};
  test_support::TempFolder directory_{"store"};
};

TEST_F(CliStoreTest, KilledDownloadResumesWithOnlyTheMissingChapters) {
  auto killed = start_stalled_download(6);
  killed->kill();
  killed->wait();
  EXPECT_EQ(book(), "(no file)");

  site_.stall_from(0);
  const ProgramRun again = download();
  EXPECT_EQ(again.exit_status, 0) << again.err;
  for (int n = 1; n <= 5; ++n) EXPECT_EQ(site_.requests_for(n), 0) << n;
  EXPECT_EQ(site_.chapter_requests(), 5);
  EXPECT_EQ(book(), site_.expected_book());
  EXPECT_NE(again.err.find(download::from_store_line(5)), std::string::npos) << again.err;
  // Every chapter's status line still shows, in index order.
  size_t at = 0;
  for (int n = 1; n <= 10; ++n) {
    at = again.err.find(download::chapter_line(site_.title(n)), at);
    ASSERT_NE(at, std::string::npos) << n;
  }
}

TEST_F(CliStoreTest, SerialsNewChaptersAndChangedTitlesAreAllThatIsFetched) {
  ASSERT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 10);

  site_.add_chapters(5);
  EXPECT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 5);
  for (int n = 11; n <= 15; ++n) EXPECT_EQ(site_.requests_for(n), 1) << n;
  EXPECT_EQ(book(), site_.expected_book());

  site_.set_title(3, "第三章 新的标题");
  EXPECT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 1);
  EXPECT_EQ(site_.requests_for(3), 1);
  EXPECT_EQ(book(), site_.expected_book());
}

TEST_F(CliStoreTest, ChapterThatFailedIsFetchedNextTimeAndTheBookComesOutWhole) {
  site_.withhold(4);
  const ProgramRun lost = download();
  EXPECT_EQ(lost.exit_status, 3);
  EXPECT_EQ(site_.requests_for(4), 1);  // a 404 is not tried again
  // One line on standard error names the page, why it failed and the tries made.
  EXPECT_NE(lost.err.find("quillreap-cli download: could not get " + site_.chapter_address(4) +
                          ": HTTP status 404 (1 try)\n"),
            std::string::npos)
      << lost.err;
  EXPECT_EQ(book(), site_.expected_book());

  site_.withhold(4, false);
  EXPECT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 1);
  EXPECT_EQ(site_.requests_for(4), 1);
  EXPECT_EQ(book(), site_.expected_book());
}

TEST_F(CliStoreTest, PlaceholderChapterIsWrittenButFetchedAgainUntilItHoldsText) {
  const std::string real_text = "　　" + std::string(80, 'x');
  site_.set_text(4, "　　正在手打中，请稍后再来……本章内容更新中。");
  site_.set_text(7, "　　x");
  const ProgramRun first = download();
  EXPECT_EQ(first.exit_status, 0) << first.err;
  EXPECT_EQ(book(), site_.expected_book());  // the placeholders as fetched
  EXPECT_NE(first.err.find(download::placeholder_chapters_line(2) + "\n"), std::string::npos)
      << first.err;

  site_.set_text(4, real_text);
  const ProgramRun second = download();
  EXPECT_EQ(second.exit_status, 0) << second.err;
  EXPECT_EQ(site_.requests_for(4), 1);
  EXPECT_EQ(site_.requests_for(7), 1);
  EXPECT_EQ(site_.chapter_requests(), 2);
  EXPECT_EQ(book(), site_.expected_book());
  EXPECT_NE(second.err.find(download::placeholder_chapters_line(1)), std::string::npos)
      << second.err;

  site_.set_text(7, real_text);
  const ProgramRun third = download();
  EXPECT_EQ(site_.chapter_requests(), 1);
  EXPECT_EQ(book(), site_.expected_book());
  // A book with none says nothing of them.
  EXPECT_EQ(third.err.find(download::placeholder_chapters_line(0).substr(1)), std::string::npos)
      << third.err;
  EXPECT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 0);
}

TEST_F(CliStoreTest, DamagedStoreStillGivesTheRightBook) {
  ASSERT_EQ(download().exit_status, 0);
  const auto whole = text::read_file(store_file().string());
  ASSERT_TRUE(whole.has_value());

  struct Damage {
    const char* what;
    text::Bytes bytes;
  };
  text::Bytes flipped = *whole;
  flipped[flipped.size() * 2 / 3] ^= 0x5A;
  const Damage damages[] = {
      {"cut in half", text::Bytes(whole->begin(), whole->begin() + whole->size() / 2)},
      {"one byte flipped", flipped},
      {"empty", {}},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(damage.what);
    ASSERT_TRUE(text::write_file(store_file().string(), damage.bytes));
    const ProgramRun run = download();
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(book(), site_.expected_book());
    EXPECT_GE(site_.chapter_requests(), 1);
    // The run mended the store: the next one fetches nothing.
    EXPECT_EQ(download().exit_status, 0);
    EXPECT_EQ(site_.chapter_requests(), 0);
  }
  // Another program's file where the store would be is left as it is: the download goes on
  // without a store, fetching every chapter, and says so.
  const text::Bytes garbage(whole->size(), 0xEE);
  ASSERT_TRUE(text::write_file(store_file().string(), garbage));
  for (int run = 0; run < 2; ++run) {
    const ProgramRun done = download();
    EXPECT_EQ(done.exit_status, 0) << done.err;
    EXPECT_EQ(site_.chapter_requests(), 10);
    EXPECT_NE(done.err.find("the chapter store " + store_file().string() +
                            " is left as it is and not used (it is not a chapter store"),
              std::string::npos)
        << done.err;
    EXPECT_EQ(book(), site_.expected_book());
    EXPECT_EQ(text::read_file(store_file().string()), garbage);
  }
}

TEST_F(CliStoreTest, StoreThatCannotBeWrittenLeavesTheDownloadAsItWas) {
  // Tests may run as root, where permissions stop nothing: a file stands where the store's
  // folder would go.
  ASSERT_TRUE(text::write_file(directory_.text() + "/.quillreap", text::to_bytes("x")));
  for (int run = 0; run < 2; ++run) {
    const ProgramRun done = download();
    EXPECT_EQ(done.exit_status, 0) << done.err;
    EXPECT_EQ(site_.chapter_requests(), 10);
    EXPECT_EQ(book(), site_.expected_book());
  }
}

TEST_F(CliStoreTest, FreshFetchesEverythingAndNoStoreTouchesNothing) {
  ASSERT_EQ(download({"--no-store"}).exit_status, 0);
  EXPECT_FALSE(fs::exists(directory_.path() / ".quillreap"));
  EXPECT_EQ(book(), site_.expected_book());

  ASSERT_EQ(download().exit_status, 0);
  ASSERT_EQ(download({"--fresh"}).exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 10);
  EXPECT_EQ(book(), site_.expected_book());
  ASSERT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 0);
}

TEST_F(CliStoreTest, SiteThatIsDownIsSaidToBeSoNotJustEmpty) {
  // Port 1 on loopback refuses every connection.
  const ProgramRun search = test_support::run_program(
      QUILLREAP_CLI, {"search", "--source", "2", "西游", "--source2-host", "127.0.0.1:1"});
  EXPECT_EQ(search.exit_status, 1);
  EXPECT_NE(search.err.find("could not get http://127.0.0.1:1/Book/Search.aspx?SearchKey="),
            std::string::npos)
      << search.err;
  EXPECT_NE(search.err.find(": connection refused (1 try)\n"), std::string::npos) << search.err;

  const ProgramRun book = test_support::run_program(
      QUILLREAP_CLI,
      {"download", "http://127.0.0.1:1/1_1/", "书", "--tries", "2", "--out", directory_.text()});
  EXPECT_EQ(book.exit_status, 1);
  EXPECT_NE(book.err.find("could not get http://127.0.0.1:1/1_1/: connection refused (2 tries)"),
            std::string::npos)
      << book.err;
}

#ifndef _WIN32
// A console's Ctrl-C would reach the test itself under Wine, so this runs on Linux.
TEST_F(CliStoreTest, InterruptStopsTheDownloadWithStatus130AndKeepsTheStore) {
  auto interrupted = start_stalled_download(6);
  interrupted->interrupt();
  const ProgramRun stopped = interrupted->wait();
  EXPECT_EQ(stopped.exit_status, 130) << stopped.err;
  EXPECT_EQ(book(), "(no file)");

  site_.stall_from(0);
  EXPECT_EQ(download().exit_status, 0);
  EXPECT_EQ(site_.chapter_requests(), 5);
  EXPECT_EQ(book(), site_.expected_book());
}
#endif

}  // namespace
}  // namespace quillreap
