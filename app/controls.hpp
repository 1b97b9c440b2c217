// The controls the controller and the sources report through: status line, result list,
// log box (the book buffer), busy state, and the search word and source choice.
// Implemented by the Win32 window, the GTK window, the command line and the headless model.
#pragma once

#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::app {

using text::Text;

// Every operation may be called from the interface thread or from the download worker;
// an implementation carries a worker's call out on the interface thread and returns when
// it is done (a synchronous request), so the caller sees its effect at once.
class Controls {
 public:
  virtual ~Controls() = default;

  // Part 1 of the status bar; part 0 keeps its fixed label.
  virtual void set_status(std::string_view text) = 0;

  // The log box: the book buffer of a download. Must hold tens of megabytes and hand
  // back exactly the bytes appended.
  virtual void append_log(std::string_view text) = 0;
  virtual void log_clear() = 0;
  virtual Text log_text() = 0;

  // The result list: rows of five cells (地址, 小说名, 小说介绍, 作者, 状态).
  virtual void list_clear() = 0;
  virtual int list_append_row() = 0;
  virtual void list_set_cell(int row, int column, std::string_view text) = 0;
  virtual Text list_get_cell(int row, int column) = 0;  // "" outside the list
  virtual int list_selected_row() = 0;                  // -1 when none
  virtual void list_select_row(int row) = 0;            // -1 clears the selection

  // Disables (true) or enables (false) 按钮1, 按钮2 and 组合框1, in that order.
  virtual void set_busy(bool busy) = 0;
  // The text of 编辑框1, as GBK, untrimmed.
  virtual Text search_word() = 0;
  // The selected item of 组合框1: 0 源站①, 1 源站②, -1 none.
  virtual int source_choice() = 0;
};

}  // namespace quillreap::app
