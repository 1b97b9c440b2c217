// Hands work from any thread to one owner thread (the interface thread) and waits for it:
// a mutex and condition variable around a queue of functions. The headless controls and
// the command line run every control operation through one of these.
#pragma once

// <chrono> itself is left out: its unit names cannot be compiled for a GBK execution
// character set, and the tests are.
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

namespace quillreap::app {

class UiDispatcher {
 public:
  using Clock = std::chrono::steady_clock;

  // The constructing thread becomes the owner thread.
  UiDispatcher();
  UiDispatcher(const UiDispatcher&) = delete;
  UiDispatcher& operator=(const UiDispatcher&) = delete;

  bool on_owner_thread() const { return std::this_thread::get_id() == owner_; }
  std::thread::id owner() const { return owner_; }

  // Runs fn on the owner thread and returns its result. On the owner thread it runs at
  // once; on any other thread it is queued and the caller blocks until the owner has run
  // it in pump(), pump_until() or run_until().
  template <typename F>
  auto call(F&& fn) -> std::invoke_result_t<F&>;

  // Owner thread: runs every request queued so far; returns how many ran.
  int pump();
  // Owner thread: runs requests as they arrive until done() holds or timeout has passed;
  // returns done(). done() is checked after each request and after each notify().
  bool pump_until(const std::function<bool()>& done, Clock::duration timeout);
  // Owner thread: the blocking run loop, with no time limit.
  void run_until(const std::function<bool()>& done);
  // Any thread: wakes a waiting pump_until/run_until so it checks its condition again.
  void notify();

  // Requests that came from other threads and have been run.
  long requests_served() const;

 private:
  void post(std::function<void()> request);
  // Waits (owner thread) until a request or a notify arrives or deadline passes, then
  // runs what is queued.
  void wait_and_pump(Clock::time_point deadline);

  const std::thread::id owner_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  long notifications_ = 0;
  long served_ = 0;
};

template <typename F>
auto UiDispatcher::call(F&& fn) -> std::invoke_result_t<F&> {
  using Result = std::invoke_result_t<F&>;
  if (on_owner_thread()) return fn();
  // Called on a foreign thread: the owner runs fn and hands back its result (or its
  // exception) through the promise while this thread waits.
  std::promise<Result> done;
  std::future<Result> result = done.get_future();
  post([&fn, &done] {
    try {
      if constexpr (std::is_void_v<Result>) {
        fn();
        done.set_value();
      } else {
        done.set_value(fn());
      }
    } catch (...) {
      done.set_exception(std::current_exception());
    }
  });
  return result.get();
}

}  // namespace quillreap::app
