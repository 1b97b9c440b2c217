// The program's one window on GTK: the widgets built from the description, the controls
// binding, the shell and the controller wired together. Created and used on the
// interface thread.
#pragma once

#include <functional>
#include <memory>

#include "app/controller.hpp"
#include "app/gtk/book_folder.hpp"
#include "app/gtk/gtk_controls.hpp"
#include "app/gtk/gtk_shell.hpp"
#include "app/gtk/window_widgets.hpp"
#include "sites/site_config.hpp"

namespace quillreap::app::gtk {

class MainWindow {
 public:
  // Builds the window (not shown yet) and installs this thread's event pump for
  // do_events. Books are written to book_directory.
  MainWindow(sites::SiteConfig config, Text book_directory);
  // Books are written to book_folder; away from the program, the status bar says where.
  MainWindow(sites::SiteConfig config, BookFolder book_folder);
  // Closes the window if it is still open.
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void show();
  // Hides the window, lets a running download finish (the loop keeps serving its
  // requests, so its book is written whole), then destroys the window and calls
  // on_closed. Also what the window's close button does. Asked while a command runs
  // (a search pumping events through do_events, the About box), the window is hidden
  // at once and goes when the command returns.
  void close();
  bool closed() const { return closed_; }
  // Called once the window is gone (the program quits its loop here).
  void set_on_closed(std::function<void()> on_closed) { on_closed_ = std::move(on_closed); }

  const WindowWidgets& widgets() const { return widgets_; }
  GtkControls& controls() { return *controls_; }
  GtkShell& shell() { return *shell_; }
  Controller& controller() { return *controller_; }

 private:
  void run(Command command);
  void finish_close();

  WindowWidgets widgets_;
  std::unique_ptr<GtkControls> controls_;
  std::unique_ptr<GtkShell> shell_;
  std::unique_ptr<Controller> controller_;
  std::function<void()> on_closed_;
  bool closed_ = false;
  bool close_pending_ = false;
  int commands_running_ = 0;  // nested through do_events
};

}  // namespace quillreap::app::gtk
