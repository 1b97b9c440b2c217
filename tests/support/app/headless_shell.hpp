// The tests' shell with no window: runs workers on std::thread and has no one to show a
// message box or a page to. While it waits for its workers it pumps the interface thread's
// dispatcher, so a worker blocked on a control request can finish. The spying shell builds
// on it.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "app/shell.hpp"
#include "tests/support/app/ui_dispatcher.hpp"

namespace quillreap::test_support {

class HeadlessShell : public app::Shell {
 public:
  // interface_thread: the dispatcher the workers' control requests go to (usually
  // HeadlessControls::dispatcher()); null when the workers touch no controls.
  explicit HeadlessShell(UiDispatcher* interface_thread = nullptr);
  // Waits for every worker (pumping the dispatcher meanwhile) and joins it.
  ~HeadlessShell() override;
  HeadlessShell(const HeadlessShell&) = delete;
  HeadlessShell& operator=(const HeadlessShell&) = delete;

  // Nobody to ask: the box counts as answered with its first button (0, OK).
  int message_box(std::string_view text, int style, std::string_view caption) override;
  // No browser to open.
  void open_in_browser(std::string_view address) override;
  bool start_worker(std::function<void()> work) override;

  int workers_running() const { return running_.load(); }
  bool joinable() const;  // some worker thread not joined yet

  // Interface thread: waits until every worker has ended, pumping the dispatcher, then
  // joins them; false when timeout passed first (the workers are then left running).
  bool wait_workers(UiDispatcher::Clock::duration timeout);

 private:
  void join_all();

  UiDispatcher* interface_thread_;
  mutable std::mutex mutex_;
  std::vector<std::thread> workers_;
  std::atomic<int> running_{0};
};

}  // namespace quillreap::test_support
