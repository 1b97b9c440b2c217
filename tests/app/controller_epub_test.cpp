// The EPUB beside (or instead of) the TXT: which files each choice writes, the completion
// line, the metadata taken from the row, that a write error is reported and the TXT kept,
// and that a stopped or refused download leaves no EPUB and keeps an earlier one.
#include <gtest/gtest.h>

#include "books/epub_status_texts.hpp"
#include "books/status_texts.hpp"
#include "download/status_texts.hpp"
#include "tests/app/controller_fixture.hpp"
#include "tests/support/books/zip_reading.hpp"
#include "text/files.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace quillreap::app {
namespace {

using books::BookOutcome;

TEST_F(ControllerTest, EachFormatWritesItsBooksAndSaysSo) {
  const struct {
    bool text_book, epub;
    std::vector<std::string> files;
    std::string status;
  } cases[] = {
      {true, false, {"甲书.txt"}, books::written_line("甲书", 0)},
      {true,
       true,
       {"甲书.txt", "甲书.epub"},
       books::written_line("甲书", 0) + std::string(books::kEpubAlsoWritten)},
      {false, true, {"甲书.epub"}, books::epub_written_line("甲书", 0)},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(directory_.path());
    std::filesystem::create_directories(directory_.path());
    controller().set_formats(c.text_book, c.epub);
    EXPECT_EQ(controller().download_book(site_.address("/book/1.html"), "甲书"),
              BookOutcome::kComplete);
    std::vector<std::string> expected;
    for (const std::string& file : c.files)
      expected.push_back(text::join_path(directory_.text(), file));
    EXPECT_EQ(controller().written_files(), expected);
    EXPECT_EQ(files_written(), static_cast<int>(c.files.size()));
    EXPECT_EQ(controls_.status_history().back(), c.status);
    // The TXT is the same book whether the EPUB is written or not.
    if (c.text_book) {
      EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书"));
    }
  }
}

TEST_F(ControllerTest, TheMenuItemAddsTheEpubWithTheRowsAuthorAndIntroduction) {
  controller().run_command(Command::kToggleEpub);
  add_row(site_.address("/book/1.html"), "甲书");
  controls_.list_set_cell(0, 2, "简介");
  controls_.list_set_cell(0, 3, "吴承恩");
  generate_and_wait();
  EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书"));
  const std::optional<std::string> opf =
      test_support::zip_entry(book("甲书.epub"), "EPUB/package.opf");
  ASSERT_TRUE(opf);
  EXPECT_NE(opf->find("<dc:creator>\xE5\x90\xB4\xE6\x89\xBF\xE6\x81\xA9</dc:creator>"),
            std::string::npos);
  EXPECT_NE(opf->find("<dc:description>\xE7\xAE\x80\xE4\xBB\x8B</dc:description>"),
            std::string::npos);
  EXPECT_EQ(controls_.status_history().back(),
            books::written_line("甲书", 0) + std::string(books::kEpubAlsoWritten));

  // Unchecked again: the TXT alone, as before the item existed.
  controller().run_command(Command::kToggleEpub);
  ASSERT_TRUE(text::remove_file(directory_.text() + "/甲书.epub"));
  generate_and_wait();
  EXPECT_EQ(files_written(), 1);
  EXPECT_EQ(controls_.status_history().back(), books::written_line("甲书", 0));
}

TEST_F(ControllerTest, AnEpubThatCannotBeSavedIsReportedAndTheTxtStays) {
  // A directory where the EPUB should go: the move into place fails.
  ASSERT_TRUE(text::make_directory(directory_.text() + "/甲书.epub"));
  controller().set_formats(true, true);
  EXPECT_EQ(controller().download_book(site_.address("/book/1.html"), "甲书"),
            BookOutcome::kNotWritten);
  EXPECT_EQ(controller().written_files(),
            std::vector<std::string>{text::join_path(directory_.text(), "甲书.txt")});
  EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书"));
  EXPECT_EQ(files_written(), 2);  // the TXT and the directory; no temporary file
  EXPECT_EQ(controls_.status_history().back(),
            books::written_line("甲书", 0) + std::string(books::kEpubNotSaved));
}

#ifndef _WIN32
TEST_F(ControllerTest, AWriteErrorOnTheEpubsThreadIsReportedAndTheTxtStays) {
  // A book of about 500 KB deflated, so that its chapters reach the disk on the EPUB's own
  // thread; the temporary file is Linux's full device, which refuses every write.
  sample_sites::SampleSites sites(config_, {}, sample_sites::BigBook{1000, 3200});
  config_ = sites.config();
  std::filesystem::create_symlink("/dev/full", directory_.path() / "big.epub.part");
  controller().set_formats(true, true);
  EXPECT_EQ(controller().download_book("http://" + sites.source2_host() + "/Book/9999.aspx", "big"),
            BookOutcome::kNotWritten);
  EXPECT_EQ(controller().written_files(),
            std::vector<std::string>{text::join_path(directory_.text(), "big.txt")});
  EXPECT_EQ(controls_.status_history().back(),
            books::written_line("big", 0) + std::string(books::kEpubNotSaved));
  EXPECT_EQ(files_written(), 1);  // the TXT; nothing of the EPUB
}
#endif

TEST_F(ControllerTest, LostChaptersKeepTheirHeadingsInTheEpub) {
  controller().set_formats(true, true);
  EXPECT_EQ(controller().download_book(site_.address("/gap/1.html"), "缺章"),
            BookOutcome::kWrittenWithGaps);
  const std::string epub = book("缺章.epub");
  const std::optional<std::string> lost = test_support::zip_entry(epub, "EPUB/c00002.xhtml");
  ASSERT_TRUE(lost);
  EXPECT_NE(lost->find("</h2>\n</body>"), std::string::npos);  // heading, no paragraph
  EXPECT_EQ(controls_.status_history().back(),
            books::written_line("缺章", 1) + std::string(books::kEpubAlsoWritten));
}

TEST_F(ControllerTest, StoppedOrRefusedDownloadsLeaveNoEpubAndKeepAnEarlierOne) {
  const struct {
    const char* path;
    bool stop_at_second_chapter;
    BookOutcome outcome;
  } cases[] = {
      {"/warning/1.html", false, BookOutcome::kNotWritten},
      {"/book/1.html", true, BookOutcome::kStopped},
  };
  for (const auto& c : cases) {
    controller_.reset();
    std::filesystem::remove_all(directory_.path());
    std::filesystem::create_directories(directory_.path());
    ASSERT_TRUE(text::write_file(directory_.text() + "/书.epub", text::to_bytes("earlier")));
    controls_.set_status_callback([&](const Text& status) {
      if (c.stop_at_second_chapter && status == download::chapter_line("第二章"))
        controller().stop_download();
    });
    controller().set_formats(true, true);
    EXPECT_EQ(controller().download_book(site_.address(c.path), "书"), c.outcome) << c.path;
    EXPECT_EQ(files_written(), 1) << c.path;
    EXPECT_EQ(book("书.epub"), "earlier") << c.path;
    EXPECT_TRUE(controller().written_files().empty());
  }
  controls_.set_status_callback(nullptr);
}

}  // namespace
}  // namespace quillreap::app
