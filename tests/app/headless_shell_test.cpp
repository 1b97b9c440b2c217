// The headless shell: records what the controller shows, runs workers it joins, and can be
// told to refuse a worker.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/app/headless_shell.hpp"
#include "tests/support/app/spy_controls.hpp"
#include "tests/support/app/spy_shell.hpp"

namespace quillreap::app {
namespace {

using namespace std::chrono_literals;
using test_support::HeadlessShell;

TEST(HeadlessShell, RecordsBoxesAndAddresses) {
  test_support::SpyShell shell;
  shell.set_message_box_result(1);
  EXPECT_EQ(shell.message_box("正文", 0, "关于"), 1);
  shell.open_in_browser("https://example/73.html");
  ASSERT_EQ(shell.message_boxes().size(), 1u);
  EXPECT_EQ(shell.message_boxes()[0].text, "正文");
  EXPECT_EQ(shell.message_boxes()[0].caption, "关于");
  EXPECT_EQ(shell.message_boxes()[0].style, 0);
  EXPECT_EQ(shell.opened_addresses(), (std::vector<Text>{"https://example/73.html"}));
}

TEST(HeadlessShell, WorkerReachesTheControlsWhileTheShellWaits) {
  test_support::SpyControls controls;
  test_support::SpyShell shell(&controls.dispatcher());
  ASSERT_TRUE(shell.start_worker([&] {
    controls.set_busy(true);
    controls.set_status("完成");
    controls.set_busy(false);
  }));
  EXPECT_EQ(shell.workers_started(), 1);
  EXPECT_TRUE(shell.wait_workers(60s));
  EXPECT_FALSE(shell.joinable());
  EXPECT_EQ(shell.workers_running(), 0);
  EXPECT_EQ(controls.status(), "完成");
  EXPECT_EQ(controls.busy_history(), (std::vector<bool>{true, false}));
  EXPECT_EQ(controls.thread_violations(), 0);
}

TEST(HeadlessShell, DestructorPumpsAndJoinsARunningWorker) {
  test_support::SpyControls controls;
  {
    test_support::SpyShell shell(&controls.dispatcher());
    shell.start_worker([&] { controls.set_status("末"); });
  }
  EXPECT_EQ(controls.status(), "末");
}

// What a worker throws ends on its thread: the process, and the shell, go on.
TEST(HeadlessShell, AThrowingWorkerEndsAloneAndTheShellGoesOn) {
  HeadlessShell shell;
  ASSERT_TRUE(shell.start_worker([] { throw std::runtime_error("inside"); }));
  EXPECT_TRUE(shell.wait_workers(60s));
  bool ran = false;
  ASSERT_TRUE(shell.start_worker([&] { ran = true; }));
  EXPECT_TRUE(shell.wait_workers(60s));
  EXPECT_TRUE(ran);
}

TEST(HeadlessShell, RefusedWorkerNeverRuns) {
  test_support::SpyShell shell;
  shell.set_fail_start_worker(true);
  bool ran = false;
  EXPECT_FALSE(shell.start_worker([&] { ran = true; }));
  EXPECT_EQ(shell.workers_started(), 0);
  EXPECT_TRUE(shell.wait_workers(1s));
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace quillreap::app
