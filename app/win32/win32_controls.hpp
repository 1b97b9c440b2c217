// The controller's controls on the Win32 window. Calls made on the download worker are
// synchronous requests carried out by the interface thread; calls made there act at once.
#pragma once

#include "app/book_buffer_controls.hpp"
#include "app/control_state.hpp"
#include "app/win32/main_window.hpp"

namespace quillreap::app::win32 {

class Win32Controls : public BookBufferControls {
 public:
  // window must have been loaded and must outlive this object.
  explicit Win32Controls(MainWindow& window);

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

 private:
  // The window is the interface thread: every function body runs there, through
  // window_.call(), and a call made once the window is gone gives a default value.
  MainWindow& window_;
  // The cells exactly as set (the list view shows their UTF-16 form); 编辑框2 stays empty,
  // the book being kept by the base. Interface thread only.
  ControlState state_;
};

}  // namespace quillreap::app::win32
