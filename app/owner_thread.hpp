// The interface thread of a front end with no window and no worker: the command line runs
// its searches and downloads on the thread that made its controls, so every control call
// is made there already and nothing needs carrying.
#pragma once

#include <functional>
#include <thread>

#include "app/interface_thread.hpp"

namespace quillreap::app {

class OwnerThread : public InterfaceThread {
 public:
  bool is_current() const override { return std::this_thread::get_id() == owner_; }

 protected:
  // Nobody runs requests here: a call from another thread is refused as if the window had
  // gone, rather than left waiting for ever.
  bool run_there(const std::function<void()>&) override { return false; }

 private:
  const std::thread::id owner_ = std::this_thread::get_id();
};

}  // namespace quillreap::app
