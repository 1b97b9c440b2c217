// The download worker: which source a row goes to, what an empty selection does, and that
// every control request of the worker is carried out on the interface thread.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <thread>

#include "app/interface_thread.hpp"
#include "app/row_status.hpp"
#include "books/status_texts.hpp"
#include "download/chapter_store.hpp"
#include "download/status_texts.hpp"
#include "tests/app/controller_fixture.hpp"
#include "tests/support/app/failing_controls.hpp"

namespace quillreap::app {
namespace {

TEST_F(ControllerTest, RowWithTheLabelGoesToSourceTwoWhateverTheDropDownShows) {
  controls_.set_source_choice(0);
  add_row(site_.address("/book/Src2Mark/7.html"), "乙书");
  generate_and_wait();
  EXPECT_TRUE(site_.requested("/two/"));
  EXPECT_FALSE(site_.requested("/one/"));
  EXPECT_EQ(book("乙书.txt"), test_support::TwoSourcesSite::source2_book("乙书"));
  EXPECT_EQ(controls_.status(), books::written_line("乙书", 0));
}

TEST_F(ControllerTest, LabelInOtherLetterCaseOrMissingGoesToSourceOne) {
  for (const std::string path : {"/book/src2mark/7.html", "/book/7.html"}) {
    controls_.list_clear();
    controls_.set_source_choice(1);
    add_row(site_.address(path), "甲书");
    generate_and_wait();
    EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书")) << path;
  }
  EXPECT_TRUE(site_.requested("/one/"));
  EXPECT_FALSE(site_.requested("/two/"));
}

TEST_F(ControllerTest, DownloadTakesTheSelectedRow) {
  add_row(site_.address("/book/1.html"), "甲书", false);
  add_row(site_.address("/book/Src2Mark/2.html"), "乙书", true);
  add_row(site_.address("/book/3.html"), "丙书", false);
  generate_and_wait();
  EXPECT_EQ(files_written(), 1);
  EXPECT_EQ(book("乙书.txt"), test_support::TwoSourcesSite::source2_book("乙书"));
}

TEST_F(ControllerTest, NoSelectedRowWritesNothingAndSaysSo) {
  add_row(site_.address("/book/1.html"), "甲书", false);
  controls_.list_select_row(-1);
  generate_and_wait();
  EXPECT_EQ(files_written(), 0);
  EXPECT_TRUE(site_.targets().empty());
  EXPECT_EQ(controls_.status(), "未能获取的章节目录,未生成TXT文本");
  EXPECT_EQ(controls_.busy_history(), (std::vector<bool>{true, true, false}));
}

// The interface thread notes, at every status line, that it is the thread showing it and
// whether the worker was still running: a worker that touched the model itself, or an
// interface thread that stopped serving requests during the download, fails here.
TEST_F(ControllerTest, WorkerRequestsAreCarriedOutOnTheInterfaceThreadWhileItRuns) {
  const std::thread::id interface_thread = std::this_thread::get_id();
  int shown_elsewhere = 0;
  int shown_during_download = 0;
  std::vector<bool> busy_at_status;
  controls_.set_status_callback([&](const Text&) {
    if (std::this_thread::get_id() != interface_thread) ++shown_elsewhere;
    if (shell_.workers_running() > 0) ++shown_during_download;
    busy_at_status.push_back(controls_.busy());
  });
  add_row(site_.address("/book/1.html"), "甲书");
  const long served_before = controls_.dispatcher().requests_served();
  generate_and_wait();

  EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书"));
  EXPECT_EQ(controls_.thread_violations(), 0);
  EXPECT_EQ(shown_elsewhere, 0);
  // found, parsing, two chapters, written: all while the worker ran.
  EXPECT_EQ(shown_during_download, 5);
  EXPECT_EQ(busy_at_status, std::vector<bool>(5, true));
  EXPECT_GT(controls_.dispatcher().requests_served(), served_before + 5);
  EXPECT_FALSE(controls_.busy());
}

TEST_F(ControllerTest, DownloadBookDispatchesByTheAddressAndReportsTheOutcome) {
  EXPECT_EQ(controller().download_book(site_.address("/book/Src2Mark/1.html"), "乙书"),
            books::BookOutcome::kComplete);
  EXPECT_EQ(controller().download_book(site_.address("/gap/1.html"), "缺章"),
            books::BookOutcome::kWrittenWithGaps);
  EXPECT_EQ(controller().download_book(site_.address("/warning/1.html"), "坏书"),
            books::BookOutcome::kNotWritten);
  EXPECT_EQ(book("缺章.txt"),
            "缺章\r\n\r\n\r\n\r\n第一章\r\n\r\n一之正文\r\n次行是师徒四人行至山前只见一座高山峻岭峰"
            "插碧空山势险峻林木茂盛\r\n\r\n第二章\r\n\r\n");
  EXPECT_EQ(controls_.status_history().back(), download::kFaultyBook);
}

// A download that throws inside (out of memory, a window gone) ends on the worker: no book,
// the store keeps the chapter it had before the throw, and the window works on. The third
// append is the first chapter's text, which the store has just kept.
TEST_F(ControllerTest, AFailureInsideTheDownloadEndsItAndTheWindowGoesOn) {
  struct Case {
    std::exception_ptr error;
    std::string status;
    bool enabled;  // the controls enabled again
  };
  const std::string long_what(200, 'x');
  const Case cases[] = {
      {std::make_exception_ptr(std::length_error("book too long")),
       download::download_error_line("book too long"), true},
      {std::make_exception_ptr(std::bad_alloc()), download::download_error_line("std::bad_alloc"),
       true},
      {std::make_exception_ptr(std::runtime_error(long_what)),
       download::download_error_line(long_what.substr(0, 60)), true},
      {std::make_exception_ptr(42), download::download_error_line("unknown failure"), true},
      // The window has gone: nothing more is asked of it.
      {std::make_exception_ptr(InterfaceGone()), download::chapter_line("第一章"), false},
  };
  add_row(site_.address("/book/1.html"), "甲书");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    controls_.set_busy(false);
    test_support::FailingControls failing(controls_, 3, c.error);
    Controller failing_controller(failing, shell_, config_, directory_.text());
    failing_controller.on_generate();
    ASSERT_TRUE(shell_.wait_workers(std::chrono::seconds(120)));
    EXPECT_EQ(controls_.status(), c.status);
    EXPECT_EQ(controls_.busy(), !c.enabled);
    EXPECT_EQ(files_written(), 0);
    // The row does not go on saying "下载中" for a download that has ended.
    if (c.enabled) {
      EXPECT_EQ(controls_.list_get_cell(0, kStatusColumn), "未完成");
    }
    download::ChapterStore store(directory_.text(), site_.address("/book/1.html"));
    EXPECT_EQ(store.stored_count(), 1);
  }
  // The window's own controller downloads on; the stored chapter is taken from the store.
  controls_.set_busy(false);
  generate_and_wait();
  EXPECT_EQ(book("甲书.txt"), test_support::TwoSourcesSite::source1_book("甲书"));
}

}  // namespace
}  // namespace quillreap::app
