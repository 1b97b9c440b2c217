// The controls as plain data, with no window: the model the command line drives the
// controller through, and the base of the tests' spying controls. Its interface thread is
// the constructing thread, or the one given; calls from any other thread are synchronous
// requests run there.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/book_buffer_controls.hpp"
#include "app/control_state.hpp"
#include "app/interface_thread.hpp"
#include "app/owner_thread.hpp"

namespace quillreap::app {

class HeadlessControls : public BookBufferControls {
 public:
  // The constructing thread is the interface thread, and every call must come from it.
  HeadlessControls();
  // Calls from other threads are carried by interface_thread, which outlives the controls.
  explicit HeadlessControls(InterfaceThread& interface_thread);
  HeadlessControls(const HeadlessControls&) = delete;
  HeadlessControls& operator=(const HeadlessControls&) = delete;

  // Controls. Each runs on the interface thread: at once when called there, otherwise
  // carried there while the caller waits.
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
  void page_failed(std::string_view address, std::string_view reason, int tries) override;
  void placeholder_chapters(int count) override;
  void store_not_used(std::string_view path, std::string_view why) override;
  void slowed_down(int connections) override;
  void chapters_progress(const download::ChapterProgress& progress) override;

  // The interface thread's side. These read or set the model directly and must be called
  // on the interface thread.
  void set_search_word(std::string_view word);
  void set_source_choice(int choice);
  // Called on the interface thread with the new text after every set_status.
  void set_status_callback(std::function<void(const Text&)> callback);
  // Called on the interface thread for each page that could not be had after its last try.
  using FailedPageCallback =
      std::function<void(std::string_view address, std::string_view reason, int tries)>;
  void set_failed_page_callback(FailedPageCallback callback);
  // Called on the interface thread with each note of a download that the windows keep off
  // their status lines: the placeholder chapters of a written book, a site that asked the
  // download to slow down, a chapter store left alone.
  void set_note_callback(std::function<void(const Text&)> callback);
  // Called on the interface thread with each report of how far a download's chapters are.
  void set_progress_callback(std::function<void(const download::ChapterProgress&)> callback);

  Text status() const;
  bool busy() const;
  std::vector<Row> rows() const;
  int row_count() const;
  int selected_row() const;

 private:
  OwnerThread own_thread_;
  InterfaceThread& interface_thread_;

  Text status_;
  std::function<void(const Text&)> status_callback_;
  FailedPageCallback failed_page_callback_;
  std::function<void(const Text&)> note_callback_;
  std::function<void(const download::ChapterProgress&)> progress_callback_;
  bool busy_ = false;
  ControlState state_;
  int selected_ = -1;
  Text search_word_;
  int source_choice_ = 0;
};

}  // namespace quillreap::app
