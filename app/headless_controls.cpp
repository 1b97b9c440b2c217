// The headless model of the controls. Every public control operation goes through the
// interface thread, so the state below is only ever touched there.
#include "app/headless_controls.hpp"

#include "download/status_texts.hpp"

namespace quillreap::app {

HeadlessControls::HeadlessControls()
    : BookBufferControls(own_thread_), interface_thread_(own_thread_) {}

HeadlessControls::HeadlessControls(InterfaceThread& interface_thread)
    : BookBufferControls(interface_thread), interface_thread_(interface_thread) {}

void HeadlessControls::set_status(std::string_view text) {
  interface_thread_.call([&] {
    status_ = Text(text);
    if (status_callback_) status_callback_(status_);
  });
}

void HeadlessControls::list_clear() {
  interface_thread_.call([&] {
    state_.clear_rows();
    selected_ = -1;
  });
}

int HeadlessControls::list_append_row() {
  return interface_thread_.call([&] { return state_.append_row(); });
}

void HeadlessControls::list_set_cell(int row, int column, std::string_view text) {
  interface_thread_.call([&] { state_.set_cell(row, column, text); });
}

Text HeadlessControls::list_get_cell(int row, int column) {
  return interface_thread_.call([&]() -> Text { return state_.cell(row, column); });
}

int HeadlessControls::list_selected_row() {
  return interface_thread_.call([&] { return selected_; });
}

void HeadlessControls::list_select_row(int row) {
  interface_thread_.call([&] {
    // Like a list view asked to select an item it does not have: nothing changes.
    if (row < 0)
      selected_ = -1;
    else if (row < state_.row_count())
      selected_ = row;
  });
}

void HeadlessControls::set_busy(bool busy) {
  interface_thread_.call([&] { busy_ = busy; });
}

Text HeadlessControls::search_word() {
  return interface_thread_.call([&] { return search_word_; });
}

int HeadlessControls::source_choice() {
  return interface_thread_.call([&] { return source_choice_; });
}

void HeadlessControls::page_failed(std::string_view address, std::string_view reason, int tries) {
  interface_thread_.call([&] {
    if (failed_page_callback_) failed_page_callback_(address, reason, tries);
  });
}

void HeadlessControls::placeholder_chapters(int count) {
  interface_thread_.call([&] {
    if (note_callback_) note_callback_(download::placeholder_chapters_line(count));
  });
}

void HeadlessControls::store_not_used(std::string_view path, std::string_view why) {
  interface_thread_.call([&] {
    if (note_callback_) note_callback_(download::store_not_used_line(path, why));
  });
}

void HeadlessControls::slowed_down(int connections) {
  interface_thread_.call([&] {
    if (note_callback_) note_callback_(download::slowed_down_line(connections));
  });
}

void HeadlessControls::chapters_progress(const download::ChapterProgress& progress) {
  interface_thread_.call([&] {
    if (progress_callback_) progress_callback_(progress);
  });
}

void HeadlessControls::set_progress_callback(
    std::function<void(const download::ChapterProgress&)> callback) {
  progress_callback_ = std::move(callback);
}

void HeadlessControls::set_note_callback(std::function<void(const Text&)> callback) {
  note_callback_ = std::move(callback);
}

void HeadlessControls::set_failed_page_callback(FailedPageCallback callback) {
  failed_page_callback_ = std::move(callback);
}

void HeadlessControls::set_search_word(std::string_view word) {
  search_word_ = Text(word);
}

void HeadlessControls::set_source_choice(int choice) {
  source_choice_ = choice;
}

void HeadlessControls::set_status_callback(std::function<void(const Text&)> callback) {
  status_callback_ = std::move(callback);
}

Text HeadlessControls::status() const {
  return status_;
}

bool HeadlessControls::busy() const {
  return busy_;
}

std::vector<Row> HeadlessControls::rows() const {
  return state_.rows();
}

int HeadlessControls::row_count() const {
  return state_.row_count();
}

int HeadlessControls::selected_row() const {
  return selected_;
}

}  // namespace quillreap::app
