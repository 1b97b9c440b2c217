// The result list's 状态 cell: what it says while and after a row is downloaded, and how
// often the chapters' progress is told.
#include <gtest/gtest.h>

#include <chrono>

#include "app/row_status.hpp"
#include "tests/app/controller_fixture.hpp"

namespace quillreap::app {
namespace {

using books::BookOutcome;
using download::ChapterProgress;

TEST(RowStatus, TheCellSaysHowTheDownloadEnded) {
  struct Case {
    BookOutcome outcome;
    ChapterProgress last;
    const char* cell;
  };
  const Case cases[] = {
      {BookOutcome::kComplete, {9, 9, 0, 0}, "已完成"},
      {BookOutcome::kWrittenWithGaps, {9, 9, 2, 0}, "缺2章"},
      {BookOutcome::kComplete, {9, 9, 0, 3}, "待更新3章"},
      {BookOutcome::kWrittenWithGaps, {9, 9, 1, 12}, "缺1章 待更新12章"},
      {BookOutcome::kStopped, {4, 9, 1, 0}, "已停止"},
      {BookOutcome::kNotWritten, {9, 9, 0, 0}, "未完成"},  // the save failed
      {BookOutcome::kNotWritten, {}, "未完成"},            // no index
  };
  for (const Case& c : cases) EXPECT_EQ(finished_cell(c.outcome, c.last), c.cell) << c.cell;
  EXPECT_EQ(downloading_cell({37, 2000, 1, 0}), "下载中 37/2000");
}

TEST(RowStatus, ProgressIsToldFirstThenAtMostFourTimesASecondAndAlwaysAtTheEnd) {
  using namespace std::chrono_literals;
  const auto start = download::ProgressPace::Clock::time_point{} + 1h;
  struct Step {
    std::chrono::milliseconds at;
    int done;
    bool told;
  };
  const Step steps[] = {{0ms, 0, true},    {1ms, 1, false},   {249ms, 2, false}, {250ms, 3, true},
                        {260ms, 4, false}, {261ms, 10, true}, {262ms, 10, true}};
  download::ProgressPace pace;
  for (const Step& step : steps)
    EXPECT_EQ(pace.due({step.done, 10, 0, 0}, start + step.at), step.told) << step.at.count();
}

// Only the downloaded row's cell moves, from "下载中 0/2" to "下载中 2/2" and then to how the
// download ended; the other rows keep what they held.
TEST_F(ControllerTest, TheDownloadedRowsStatusCellFollowsItsChapters) {
  struct Case {
    const char* path;
    std::vector<Text> cells;
  };
  const Case cases[] = {
      // 第二章 is too short to be more than a placeholder.
      {"/book/1.html", {"1:下载中 0/2", "1:下载中 2/2", "1:待更新1章"}},
      {"/gap/1.html", {"1:下载中 0/2", "1:下载中 2/2", "1:缺1章"}},
      {"/warning/1.html", {"1:未完成"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    controls_.list_clear();
    add_row(site_.address("/other.html"), "别书", false);
    add_row(site_.address(c.path), "甲书");
    const size_t before = controls_.status_cell_history().size();
    generate_and_wait();
    const std::vector<Text> history = controls_.status_cell_history();
    std::vector<Text> seen(history.begin() + before, history.end());
    // Chapters told in between depend on the clock; the first and the last are certain.
    if (seen.size() > 3) seen.erase(seen.begin() + 1, seen.end() - 2);
    EXPECT_EQ(seen, c.cells);
    EXPECT_EQ(controls_.list_get_cell(0, kStatusColumn), "");
  }
  controls_.list_select_row(1);
  controller().stop_download();
  generate_and_wait();
  EXPECT_EQ(controls_.list_get_cell(1, kStatusColumn), "已停止");
}

}  // namespace
}  // namespace quillreap::app
