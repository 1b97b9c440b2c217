// Message boxes, the default browser and the download worker's thread on Windows.
#pragma once

#include "app/shell.hpp"

namespace quillreap::app::win32 {

class Win32Shell : public Shell {
 public:
  // A task-modal MessageBoxW without owner; texts are converted from GBK.
  int message_box(std::string_view text, int style, std::string_view caption) override;
  // ShellExecuteA "open"; the address goes out in its GBK bytes.
  void open_in_browser(std::string_view address) override;
  // CreateThread with default security and stack; the handle is closed at once.
  bool start_worker(std::function<void()> work) override;
};

}  // namespace quillreap::app::win32
