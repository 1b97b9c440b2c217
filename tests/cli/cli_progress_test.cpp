// How quillreap-cli shows a download on standard error: a bar on a terminal (or when asked
// for) that ends with the completion line, the lines it always printed on a pipe or file,
// and only the failures and the result when quiet. The book has ten chapters, the fourth of them
// gone.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "books/status_texts.hpp"
#include "download/status_texts.hpp"
#include "tests/support/program.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/primitives.hpp"

namespace quillreap {
namespace {

using sites::ChangingBookSite;
using test_support::ErrorTo;
using test_support::ProgramRun;
using Lines = std::vector<std::string>;

// A terminal can be had on Linux only; the Windows build runs the rows without one.
#ifdef _WIN32
constexpr bool kTerminals = false;
#else
constexpr bool kTerminals = true;
#endif

class CliProgressTest : public ::testing::Test {
 protected:
  CliProgressTest() { site_.withhold(4); }

  Lines arguments(const Lines& options) const {
    Lines line{"download",        site_.book_address(), ChangingBookSite::kBookName,
               "--source1-host",  site_.host(),         "--out",
               directory_.text(), "--no-store"};
    line.insert(line.end(), options.begin(), options.end());
    return line;
  }
  ProgramRun download(const Lines& options, ErrorTo error_to) const {
    return test_support::run_program(QUILLREAP_CLI, arguments(options), "", error_to);
  }
  std::string lost_line() const {
    return "quillreap-cli download: could not get " + site_.chapter_address(4) +
           ": HTTP status 404 (1 try)";
  }
  std::string completion_line() const {
    return books::written_line(ChangingBookSite::kBookName, 1) + "\n";
  }

  ChangingBookSite site_{10};
  test_support::TempFolder directory_{"progress"};
};

TEST_F(CliProgressTest, BarReplacesTheChapterLinesAndTheCompletionLineEndsIt) {
  struct Case {
    ErrorTo error_to;
    Lines options;
  };
  for (const Case& each :
       {Case{ErrorTo::kTerminal, {}}, Case{ErrorTo::kPipe, {"--progress", "bar"}}}) {
    if (each.error_to == ErrorTo::kTerminal && !kTerminals) continue;
    SCOPED_TRACE(each.options.empty() ? "terminal" : "asked for");
    const ProgramRun run = download(each.options, each.error_to);
    EXPECT_EQ(run.exit_status, 3) << run.err;
    // The status lines before the chapters stay lines; the chapters' own do not show.
    EXPECT_NE(run.err.find(download::found_line(ChangingBookSite::kBookName) + "\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find(download::chapter_line(site_.title(1))), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("\n\r[--------------------] 0/10章"), std::string::npos) << run.err;
    // The lost page's line above the bar (longer than the bar: no padding), the bar again.
    EXPECT_NE(run.err.find(text::concat("\r", lost_line(), "\n[")), std::string::npos) << run.err;
    // The last draw: every chapter, one lost, its line ended, then the completion line.
    const std::string last = run.err.substr(run.err.rfind('\r'));
    EXPECT_EQ(last.rfind("\r[####################] 10/10章", 0), 0u) << last;
    const size_t end = last.find('\n');
    ASSERT_NE(end, std::string::npos) << last;
    EXPECT_EQ(last.substr(0, end).find_last_not_of(' ') + 1, last.rfind("缺1章", end) + 5) << last;
    EXPECT_EQ(last.substr(end + 1), completion_line());
  }
}

TEST_F(CliProgressTest, WithoutATerminalOrWhenAskedLinesAreTheStatusLinesOneEach) {
  // A line for each status and for the lost page, the output quillreap-cli always gave.
  const std::string name = ChangingBookSite::kBookName;
  std::string expected = download::found_line(name) + "\n" + download::parsing_line(name) + "\n";
  for (int n = 1; n <= 10; ++n) {
    expected += download::chapter_line(site_.title(n)) + "\n";
    if (n == 4) expected += lost_line() + "\n";
  }
  expected += completion_line();
  const ProgramRun lines = download({}, ErrorTo::kPipe);
  EXPECT_EQ(lines.exit_status, 3);
  EXPECT_EQ(lines.err, expected);

  struct Case {
    ErrorTo error_to;
    Lines options;
  };
  for (const Case& each : {Case{ErrorTo::kFile, {"--progress", "lines"}},
                           Case{ErrorTo::kTerminal, {"--progress=lines"}}}) {
    if (each.error_to == ErrorTo::kTerminal && !kTerminals) continue;
    EXPECT_EQ(download(each.options, each.error_to).err, expected) << each.options[0];
  }
}

TEST_F(CliProgressTest, QuietShowsOnlyTheFailuresAndTheResult) {
  struct Case {
    int withheld;  // 0: every chapter served
    std::string address;
    std::string shown;
  };
  const ErrorTo error_to = kTerminals ? ErrorTo::kTerminal : ErrorTo::kPipe;
  const std::string missing = "http://" + site_.host() + "/no/such/";
  for (const Case& each :
       {Case{4, site_.book_address(), lost_line() + "\n" + completion_line()},
        Case{0, site_.book_address(), books::written_line(ChangingBookSite::kBookName, 0) + "\n"},
        Case{0, missing,
             "quillreap-cli download: could not get " + missing + ": HTTP status 404 (1 try)\n" +
                 download::no_index_line(ChangingBookSite::kBookName) + "\n"}}) {
    site_.withhold(4, each.withheld == 4);
    Lines line = arguments({"--quiet"});
    line[1] = each.address;
    const ProgramRun run = test_support::run_program(QUILLREAP_CLI, line, "", error_to);
    EXPECT_EQ(run.err, each.shown) << each.address;
  }
}

#ifndef _WIN32
// Ctrl-C would reach the test itself under Wine; a terminal can be had on Linux only.
TEST_F(CliProgressTest, InterruptedDownloadEndsTheBarLineBeforeSayingSo) {
  site_.withhold(4, false);  // no line above the bar: its last draw stays the last '\r'
  site_.stall_from(6);
  test_support::StartedProgram program(QUILLREAP_CLI, arguments({}), "", ErrorTo::kTerminal);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (program.err_so_far().find("/10章") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  program.interrupt();
  const ProgramRun run = program.wait();
  EXPECT_EQ(run.exit_status, 130) << run.err;
  const std::string last = run.err.substr(run.err.rfind('\r'));
  EXPECT_EQ(last.rfind("\r[", 0), 0u) << last;
  const size_t end = last.find('\n');
  ASSERT_NE(end, std::string::npos) << last;
  EXPECT_EQ(last.substr(end + 1).rfind("quillreap-cli download: interrupted", 0), 0u) << last;
}
#endif

}  // namespace
}  // namespace quillreap
