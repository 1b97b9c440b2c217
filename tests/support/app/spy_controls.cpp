// Each control call goes to the interface thread first, where the record is kept, and
// then to the headless model, which runs it at once there.
#include "tests/support/app/spy_controls.hpp"

namespace quillreap::test_support {

using Base = app::HeadlessControls;

void SpyControls::set_status(std::string_view text) {
  on_interface([&] {
    statuses_.emplace_back(text);
    Base::set_status(text);
  });
}

void SpyControls::set_busy(bool busy) {
  on_interface([&] {
    busy_switches_.push_back(busy);
    Base::set_busy(busy);
  });
}

void SpyControls::append_log(std::string_view text) {
  on_interface([&] { Base::append_log(text); });
}
void SpyControls::log_clear() {
  on_interface([&] { Base::log_clear(); });
}
Text SpyControls::log_text() {
  return on_interface([&] { return Base::log_text(); });
}
void SpyControls::list_clear() {
  on_interface([&] { Base::list_clear(); });
}
int SpyControls::list_append_row() {
  return on_interface([&] { return Base::list_append_row(); });
}
void SpyControls::list_set_cell(int row, int column, std::string_view text) {
  on_interface([&] { Base::list_set_cell(row, column, text); });
}
Text SpyControls::list_get_cell(int row, int column) {
  return on_interface([&] { return Base::list_get_cell(row, column); });
}
int SpyControls::list_selected_row() {
  return on_interface([&] { return Base::list_selected_row(); });
}
void SpyControls::list_select_row(int row) {
  on_interface([&] { Base::list_select_row(row); });
}
Text SpyControls::search_word() {
  return on_interface([&] { return Base::search_word(); });
}
int SpyControls::source_choice() {
  return on_interface([&] { return Base::source_choice(); });
}
std::vector<Text> SpyControls::status_history() const {
  note_thread();
  return statuses_;
}
std::vector<bool> SpyControls::busy_history() const {
  note_thread();
  return busy_switches_;
}

void SpyControls::page_failed(std::string_view address, std::string_view reason, int tries) {
  on_interface([&] { Base::page_failed(address, reason, tries); });
}

}  // namespace quillreap::test_support
