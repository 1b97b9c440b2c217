// The one way work reaches the interface thread: run this there, wait for it, and hand
// back its result or rethrow what it threw on the caller's thread. Each front end supplies
// the carrying (a queue the headless model pumps, a GLib idle source, a window message).
#pragma once

#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace quillreap::app {

// Thrown by InterfaceThread::call when the interface thread no longer runs requests (its
// window is gone): there is no answer to hand back, and a made-up one (row 0, "") would
// lead a download on. A download worker takes it as the end of its download.
class InterfaceGone : public std::runtime_error {
 public:
  InterfaceGone() : std::runtime_error("the window has gone") {}
};

class InterfaceThread {
 public:
  virtual ~InterfaceThread() = default;

  // True on the interface thread itself.
  virtual bool is_current() const = 0;

  // Any thread: runs fn on the interface thread and returns its result. On the interface
  // thread fn runs at once; elsewhere the caller waits until the interface thread has run
  // it. What fn throws is rethrown here, never unwound through the platform's own loop.
  // When the interface is already gone and fn could not run, throws InterfaceGone.
  template <typename F>
  auto call(F&& fn) -> std::invoke_result_t<F&>;

 protected:
  // Carries request to the interface thread and returns once it has run there; false when
  // it could not run (the window is gone). request never throws. Called off that thread.
  virtual bool run_there(const std::function<void()>& request) = 0;
};

template <typename F>
auto InterfaceThread::call(F&& fn) -> std::invoke_result_t<F&> {
  using Result = std::invoke_result_t<F&>;
  if (is_current()) return fn();
  std::exception_ptr error;
  if constexpr (std::is_void_v<Result>) {
    const bool ran = run_there([&] {
      try {
        fn();
      } catch (...) {
        error = std::current_exception();
      }
    });
    if (error) std::rethrow_exception(error);
    if (!ran) throw InterfaceGone();
  } else {
    std::optional<Result> result;
    run_there([&] {
      try {
        result.emplace(fn());
      } catch (...) {
        error = std::current_exception();
      }
    });
    if (error) std::rethrow_exception(error);
    // No result means the request never ran, whatever run_there said.
    if (!result) throw InterfaceGone();
    return std::move(*result);
  }
}

}  // namespace quillreap::app
