// The shell with no window: records message boxes and opened addresses, and runs workers
// on std::thread. While it waits for its workers it pumps the interface thread's
// dispatcher, so a worker blocked on a control request can finish.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "app/shell.hpp"
#include "app/ui_dispatcher.hpp"

namespace quillreap::app {

struct MessageBoxCall {
  Text text;
  int style = 0;
  Text caption;
};

class HeadlessShell : public Shell {
 public:
  // interface_thread: the dispatcher the workers' control requests go to (usually
  // HeadlessControls::dispatcher()); null when the workers touch no controls.
  explicit HeadlessShell(UiDispatcher* interface_thread = nullptr);
  // Waits for every worker (pumping the dispatcher meanwhile) and joins it.
  ~HeadlessShell() override;
  HeadlessShell(const HeadlessShell&) = delete;
  HeadlessShell& operator=(const HeadlessShell&) = delete;

  int message_box(std::string_view text, int style, std::string_view caption) override;
  void open_in_browser(std::string_view address) override;
  bool start_worker(std::function<void()> work) override;

  // What message_box returns from now on (0, the OK button, by default).
  void set_message_box_result(int result) { message_box_result_ = result; }
  // Makes every later start_worker fail, as when no thread can be created.
  void set_fail_start_worker(bool fail) { fail_start_ = fail; }

  std::vector<MessageBoxCall> message_boxes() const;
  std::vector<Text> opened_addresses() const;
  int workers_started() const { return started_.load(); }
  int workers_running() const { return running_.load(); }
  bool joinable() const;  // some worker thread not joined yet

  // Interface thread: waits until every worker has ended, pumping the dispatcher, then
  // joins them; false when timeout passed first (the workers are then left running).
  bool wait_workers(UiDispatcher::Clock::duration timeout);

 private:
  void join_all();

  UiDispatcher* interface_thread_;
  mutable std::mutex mutex_;
  std::vector<MessageBoxCall> boxes_;
  std::vector<Text> addresses_;
  std::vector<std::thread> workers_;
  std::atomic<int> started_{0};
  std::atomic<int> running_{0};
  std::atomic<bool> fail_start_{false};
  std::atomic<int> message_box_result_{0};
};

}  // namespace quillreap::app
