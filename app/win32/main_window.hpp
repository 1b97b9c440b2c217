// The main window on Win32: built from the window description, it owns every control's
// handle, turns clicks and menu choices into commands, and runs requests from the download
// worker on the interface thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/interface_thread.hpp"
#include "app/window_description.hpp"

namespace quillreap::app::win32 {

class MainWindow : public InterfaceThread {
 public:
  // quit_on_close: closing the window ends the thread's message loop, as the program's
  // window does. An embedding test leaves it off so no WM_QUIT outlives the window.
  explicit MainWindow(bool quit_on_close = true);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Interface thread (the calling thread becomes it): creates the window and its controls
  // from the description, centres and shows it, and installs the thread's event pump so
  // do_events processes this window's messages. False when the window cannot be created.
  bool load_window(const WindowDescription& description);

  HWND handle() const { return window_.load(); }
  // The control of that name in the description, nullptr when there is none.
  HWND control(std::string_view name) const;
  const WindowDescription* description() const { return description_; }

  // Interface thread: greys (false) or enables (true) the menu items the description marks
  // as off while busy.
  void enable_busy_menu_items(bool enabled);

  // Called on the interface thread for each click or menu choice bound to a command.
  void set_command_handler(std::function<void(Command)> handler);

  // The window's thread is the interface thread; call() (from InterfaceThread) carries a
  // worker's request there as a message sent to the window while the worker waits.
  bool is_current() const override { return GetCurrentThreadId() == interface_thread_; }

 protected:
  // False when the window is gone and the request did not run.
  bool run_there(const std::function<void()>& request) override;

 private:
  static LRESULT CALLBACK window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);
  bool create_controls();
  HWND create_control(const ControlDescription& control, int id);
  // What a control of its kind needs once created: items, columns, parts, subclassing.
  void finish_control(HWND handle, const ControlDescription& control);
  void on_command(WORD id, WORD code);

  bool quit_on_close_;
  bool pump_installed_ = false;
  DWORD interface_thread_ = 0;
  // Read by the worker to send its requests; cleared when the window is destroyed.
  std::atomic<HWND> window_{nullptr};
  HWND combo_list_ = nullptr;  // the drop-down list of 组合框1, painted white
  const WindowDescription* description_ = nullptr;
  std::vector<std::pair<std::string_view, HWND>> controls_;  // in description order
  std::function<void(Command)> command_handler_;
};

}  // namespace quillreap::app::win32
