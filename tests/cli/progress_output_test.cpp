// The terminal's progress bar and the three styles of standard error, driven with a clock
// of the test's own: what a bar line says (rate, time left, lost), how it wipes the draw
// before, and which lines each style shows, above the bar or instead of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cli/progress_bar.hpp"
#include "app/cli/progress_output.hpp"

namespace quillreap::app::cli {
namespace {

using download::ChapterProgress;
using Clock = ProgressBar::Clock;

Clock::time_point at(int ms) {
  return Clock::time_point(std::chrono::milliseconds(ms));
}

TEST(ProgressBarTest, DrawsDoneRateTimeLeftAndLostOverTheDrawBefore) {
  struct Step {
    int ms;
    ChapterProgress progress;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::string last_draw;
    int columns = 0;  // the terminal's width; 0 unknown
    std::string label = "";
  };
  const std::vector<Case> cases = {
      {"nothing done yet: no rate, no time left",
       {{0, {0, 2000, 0, 0}}},
       "\r[--------------------] 0/2000章 --章/秒 剩余--:-- 缺0章"},
      {"100 chapters in 4 s: 25 a second, 1900 left in 76 s",
       {{0, {0, 2000, 0, 0}}, {4000, {100, 2000, 0, 0}}},
       "\r[#-------------------] 100/2000章 25.0章/秒 剩余1:16 缺0章"},
      {"half a second left shows as a second",
       {{0, {0, 3, 0, 0}}, {1000, {2, 3, 0, 0}}},
       "\r[#############-------] 2/3章 2.0章/秒 剩余0:01 缺0章"},
      {"hours",
       {{0, {0, 100000, 0, 0}}, {1000, {1, 100000, 0, 0}}},
       "\r[--------------------] 1/100000章 1.0章/秒 剩余27:46:39 缺0章"},
      {"all done, three lost",
       {{0, {0, 10, 0, 0}}, {500, {10, 10, 3, 0}}},
       "\r[####################] 10/10章 20.0章/秒 剩余0:00 缺3章"},
      // 50 chapters in the first second, one in the ten after: the rate is the last ten
      // seconds' 0.1, and the line, one byte shorter, wipes the last byte of the one before.
      {"the rate counts the last ten seconds",
       {{0, {0, 100, 0, 0}}, {1000, {50, 100, 0, 0}}, {11000, {51, 100, 0, 0}}},
       "\r[##########----------] 51/100章 0.1章/秒 剩余8:10 缺0章 "},
      {"a label ahead of the bar",
       {{0, {0, 2000, 0, 0}}, {4000, {100, 2000, 0, 0}}},
       "\r[2/5] 书名 [#-------------------] 100/2000章 25.0章/秒 剩余1:16 缺0章",
       0,
       "[2/5] 书名"},
      {"a column short of the whole line: no rate",
       {{0, {0, 2000, 0, 0}}, {4000, {100, 2000, 0, 0}}},
       "\r[#-------------------] 100/2000章 剩余1:16 缺0章       ",
       57},
      {"no time left either, nor the label",
       {{0, {0, 2000, 0, 0}}, {4000, {100, 2000, 0, 0}}},
       "\r[#-------------------] 100/2000章 缺0章",
       47,
       "[2/5] 书名"},
      {"cut, on a whole character",
       {{0, {0, 2000, 0, 0}}, {4000, {100, 2000, 0, 0}}},
       "\r[#-------------------] 100/2000 ",
       33},
  };
  for (const Case& each : cases) {
    ProgressBar bar;
    bar.set_label(each.label);
    std::string last;
    for (const Step& step : each.steps) last = bar.draw(step.progress, at(step.ms), each.columns);
    EXPECT_EQ(last, each.last_draw) << each.what;
  }
}

TEST(ProgressOutputTest, EachStyleShowsItsLinesAndTheBarGivesWayToLinesAbove) {
  // One download's calls, in the order the controls make them.
  enum Kind { kStatus, kNote, kProgress, kConclude, kStop };
  struct Call {
    Kind kind;
    std::string text;
    ChapterProgress progress;
  };
  const std::string bar0 = "[--------------------] 0/2章 --章/秒 剩余--:-- 缺0章";
  const std::string bar2 = "[####################] 2/2章 8.0章/秒 剩余0:00 缺1章";
  const std::vector<Call> finished = {{kStatus, "已查找到", {}},
                                      {kProgress, "", {0, 2, 0, 0}},
                                      {kStatus, "正在处理 《一》", {}},
                                      {kNote, "could not get 一", {}},
                                      {kStatus, "正在处理 《二》", {}},
                                      {kProgress, "", {2, 2, 1, 0}},
                                      {kNote, "1章内容疑似", {}},
                                      {kStatus, "书籍:完成", {}},
                                      {kConclude, "", {}}};
  const std::vector<Call> stopped = {{kStatus, "已查找到", {}},
                                     {kProgress, "", {0, 2, 0, 0}},
                                     {kStatus, "正在处理 《一》", {}},
                                     {kStop, "", {}}};
  // The download threw: the output ends with the bar still showing.
  const std::vector<Call> thrown(stopped.begin(), stopped.end() - 1);
  struct Case {
    OutputStyle style;
    const std::vector<Call>* calls;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {OutputStyle::kLines, &finished,
       "已查找到\n正在处理 《一》\ncould not get 一\n正在处理 《二》\n1章内容疑似\n书籍:完成\n"},
      {OutputStyle::kQuiet, &finished, "could not get 一\n1章内容疑似\n书籍:完成\n"},
      // A line above the bar is padded over the bar's whole width, then the bar comes again.
      {OutputStyle::kBar, &finished,
       "已查找到\n\r" + bar0 + "\rcould not get 一" + std::string(bar0.size() - 16, ' ') + "\n" +
           bar0 + "\r" + bar2 + "\r1章内容疑似" + std::string(bar2.size() - 11, ' ') + "\n" + bar2 +
           "\n书籍:完成\n"},
      {OutputStyle::kLines, &stopped, "已查找到\n正在处理 《一》\n"},
      {OutputStyle::kQuiet, &stopped, ""},
      {OutputStyle::kBar, &stopped, "已查找到\n\r" + bar0 + "\n"},
      {OutputStyle::kBar, &thrown, "已查找到\n\r" + bar0 + "\n"},
  };
  for (const Case& each : cases) {
    std::string shown;
    {
      ProgressOutput output(each.style, [&](std::string_view gbk) { shown += gbk; });
      int ms = 0;
      for (const Call& call : *each.calls) {
        if (call.kind == kStatus) output.status(call.text);
        if (call.kind == kNote) output.note(call.text);
        if (call.kind == kProgress) output.progress(call.progress, at(ms += 250));
        if (call.kind == kConclude || call.kind == kStop) output.conclude(call.kind == kConclude);
      }
    }
    EXPECT_EQ(shown, each.shown) << static_cast<int>(each.style) << " " << each.calls->size();
  }
}

TEST(ProgressOutputTest, ABarLeftAloneIsDrawnAgainOnceStaleWithItsRateFalling) {
  std::string shown;
  ProgressOutput output(OutputStyle::kBar, [&](std::string_view gbk) { shown = gbk; });
  output.progress({0, 100, 0, 0}, at(0));
  output.progress({50, 100, 0, 0}, at(1000));
  output.redraw_stale(at(1700));
  EXPECT_EQ(shown, "\r[##########----------] 50/100章 50.0章/秒 剩余0:01 缺0章");
  output.redraw_stale(at(6000));
  EXPECT_EQ(shown, "\r[##########----------] 50/100章 8.3章/秒 剩余0:06 缺0章 ");
}

}  // namespace
}  // namespace quillreap::app::cli
