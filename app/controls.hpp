// The controls the controller works through: what the sources report through (status
// line, result rows, book buffer), plus clearing and reading the list, the busy state, and
// the search word and source choice. Implemented by the Win32 window, the GTK window and
// the headless model (which the command line uses).
#pragma once

#include "download/report.hpp"

namespace quillreap::app {

using text::Text;

// Every operation may be called from the interface thread or from the download worker;
// an implementation carries a worker's call out on the interface thread and returns when
// it is done (a synchronous request), so the caller sees its effect at once.
class Controls : public download::Report {
 public:
  virtual void list_clear() = 0;
  virtual Text list_get_cell(int row, int column) = 0;  // "" outside the list
  virtual int list_selected_row() = 0;                  // -1 when none

  // Disables (true) or enables (false) 按钮1, 按钮2 and 组合框1, in that order, and the
  // menu items described as off while busy (the shelf's).
  virtual void set_busy(bool busy) = 0;
  // The text of 编辑框1, as GBK, untrimmed.
  virtual Text search_word() = 0;
  // The selected item of 组合框1: 0 源站①, 1 源站②, -1 none.
  virtual int source_choice() = 0;
};

}  // namespace quillreap::app
