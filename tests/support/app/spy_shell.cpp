#include "tests/support/app/spy_shell.hpp"

namespace quillreap::test_support {

int SpyShell::message_box(std::string_view text, int style, std::string_view caption) {
  std::lock_guard lock(mutex_);
  boxes_.push_back({Text(text), style, Text(caption)});
  return message_box_result_.load();
}

void SpyShell::open_in_browser(std::string_view address) {
  std::lock_guard lock(mutex_);
  addresses_.emplace_back(address);
}

bool SpyShell::start_worker(std::function<void()> work) {
  if (fail_start_.load()) return false;
  ++started_;
  return HeadlessShell::start_worker(std::move(work));
}

std::vector<MessageBoxCall> SpyShell::message_boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

std::vector<Text> SpyShell::opened_addresses() const {
  std::lock_guard lock(mutex_);
  return addresses_;
}

}  // namespace quillreap::test_support
