// The controller's controls on the Win32 window. Calls made on the download worker are
// synchronous requests carried out by the interface thread; calls made there act at once.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "app/controls.hpp"
#include "app/win32/main_window.hpp"

namespace quillreap::app::win32 {

class Win32Controls : public Controls {
 public:
  // window must have been loaded and must outlive this object.
  explicit Win32Controls(MainWindow& window);

  void set_status(std::string_view text) override;
  void append_log(std::string_view text) override;
  void log_clear() override;
  Text log_text() override;
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
  // Runs fn on the interface thread and hands back its result; a default value when the
  // window is already gone.
  template <typename F>
  auto on_interface_thread(F&& fn) -> std::invoke_result_t<F&>;

  MainWindow& window_;
  // The cells exactly as set: the list view shows their UTF-16 form, which does not give
  // every GBK byte sequence back unchanged. Interface thread only.
  std::vector<std::array<Text, 5>> rows_;
  // The book buffer. 编辑框2 stays empty: an edit control would re-encode the bytes and
  // slow down with every append of a long book. Interface thread only.
  std::string book_;
};

template <typename F>
auto Win32Controls::on_interface_thread(F&& fn) -> std::invoke_result_t<F&> {
  using Result = std::invoke_result_t<F&>;
  if constexpr (std::is_void_v<Result>) {
    window_.run_on_interface_thread(fn);
  } else {
    std::optional<Result> result;
    window_.run_on_interface_thread([&] { result = fn(); });
    return result ? std::move(*result) : Result{};
  }
}

}  // namespace quillreap::app::win32
