// Workers on std::thread, joined by the shell.
#include "tests/support/app/headless_shell.hpp"

namespace quillreap::test_support {

HeadlessShell::HeadlessShell(UiDispatcher* interface_thread)
    : interface_thread_(interface_thread) {}

HeadlessShell::~HeadlessShell() {
  if (interface_thread_ && interface_thread_->on_owner_thread())
    interface_thread_->run_until([this] { return running_.load() == 0; });
  join_all();
}

int HeadlessShell::message_box(std::string_view, int, std::string_view) {
  return 0;
}

void HeadlessShell::open_in_browser(std::string_view) {}

bool HeadlessShell::start_worker(std::function<void()> work) {
  ++running_;
  std::lock_guard lock(mutex_);
  workers_.emplace_back([this, work = std::move(work)] {
    app::run_guarded(work);
    --running_;
    // Lets a pump_until waiting for the workers look again at once.
    if (interface_thread_) interface_thread_->notify();
  });
  return true;
}

bool HeadlessShell::joinable() const {
  std::lock_guard lock(mutex_);
  for (const std::thread& worker : workers_)
    if (worker.joinable()) return true;
  return false;
}

bool HeadlessShell::wait_workers(UiDispatcher::Clock::duration timeout) {
  const auto done = [this] { return running_.load() == 0; };
  bool finished;
  if (interface_thread_ && interface_thread_->on_owner_thread()) {
    finished = interface_thread_->pump_until(done, timeout);
  } else {
    const auto deadline = UiDispatcher::Clock::now() + timeout;
    while (!done() && UiDispatcher::Clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    finished = done();
  }
  if (finished) join_all();
  return finished;
}

void HeadlessShell::join_all() {
  std::vector<std::thread> workers;
  {
    std::lock_guard lock(mutex_);
    workers.swap(workers_);
  }
  for (std::thread& worker : workers)
    if (worker.joinable()) worker.join();
}

}  // namespace quillreap::test_support
