// Each write goes to the interface thread first, where the record is kept, and then to
// the headless model, which runs it at once there.
#include "tests/support/app/spy_controls.hpp"

#include <string>

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

void SpyControls::list_set_cell(int row, int column, std::string_view text) {
  on_interface([&] {
    if (column == 4) status_cells_.push_back(std::to_string(row) + ":" + std::string(text));
    Base::list_set_cell(row, column, text);
  });
}

std::vector<Text> SpyControls::status_history() const {
  note_thread();
  return statuses_;
}
std::vector<bool> SpyControls::busy_history() const {
  note_thread();
  return busy_switches_;
}
std::vector<Text> SpyControls::status_cell_history() const {
  note_thread();
  return status_cells_;
}

}  // namespace quillreap::test_support
