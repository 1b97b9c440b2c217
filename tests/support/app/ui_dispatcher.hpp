// The tests' interface thread: work from any thread is queued for one owner thread and the
// caller waits for it, a mutex and condition variable around a queue of functions. The
// spying controls run a worker's control calls through one, as a window would.
#pragma once

// <chrono> itself is left out: its unit names cannot be compiled for a GBK execution
// character set, and the tests are.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "app/interface_thread.hpp"

namespace quillreap::test_support {

class UiDispatcher : public app::InterfaceThread {
 public:
  using Clock = std::chrono::steady_clock;

  // The constructing thread becomes the owner thread.
  UiDispatcher();
  UiDispatcher(const UiDispatcher&) = delete;
  UiDispatcher& operator=(const UiDispatcher&) = delete;

  bool is_current() const override { return std::this_thread::get_id() == owner_; }
  bool on_owner_thread() const { return is_current(); }
  std::thread::id owner() const { return owner_; }

  // call() (from InterfaceThread) queues a foreign thread's request; the caller blocks until
  // the owner has run it in pump(), pump_until() or run_until().

  // Owner thread: runs every request queued so far; returns how many ran.
  int pump();
  // Owner thread: runs requests as they arrive until done() holds or timeout has passed;
  // returns done(). done() is asked after the requests that arrived and after each
  // notify(), and only then: whoever changes what it reads from another thread calls
  // notify() afterwards (there is no polling).
  bool pump_until(const std::function<bool()>& done, Clock::duration timeout);
  // Owner thread: the blocking run loop, with no time limit.
  void run_until(const std::function<bool()>& done);
  // Any thread: wakes a waiting pump_until/run_until so it asks done() again.
  void notify();

  // Requests that came from other threads and have been run.
  long requests_served() const;

 protected:
  bool run_there(const std::function<void()>& request) override;

 private:
  void post(std::function<void()> request);
  long notifications() const;
  // Waits (owner thread) until a request is queued, a notify comes after the count seen,
  // or deadline (when given) passes.
  void wait_for_work(long seen, const Clock::time_point* deadline);

  const std::thread::id owner_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  long notifications_ = 0;
  long served_ = 0;
};

}  // namespace quillreap::test_support
