// Controls that hand every call on to the real ones, except that the chosen append to the
// book buffer throws: how a test makes a download fail inside, on any front end.
#pragma once

#include <exception>
#include <string_view>
#include <utility>

#include "app/controls.hpp"

namespace quillreap::test_support {

using app::Controls;
using text::Text;

class FailingControls : public Controls {
 public:
  // The failing_append-th append_log (from 1) throws error instead of appending.
  FailingControls(Controls& real, int failing_append, std::exception_ptr error)
      : real_(real), failing_append_(failing_append), error_(std::move(error)) {}

  void append_log(std::string_view text) override {
    if (++appends_ == failing_append_) std::rethrow_exception(error_);
    real_.append_log(text);
  }

  void set_status(std::string_view text) override { real_.set_status(text); }
  void log_clear() override { real_.log_clear(); }
  Text log_text() override { return real_.log_text(); }
  int list_append_row() override { return real_.list_append_row(); }
  void list_set_cell(int row, int column, std::string_view text) override {
    real_.list_set_cell(row, column, text);
  }
  void list_select_row(int row) override { real_.list_select_row(row); }
  void page_failed(std::string_view address, std::string_view reason, int tries) override {
    real_.page_failed(address, reason, tries);
  }
  void list_clear() override { real_.list_clear(); }
  Text list_get_cell(int row, int column) override { return real_.list_get_cell(row, column); }
  int list_selected_row() override { return real_.list_selected_row(); }
  void set_busy(bool busy) override { real_.set_busy(busy); }
  Text search_word() override { return real_.search_word(); }
  int source_choice() override { return real_.source_choice(); }

 private:
  Controls& real_;
  const int failing_append_;
  const std::exception_ptr error_;
  int appends_ = 0;  // the worker's alone
};

}  // namespace quillreap::test_support
