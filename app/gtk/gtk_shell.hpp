// The shell on GTK: modal message boxes, the default browser through GIO, and download
// workers on std::thread that are joined, never left running, when the window closes.
#pragma once

#include <gtk/gtk.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "app/shell.hpp"

namespace quillreap::app::gtk {

class GtkShell : public Shell {
 public:
  // owner: the window message boxes are modal to (may be null). Interface thread.
  explicit GtkShell(GtkWindow* owner);
  // Waits for the workers (see join_workers).
  ~GtkShell() override;
  GtkShell(const GtkShell&) = delete;
  GtkShell& operator=(const GtkShell&) = delete;

  // Interface thread.
  int message_box(std::string_view text, int style, std::string_view caption) override;
  void open_in_browser(std::string_view address) override;
  // Interface thread; the worker runs work and then wakes the GTK loop.
  bool start_worker(std::function<void()> work) override;

  int workers_running() const { return running_.load(); }
  // Interface thread: keeps the GTK loop going until every worker has ended, so a worker
  // waiting on a control request can finish, then joins them all.
  void join_workers();

 private:
  GtkWindow* owner_;
  std::mutex mutex_;
  std::vector<std::thread> workers_;
  std::atomic<int> running_{0};
};

}  // namespace quillreap::app::gtk
