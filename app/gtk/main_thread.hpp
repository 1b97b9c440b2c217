// Carries a request from any thread out on the GTK interface thread and waits for it: the
// worker's control calls go through here, so only the interface thread touches widgets.
#pragma once

#include <functional>
#include <thread>

namespace quillreap::app::gtk {

class MainThread {
 public:
  // The constructing thread becomes the interface thread (the one running the GTK loop).
  MainThread() : owner_(std::this_thread::get_id()) {}

  bool is_current() const { return std::this_thread::get_id() == owner_; }

  // Runs fn on the interface thread and returns when it has run: at once when called
  // there, otherwise as an idle source of the default main context while the caller
  // blocks. The interface thread must keep iterating the loop for a foreign call to end.
  void call(const std::function<void()>& fn) const;

  template <typename Result>
  Result call_for(const std::function<Result()>& fn) const {
    Result result{};
    call([&] { result = fn(); });
    return result;
  }

 private:
  std::thread::id owner_;
};

}  // namespace quillreap::app::gtk
