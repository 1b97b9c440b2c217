// What the controller asks of the platform beyond the controls: message boxes, the
// default browser, and starting the download worker.
#pragma once

#include <functional>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::app {

using text::Text;

class Shell {
 public:
  virtual ~Shell() = default;
  // Shows a modal box; returns the button pressed as MessageBox's result minus one
  // (0 OK, 1 Cancel, ...). The style gets MB_TASKMODAL unless it holds MB_SYSTEMMODAL.
  virtual int message_box(std::string_view text, int style, std::string_view caption) = 0;
  // Opens address in the default browser; a failure is silent.
  virtual void open_in_browser(std::string_view address) = 0;
  // Runs work on a new thread and returns at once; false when no thread could start.
  // What work throws ends there (see run_guarded), never the process.
  virtual bool start_worker(std::function<void()> work) = 0;
};

// A worker thread's body: runs work and drops whatever it throws. The controller reports
// its own failures; this is the last catch, so that nothing reaches std::terminate.
inline void run_guarded(const std::function<void()>& work) noexcept {
  try {
    work();
  } catch (...) {
  }
}

}  // namespace quillreap::app
