// The GTK interface thread: a request from the download worker rides an idle source of the
// default main context to the thread running the GTK loop, and the worker waits for it.
#pragma once

#include <functional>
#include <thread>

#include "app/interface_thread.hpp"

namespace quillreap::app::gtk {

class GtkInterfaceThread : public InterfaceThread {
 public:
  // The constructing thread becomes the interface thread (the one running the GTK loop).
  GtkInterfaceThread() : owner_(std::this_thread::get_id()) {}

  bool is_current() const override { return std::this_thread::get_id() == owner_; }

 protected:
  // The interface thread must keep iterating the loop for a foreign call to end.
  bool run_there(const std::function<void()>& request) override;

 private:
  std::thread::id owner_;
};

}  // namespace quillreap::app::gtk
