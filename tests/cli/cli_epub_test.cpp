// quillreap-cli's --format, --author and --intro: the paths printed, the
// exit statuses, reproducible bytes under SOURCE_DATE_EPOCH, and (on the build host, which
// has Java and Python) epubcheck and the read-back of both sources' sample books.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/books/zip_reading.hpp"
#include "tests/support/program.hpp"
#include "tests/support/sites/changing_book_site.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/two_sources_site.hpp"
#include "text/codepage.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap {
namespace {

using test_support::ProgramRun;
using Lines = std::vector<std::string>;

void set_source_date_epoch(const char* value) {
#ifdef _WIN32
  _putenv_s("SOURCE_DATE_EPOCH", value);
#else
  if (*value) {
    setenv("SOURCE_DATE_EPOCH", value, 1);
  } else {
    unsetenv("SOURCE_DATE_EPOCH");
  }
#endif
}

class CliEpubTest : public ::testing::Test {
 protected:
  ~CliEpubTest() override { set_source_date_epoch(""); }
  ProgramRun cli(Lines arguments) {
    const sites::SiteConfig config = sites_.config();
    for (const std::string& option :
         Lines{"--search-host", config.search_host, "--source1-host", config.source1_host,
               "--source2-host", config.source2_host, "--source2-label", config.source2_label})
      arguments.push_back(option);
    if (arguments.front() != "search") arguments.insert(arguments.end(), {"--out", out()});
    return test_support::run_program(QUILLREAP_CLI, arguments);
  }
  std::string out() const { return directory_.text(); }
  std::string file(const std::string& name) const {
    const auto bytes = text::read_file(out() + "/" + name);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("(no file)");
  }

  sample_sites::SampleSites sites_;
  test_support::TempFolder directory_{"cli-epub"};
};

TEST_F(CliEpubTest, GetWritesBothBooksWithTheHitsMetadata) {
  const struct {
    const char* source;
    const char* word;
    const char* name;
  } cases[] = {{"1", "西游", "西游记"}, {"2", "三国", "三国演义"}};
  for (const auto& c : cases) {
    const ProgramRun run = cli({"get", "--source", c.source, c.word, "--format", "both"});
    EXPECT_EQ(run.exit_status, 0) << run.err;
    const std::string stem = text::join_path(out(), c.name);
    EXPECT_EQ(run.out, stem + ".txt\n" + stem + ".epub\n");
    // The completion line once, the last one, with the EPUB's note.
    const std::string done = std::string("书籍:") + c.name + "的所有章节已生成TXT文本在程序目录下";
    EXPECT_EQ(run.err.find(done), run.err.rfind(done)) << run.err;
    EXPECT_NE(run.err.find(done + "(已同时生成EPUB)\n"), std::string::npos) << run.err;
    const std::optional<std::string> opf =
        test_support::zip_entry(file(std::string(c.name) + ".epub"), "EPUB/package.opf");
    ASSERT_TRUE(opf) << c.name;
    EXPECT_NE(opf->find("<dc:creator>"), std::string::npos) << c.name;
#ifndef _WIN32
    const std::string command = "python3 " QUILLREAP_TESTS_DIR "/books/check_epub.py '" +
                                text::ansi_to_utf8(stem) + ".epub' '" + text::ansi_to_utf8(stem) +
                                ".txt'";
    EXPECT_EQ(std::system(command.c_str()), 0) << c.name;
#endif
  }
}

TEST_F(CliEpubTest, SameSourceDateEpochGivesTheSameBytesFetchedOrFromTheStore) {
  set_source_date_epoch("1700000000");
  const ProgramRun search = cli({"search", "--source", "1", "水浒"});
  const std::string address = search.out.substr(0, search.out.find('\t'));
  std::string first;
  for (int run_number = 0; run_number < 2; ++run_number) {
    const ProgramRun run = cli({"download", address, "水浒传", "--format", "epub", "--author",
                                "施耐庵", "--intro", "梁山 & <好汉>"});
    EXPECT_EQ(run.exit_status, 0) << run.err;
    EXPECT_EQ(run.out, text::join_path(out(), "水浒传.epub") + "\n");
    if (run_number == 0) first = file("水浒传.epub");
    // The second download reads what the first kept in the chapter store.
    if (run_number == 1) {
      EXPECT_NE(run.err.find("本地已存"), std::string::npos) << run.err;
    }
  }
  EXPECT_EQ(file("水浒传.txt"), "(no file)");
  EXPECT_EQ(file("水浒传.epub"), first);
  const std::optional<std::string> opf = test_support::zip_entry(first, "EPUB/package.opf");
  ASSERT_TRUE(opf);
  EXPECT_NE(opf->find("<meta property=\"dcterms:modified\">2023-11-14T22:13:20Z</meta>"),
            std::string::npos);
  EXPECT_NE(opf->find("&amp; &lt;"), std::string::npos);
}

TEST_F(CliEpubTest, LostChaptersExitWithThreeWithBothBooksWritten) {
  test_support::TwoSourcesSite site;
  const ProgramRun run = test_support::run_program(
      QUILLREAP_CLI, {"download", site.address("/gap/1.html"), "缺章", "--source1-host",
                      site.host(), "--out", out(), "--format", "both"});
  EXPECT_EQ(run.exit_status, 3) << run.err;
  EXPECT_EQ(run.out,
            text::join_path(out(), "缺章.txt") + "\n" + text::join_path(out(), "缺章.epub") + "\n");
#ifndef _WIN32
  const std::string command = "python3 " QUILLREAP_TESTS_DIR "/books/check_epub.py '" +
                              text::ansi_to_utf8(out()) + "/" + text::ansi_to_utf8("缺章") +
                              ".epub' '" + text::ansi_to_utf8(out() + "/缺章.txt") + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
#endif
}

// An EPUB that could not be written (its temporary file's place taken) beside a TXT that was:
// the record names the TXT alone, so the next update writes the EPUB though nothing is new;
// the update that failed says so and exits 1, and never says the books stayed as they were.
TEST_F(CliEpubTest, AFormatNotWrittenIsWrittenAtTheNextUpdate) {
  sites::ChangingBookSite site(3);
  const auto run = [&](Lines arguments) {
    arguments.insert(arguments.end(), {"--source1-host", site.host(), "--out", out()});
    site.reset_counts();
    return test_support::run_program(QUILLREAP_CLI, arguments);
  };
  // An ASCII name: the test makes a folder of the name beside the program's files.
  const std::string stem = text::join_path(out(), "serial");
  ASSERT_EQ(run({"download", site.book_address(), "serial", "--format", "both"}).exit_status, 0);
  site.add_chapters(1);
  const std::string blocked = stem + ".epub.part";
  ASSERT_TRUE(std::filesystem::create_directory(blocked));
  const ProgramRun failed = run({"update"});
  EXPECT_EQ(failed.exit_status, 1) << failed.err;
  EXPECT_EQ(failed.out, stem + ".txt\n");
  EXPECT_NE(failed.err.find("serial: the EPUB was not written: could not write " + blocked),
            std::string::npos)
      << failed.err;
  EXPECT_EQ(failed.err.find("stay as they were"), std::string::npos) << failed.err;
  // The EPUB of the download before stays, a chapter short.
  EXPECT_FALSE(test_support::zip_entry(file("serial.epub"), "EPUB/c00004.xhtml"));

  std::filesystem::remove(blocked);
  const ProgramRun check = run({"update", "--check"});
  EXPECT_EQ(check.out, "serial\t0\n");
  const ProgramRun again = run({"update"});
  EXPECT_EQ(again.exit_status, 0) << again.err;
  EXPECT_EQ(again.out, stem + ".txt\n" + stem + ".epub\n");
  EXPECT_EQ(site.chapter_requests(), 0);
  EXPECT_TRUE(test_support::zip_entry(file("serial.epub"), "EPUB/c00004.xhtml"));
  const ProgramRun nothing = run({"update"});
  EXPECT_EQ(nothing.exit_status, 0) << nothing.err;
  EXPECT_EQ(nothing.out, "");
}

}  // namespace
}  // namespace quillreap
