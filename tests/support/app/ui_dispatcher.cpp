// The request queue of the owner thread: foreign threads post and block, the owner runs
// the requests whenever it pumps.
#include "tests/support/app/ui_dispatcher.hpp"

namespace quillreap::test_support {

UiDispatcher::UiDispatcher() : owner_(std::this_thread::get_id()) {}

void UiDispatcher::post(std::function<void()> request) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(request));
  }
  wake_.notify_all();
}

bool UiDispatcher::run_there(const std::function<void()>& request) {
  std::mutex done_mutex;
  std::condition_variable done_signal;
  bool done = false;
  post([&] {
    request();
    // Notify under the lock: this thread drops the three locals as soon as it sees done.
    std::lock_guard lock(done_mutex);
    done = true;
    done_signal.notify_one();
  });
  std::unique_lock lock(done_mutex);
  done_signal.wait(lock, [&] { return done; });
  return true;
}

void UiDispatcher::notify() {
  {
    std::lock_guard lock(mutex_);
    ++notifications_;
  }
  wake_.notify_all();
}

long UiDispatcher::requests_served() const {
  std::lock_guard lock(mutex_);
  return served_;
}

int UiDispatcher::pump() {
  if (!on_owner_thread()) return 0;
  int ran = 0;
  for (;;) {
    std::function<void()> request;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) return ran;
      request = std::move(queue_.front());
      queue_.pop_front();
    }
    // Run outside the lock: the request may post nothing, but other threads must be able
    // to queue theirs meanwhile.
    request();
    ++ran;
    std::lock_guard lock(mutex_);
    ++served_;
  }
}

long UiDispatcher::notifications() const {
  std::lock_guard lock(mutex_);
  return notifications_;
}

void UiDispatcher::wait_for_work(long seen, const Clock::time_point* deadline) {
  std::unique_lock lock(mutex_);
  const auto arrived = [&] { return !queue_.empty() || notifications_ != seen; };
  if (deadline)
    wake_.wait_until(lock, *deadline, arrived);
  else
    wake_.wait(lock, arrived);
}

bool UiDispatcher::pump_until(const std::function<bool()>& done, Clock::duration timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    // Taken before done() is asked: a notify that comes after the answer wakes the wait.
    const long seen = notifications();
    pump();
    if (done()) return true;
    if (Clock::now() >= deadline) return false;
    wait_for_work(seen, &deadline);
  }
}

void UiDispatcher::run_until(const std::function<bool()>& done) {
  for (;;) {
    const long seen = notifications();
    pump();
    if (done()) return;
    wait_for_work(seen, nullptr);
  }
}

}  // namespace quillreap::test_support
