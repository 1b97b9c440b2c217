// The shell of the command line. The CLI calls the controller's search and download
// directly on its own thread, so it starts no worker; a message box, should the controller
// show one, becomes a line on standard error, answered with OK.
#pragma once

#include "app/shell.hpp"

namespace quillreap::app::cli {

class CliShell : public Shell {
 public:
  int message_box(std::string_view text, int style, std::string_view caption) override;
  void open_in_browser(std::string_view address) override;
  // Always false: a command runs on the command line's own thread.
  bool start_worker(std::function<void()> work) override;
};

}  // namespace quillreap::app::cli
