// The controls interface on the GTK window. Every operation touches widgets on the
// interface thread only: called there it acts at once; called on the download worker it
// is handed to the interface thread and the worker waits until it has run.
#pragma once

#include <utility>

#include "app/book_buffer_controls.hpp"
#include "app/control_state.hpp"
#include "app/gtk/book_folder.hpp"
#include "app/gtk/gtk_interface_thread.hpp"
#include "app/gtk/window_widgets.hpp"

namespace quillreap::app::gtk {

class GtkControls : public BookBufferControls {
 public:
  // Interface thread. The widgets must outlive every call.
  explicit GtkControls(const WindowWidgets& widgets);

  // Interface thread, before the first download: where books go, for the status note.
  void set_book_folder(BookFolder folder) { book_folder_ = std::move(folder); }

  void set_status(std::string_view text) override;
  void list_clear() override;
  int list_append_row() override;
  void list_set_cell(int row, int column, std::string_view text) override;
  Text list_get_cell(int row, int column) override;
  int list_selected_row() override;
  void list_select_row(int row) override;
  void set_busy(bool busy) override;
  Text search_word() override;
  int source_choice() override;

  InterfaceThread& interface_thread() { return interface_thread_; }

 private:
  const WindowWidgets& widgets_;
  GtkInterfaceThread interface_thread_;
  // The cells as GBK bytes, row for row with the list store (which holds their UTF-8 form
  // for display). Interface thread only.
  ControlState state_;
  BookFolder book_folder_;
};

}  // namespace quillreap::app::gtk
