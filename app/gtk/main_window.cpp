// Wires the GTK window to the controller: clicks and menu items run its commands, and
// closing the window waits for a running download before the window goes away.
#include "app/gtk/main_window.hpp"

#include <utility>

#include "sites/site_choice.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::gtk {
namespace {

// do_events on the interface thread: everything GTK has pending, then back.
void pump_pending_events() {
  while (gtk_events_pending()) gtk_main_iteration();
}

}  // namespace

MainWindow::MainWindow(sites::SiteConfig config, Text book_directory)
    : MainWindow(std::move(config), BookFolder{std::move(book_directory), true}) {}

MainWindow::MainWindow(sites::SiteConfig config, BookFolder book_folder)
    : widgets_(build_window(main_window_description(sites::site_choices(config)),
                            [this](Command command) { run(command); })),
      controls_(std::make_unique<GtkControls>(widgets_)),
      shell_(std::make_unique<GtkShell>(GTK_WINDOW(widgets_.window))),
      controller_(std::make_unique<Controller>(*controls_, *shell_, std::move(config),
                                               book_folder.directory)) {
  controls_->set_book_folder(std::move(book_folder));
  text::set_event_pump(pump_pending_events);
  g_signal_connect(widgets_.window, "delete-event",
                   G_CALLBACK(+[](GtkWidget*, GdkEvent*, gpointer self) -> gboolean {
                     static_cast<MainWindow*>(self)->close();
                     return TRUE;  // close() destroys the window itself
                   }),
                   this);
}

MainWindow::~MainWindow() {
  if (!closed_) finish_close();
  text::set_event_pump({});
}

void MainWindow::show() {
  gtk_widget_show_all(widgets_.window);
}

void MainWindow::close() {
  if (closed_ || close_pending_) return;
  gtk_widget_hide(widgets_.window);
  // A command still on the stack writes to the widgets when it resumes, so they stay
  // until it has returned.
  if (commands_running_ > 0) {
    close_pending_ = true;
    return;
  }
  finish_close();
}

void MainWindow::finish_close() {
  closed_ = true;
  // A running download stops at its next chapter and writes no book; what it fetched is
  // in the chapter store for the next download. The worker still reaches the controls
  // through requests the loop serves, so the loop keeps running until it has returned.
  controller_->stop_download();
  shell_->join_workers();
  gtk_widget_destroy(widgets_.window);
  if (on_closed_) on_closed_();
}

void MainWindow::run(Command command) {
  if (closed_ || close_pending_) return;
  ++commands_running_;
  controller_->run_command(command);
  if (--commands_running_ == 0 && close_pending_) finish_close();
}

}  // namespace quillreap::app::gtk
