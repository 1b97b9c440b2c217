// quillreap-cli beyond one whole book: download lists (from standard input and from a
// file), parts of a book (--chapters A-B, A-, --last N, one past the end), and a book
// folder made before the first request or refused before it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "download/shelf.hpp"
#include "download/status_texts.hpp"
#include "tests/support/golden_book.hpp"
#include "tests/support/program.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

using sites::ChangingBookSite;
using test_support::golden_book;
using Lines = std::vector<std::string>;

// The sample sites' books on source 1 (西游补's page marked faulty) for the lists, and a
// book of ten chapters on a site of its own for the parts.
class CliBatchTest : public ::testing::Test {
 protected:
  std::string sample(const std::string& id) const {
    return "http://" + sites_.source1_host() + "/" + id + "/";
  }
  // Chapters first..last of the changing book as the whole book holds them.
  std::string part(int first, int last) const {
    const std::string whole = book_.expected_book();
    const auto heading = [&](int n) {
      return n > book_.chapter_count() ? whole.size()
                                       : whole.find("\r\n\r\n" + book_.title(n) + "\r\n\r\n");
    };
    return ChangingBookSite::kBookName + std::string("\r\n\r\n") +
           whole.substr(heading(first), heading(last + 1) - heading(first));
  }

  sample_sites::SampleSites sites_;
  ChangingBookSite book_{10};
};

TEST_F(CliBatchTest, ListsPartsAndTheBookFolder) {
  const std::string book = book_.book_address(), name = ChangingBookSite::kBookName;
  // Standard input's list, and the file's: "FOLDER" stands for the case's own folder.
  const std::string input = sample("1_1") + "\t西游记\n" + sample("4_4") + "\t西游补\n" +
                            sample("3_3") + "\n" + sample("2_2") + "\t水浒传\n";
  const std::string list = "# 我的书\r\n\r\n" + sample("2_2") + "\t水浒传\t暂无简介\t施耐庵\r\n" +
                           sample("3_3") + "\t三国演义\n";
  const std::string shuihu = golden_book("source1_shuihuzhuan");
  struct Case {
    Lines arguments;
    int exit_status;
    std::vector<std::pair<std::string, std::string>> books;  // file and bytes, as printed
    std::string err_has;
    int chapter_pages;  // asked of the changing book's site; -1: no site asked at all
  };
  const std::vector<Case> cases = {
      {{"download", "--list", "-"},  // a faulty book and a line without a name among good ones
       1,
       {{"西游记.txt", golden_book("source1_xiyouji")}, {"水浒传.txt", shuihu}},
       "list line 3 gives no name",
       0},
      {{"download", "--list", "FOLDER/list", "--out", "FOLDER/新书/深处"},
       0,
       {{"水浒传.txt", shuihu}, {"三国演义.txt", golden_book("source1_sanguoyanyi")}},
       "[2/2] 三国演义",
       0},
      {{"download", book, name, "--chapters", "3-7"},
       0,
       {{"变化之书(第3-7章).txt", part(3, 7)}},
       "书籍:变化之书(第3-7章)的所有章节",
       5},
      {{"download", book, name, "--last=3"}, 0, {{"变化之书(第8-10章).txt", part(8, 10)}}, "", 3},
      {{"download", book, name, "--chapters", "9-"},
       0,
       {{"变化之书(第9-10章).txt", part(9, 10)}},
       "",
       2},
      {{"download", book, name, "--chapters", "11-12"},
       1,
       {},
       download::past_last_chapter_line(name, 10, 11),
       0},
      {{"download", sample("2_2"), "水浒传", "--out", "FOLDER/blocker/书"},
       1,
       {},
       "blocker/书: a file is in the way",
       -1},
      {{"download", "--list", "FOLDER/missing"}, 1, {}, "missing: no such file or directory", -1},
  };
  for (const Case& each : cases) {
    const test_support::TempFolder folder("batch");
    std::ofstream(folder.path() / "blocker") << "";
    std::ofstream(folder.path() / "list", std::ios::binary) << list;
    Lines arguments = each.arguments;
    std::string out = folder.text();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
      if (arguments[i].starts_with("FOLDER")) arguments[i].replace(0, 6, folder.text());
      if (arguments[i] == "--out") out = folder.text() + each.arguments[i + 1].substr(6);
    }
    SCOPED_TRACE(arguments[1] + " " + arguments.back());
    // Source 1's index lies on its own host: the changing book's, or the sample site's.
    const bool changing = arguments[1] == book;
    arguments.insert(arguments.end(),
                     {"--source1-host", changing ? book_.host() : sites_.source1_host()});
    if (std::find(arguments.begin(), arguments.end(), "--out") == arguments.end())
      arguments.insert(arguments.end(), {"--out", out});
    const std::size_t connections = sites_.accepted_connections();
    book_.reset_counts();
    const test_support::ProgramRun run =
        test_support::run_program(QUILLREAP_CLI, arguments, "", test_support::ErrorTo::kFile,
                                  arguments[2] == "-" ? std::optional(input) : std::nullopt);
    EXPECT_EQ(run.exit_status, each.exit_status) << run.err;
    std::string printed;
    for (const auto& [file, bytes] : each.books) {
      printed += text::join_path(out, file) + "\n";
      const auto written = text::read_file(out + "/" + file);
      EXPECT_EQ(written ? std::string(written->begin(), written->end()) : "(none)", bytes) << file;
    }
    EXPECT_EQ(run.out, printed);
    // Whole books go on the shelf; a part never does.
    EXPECT_EQ(static_cast<std::ptrdiff_t>(download::read_shelf(out).books.size()),
              std::count_if(each.books.begin(), each.books.end(), [](const auto& written) {
                return written.first.find("(第") == std::string::npos;
              }));
    EXPECT_NE(run.err.find(each.err_has), std::string::npos) << run.err;
    EXPECT_EQ(book_.chapter_requests(), std::max(each.chapter_pages, 0));
    if (each.chapter_pages < 0) {
      EXPECT_EQ(sites_.accepted_connections(), connections);
    }
  }
}

}  // namespace
}  // namespace quillreap
