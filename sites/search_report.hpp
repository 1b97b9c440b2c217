// What a search reports through: the status line and the result list's new rows. The app's
// controls implement it (as part of a download's report); tests can implement it alone.
#pragma once

#include <string_view>

namespace quillreap::sites {

// Every call may come from the interface thread (a search) or from the download worker;
// an implementation carries a worker's call out on the interface thread and returns when
// it is done, so the caller sees its effect at once.
class SearchReport {
 public:
  virtual ~SearchReport() = default;

  // Part 1 of the status bar; part 0 keeps its fixed label.
  virtual void set_status(std::string_view text) = 0;

  // The result list: rows of five cells (地址, 小说名, 小说介绍, 作者, 状态).
  virtual int list_append_row() = 0;
  virtual void list_set_cell(int row, int column, std::string_view text) = 0;
  virtual void list_select_row(int row) = 0;  // -1 clears the selection

  // A page (search page, book page, index or chapter) that could not be had after its last
  // try: its address, why (a short English text such as "HTTP status 503") and the tries
  // made. The windows show nothing more than their status lines; the command line prints
  // a line for each.
  virtual void page_failed(std::string_view address, std::string_view reason, int tries) {
    (void)address, (void)reason, (void)tries;
  }
};

}  // namespace quillreap::sites
