// The headless controls with a record of what the controller did to them: every status
// text and busy switch in order, and a count of the writes a worker makes (status, busy,
// book buffer, result cells) that ran anywhere but on the interface thread: a fault in
// carrying a worker's call over.
#pragma once

#include <atomic>
#include <functional>
#include <string_view>
#include <thread>
#include <vector>

#include "app/headless_controls.hpp"
#include "tests/support/app/ui_dispatcher.hpp"

namespace quillreap::test_support {

using app::Text;

// Holds the dispatcher, so that it exists before the controls that send requests to it.
struct WithDispatcher {
  UiDispatcher dispatcher_;
};

class SpyControls : private WithDispatcher, public app::HeadlessControls {
 public:
  SpyControls() : HeadlessControls(dispatcher_) {}

  // The interface thread's queue, which a worker's control calls wait in until it pumps.
  UiDispatcher& dispatcher() { return dispatcher_; }
  int pump() { return dispatcher_.pump(); }
  bool pump_until(const std::function<bool()>& done, UiDispatcher::Clock::duration timeout) {
    return dispatcher_.pump_until(done, timeout);
  }

  void set_status(std::string_view text) override;
  void set_busy(bool busy) override;
  void append_log(std::string_view text) override;
  void list_set_cell(int row, int column, std::string_view text) override;

  // Interface thread only; a read from elsewhere counts as a thread violation.
  std::vector<Text> status_history() const;  // oldest first
  std::vector<bool> busy_history() const;
  // Every write to the 状态 column, oldest first, as "row:text".
  std::vector<Text> status_cell_history() const;
  // Writes whose work ran off the interface thread, and the reads above made off it; a
  // sound carrying and a sound test leave it at 0.
  int thread_violations() const { return violations_.load(); }

 private:
  // Runs work as a control call: carried to the interface thread, and checked to be there.
  template <typename Work>
  void on_interface(Work work) {
    dispatcher().call([&] {
      note_thread();
      work();
    });
  }
  void note_thread() const {
    if (std::this_thread::get_id() != interface_thread_) ++violations_;
  }

  // The constructing thread, as for the model underneath.
  const std::thread::id interface_thread_ = std::this_thread::get_id();
  mutable std::atomic<int> violations_{0};
  std::vector<Text> statuses_;
  std::vector<bool> busy_switches_;
  std::vector<Text> status_cells_;
};

}  // namespace quillreap::test_support
