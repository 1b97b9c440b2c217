// quillreap-cli run as a child process against the sample sites started here: each
// command, each exit status, Chinese words and names on the command line, and the books it
// writes compared with the golden files.
#include <gtest/gtest.h>

#include "books/status_texts.hpp"
#include "download/status_texts.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/program.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/two_sources_site.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

using test_support::golden_book;
using test_support::ProgramRun;
using Lines = std::vector<std::string>;

Lines lines_of(const std::string& output) {
  Lines lines;
  size_t start = 0;
  for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(output.substr(start, end - start));
  if (start < output.size()) lines.push_back(output.substr(start));
  return lines;
}

Lines cells_of(const std::string& line) {
  Lines cells;
  size_t start = 0;
  for (size_t end; (end = line.find('\t', start)) != std::string::npos; start = end + 1)
    cells.push_back(line.substr(start, end - start));
  cells.push_back(line.substr(start));
  return cells;
}

class CliTest : public ::testing::Test {
 protected:
  // The command line with the sample sites' hosts and the book directory behind it.
  ProgramRun cli(Lines arguments, const std::string& working_directory = "") {
    const sites::SiteConfig config = sites_.config();
    for (const std::string& option :
         Lines{"--search-host", config.search_host, "--source1-host", config.source1_host,
               "--source2-host", config.source2_host, "--source2-label", config.source2_label})
      arguments.push_back(option);
    if (working_directory.empty() && arguments.front() != "search") {
      arguments.push_back("--out");
      arguments.push_back(out());
    }
    return test_support::run_program(QUILLREAP_CLI, arguments, working_directory);
  }
  // Without any of the test's options.
  ProgramRun bare(const Lines& arguments) {
    return test_support::run_program(QUILLREAP_CLI, arguments);
  }

  std::string out() const { return directory_.text(); }
  std::string book(const std::string& name) const {
    const auto bytes = text::read_file(out() + "/" + name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no file)");
  }
  int files_written() const { return directory_.entry_count(); }

  sample_sites::SampleSites sites_;
  test_support::TempFolder directory_{"cli"};
};

// The program answers a line it runs no command for: the help on standard output, the
// reason on standard error (the command line's own test reads the lines themselves).
TEST_F(CliTest, HelpAndUsageErrorsReachTheirStreamsWithTheirExitStatus) {
  const ProgramRun help = bare({"shelf", "--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.out.find("Usage: quillreap-cli shelf"), std::string::npos) << help.out;
  EXPECT_EQ(help.err, "");
  const ProgramRun wrong = bare({"shelf", "--connections", "4"});
  EXPECT_EQ(wrong.exit_status, 2);
  EXPECT_EQ(wrong.out, "");
  EXPECT_EQ(lines_of(wrong.err),
            Lines{"quillreap-cli shelf: --connections is not an option of shelf (see "
                  "quillreap-cli shelf --help)"});
}

TEST_F(CliTest, SearchPrintsOneLinePerHitAndTheStatusLinesOnStandardError) {
  const ProgramRun run = cli({"search", "--source", "1", "西游"});
  EXPECT_EQ(run.exit_status, 0);
  const Lines rows = lines_of(run.out);
  ASSERT_EQ(rows.size(), 2u) << run.out;
  const Lines first = cells_of(rows[0]);
  ASSERT_EQ(first.size(), 4u);
  EXPECT_NE(first[0].find(sites_.source1_host()), std::string::npos);
  EXPECT_EQ(first[1], "西游记");
  EXPECT_EQ(first[3], "吴承恩");
  EXPECT_EQ(cells_of(rows[1]), (Lines{cells_of(rows[1])[0], "西游补", "暂无简介", "董说"}));
  EXPECT_EQ(lines_of(run.err), (Lines{"正在源站①搜索中.", "搜索完成!"}));

  const ProgramRun two = cli({"search", "西游", "--source=2"});
  EXPECT_EQ(two.exit_status, 0);
  ASSERT_EQ(lines_of(two.out).size(), 1u);
  EXPECT_EQ(cells_of(lines_of(two.out)[0])[1], "西游记");
  EXPECT_EQ(lines_of(two.err)[0], "正在源站②搜索中.");
}

TEST_F(CliTest, SearchWithoutHitsExitsWithOne) {
  const ProgramRun run = cli({"search", "--source", "2", "红楼梦"});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(lines_of(run.err).back(), "搜索完成!");
}

TEST_F(CliTest, DownloadWritesTheGoldenBookAndPrintsItsPath) {
  const ProgramRun search = cli({"search", "--source", "1", "水浒"});
  ASSERT_EQ(lines_of(search.out).size(), 1u) << search.out;
  const std::string address = cells_of(lines_of(search.out)[0])[0];

  const ProgramRun run = cli({"download", address, "水浒传"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(book("水浒传.txt"), golden_book("source1_shuihuzhuan"));
  EXPECT_EQ(run.out, text::join_path(out(), "水浒传.txt") + "\n");
  const Lines status = lines_of(run.err);
  ASSERT_GE(status.size(), 3u);
  EXPECT_EQ(status.front(), download::found_line("水浒传"));
  EXPECT_EQ(status.back(), books::written_line("水浒传", 0));
}

TEST_F(CliTest, GetSearchesAndDownloadsTheChosenRow) {
  const ProgramRun run = cli({"get", "--source", "2", "三国"});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(book("三国演义.txt"), golden_book("source2_sanguoyanyi"));

  const ProgramRun second = cli({"get", "--source", "1", "西游", "--row", "0"});
  EXPECT_EQ(second.exit_status, 0) << second.err;
  EXPECT_EQ(book("西游记.txt"), golden_book("source1_xiyouji"));
  EXPECT_EQ(files_written(), 2);
}

TEST_F(CliTest, NoBookWrittenExitsWithOne) {
  // The faulty book (row 1 of this search), a row past the end, and a search without hits.
  const ProgramRun warning = cli({"get", "--source", "1", "西游", "--row", "1"});
  EXPECT_EQ(warning.exit_status, 1);
  EXPECT_EQ(lines_of(warning.err).back(), download::kFaultyBook);
  EXPECT_EQ(warning.out, "");

  const ProgramRun past = cli({"get", "--source", "1", "西游", "--row", "2"});
  EXPECT_EQ(past.exit_status, 1);
  EXPECT_EQ(lines_of(past.err).back(),
            "quillreap-cli get: the search found 2 rows; there is no row 2");

  const ProgramRun none = cli({"get", "--source", "2", "红楼梦"});
  EXPECT_EQ(none.exit_status, 1);
  EXPECT_EQ(lines_of(none.err).back(),
            "quillreap-cli get: the search found nothing; no book written");

  // An address with no book behind it: no index, nothing written.
  const ProgramRun missing =
      cli({"download", "http://" + sites_.source1_host() + "/no/such/book.html", "无书"});
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_EQ(lines_of(missing.err).back(), download::no_index_line("无书"));
  EXPECT_EQ(files_written(), 0);
}

TEST_F(CliTest, BookWithALostChapterExitsWithThree) {
  test_support::TwoSourcesSite site;
  const ProgramRun run =
      test_support::run_program(QUILLREAP_CLI, {"download", site.address("/gap/1.html"), "缺章",
                                                "--source1-host", site.host(), "--out", out()});
  EXPECT_EQ(run.exit_status, 3) << run.err;
  EXPECT_EQ(book("缺章.txt"),
            "缺章\r\n\r\n\r\n\r\n第一章\r\n\r\n一之正文\r\n次行是师徒四人行至山前只见一座高山峻岭峰"
            "插碧空山势险峻林木茂盛\r\n\r\n第二章\r\n\r\n");
  EXPECT_EQ(lines_of(run.err).back(), books::written_line("缺章", 1));
}

TEST_F(CliTest, DownloadFollowsTheSourceTwoLabelInItsExactCase) {
  test_support::TwoSourcesSite site;
  const auto download = [&](const std::string& label, const std::string& name) {
    return test_support::run_program(
        QUILLREAP_CLI,
        {"download", site.address("/book/Src2Mark/1.html"), name, "--source1-host", site.host(),
         "--source2-host", site.host(), "--source2-label", label, "--out", out()});
  };
  EXPECT_EQ(download("Src2Mark", "乙书").exit_status, 0);
  EXPECT_EQ(download("src2mark", "甲书").exit_status, 0);
  EXPECT_EQ(book("乙书.txt"), test_support::TwoSourcesSite::source2_book("乙书"));
  EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书"));
}

TEST_F(CliTest, BooksGoToTheWorkingDirectoryWithoutOut) {
  const ProgramRun run = cli({"get", "--source", "1", "三国"}, out());
  EXPECT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, text::join_path(".", "三国演义.txt") + "\n");
  EXPECT_EQ(book("三国演义.txt"), golden_book("source1_sanguoyanyi"));
}

}  // namespace
}  // namespace quillreap
