// The headless shell with a record of what the controller asked of it: message boxes
// (answered as told), opened addresses and workers started; and a switch that refuses
// every worker, as when no thread can be created.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "tests/support/app/headless_shell.hpp"

namespace quillreap::test_support {

using app::Text;

struct MessageBoxCall {
  Text text;
  int style = 0;
  Text caption;
};

class SpyShell : public HeadlessShell {
 public:
  using HeadlessShell::HeadlessShell;

  int message_box(std::string_view text, int style, std::string_view caption) override;
  void open_in_browser(std::string_view address) override;
  bool start_worker(std::function<void()> work) override;

  // What message_box returns from now on (0, the OK button, by default).
  void set_message_box_result(int result) { message_box_result_ = result; }
  // Makes every later start_worker fail.
  void set_fail_start_worker(bool fail) { fail_start_ = fail; }

  std::vector<MessageBoxCall> message_boxes() const;
  std::vector<Text> opened_addresses() const;
  int workers_started() const { return started_.load(); }

 private:
  mutable std::mutex mutex_;
  std::vector<MessageBoxCall> boxes_;
  std::vector<Text> addresses_;
  std::atomic<int> started_{0};
  std::atomic<bool> fail_start_{false};
  std::atomic<int> message_box_result_{0};
};

}  // namespace quillreap::test_support
