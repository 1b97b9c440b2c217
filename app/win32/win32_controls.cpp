// Reads and writes the window's controls through their messages. Every function body runs
// on the interface thread (through window_.call).
#include "app/win32/win32_controls.hpp"

#include <commctrl.h>

#include "text/wide.hpp"

namespace quillreap::app::win32 {
namespace {

std::wstring window_text(HWND control) {
  const int length = GetWindowTextLengthW(control);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), length + 1);
  text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
  return text;
}

}  // namespace

Win32Controls::Win32Controls(MainWindow& window) : BookBufferControls(window), window_(window) {}

void Win32Controls::set_status(std::string_view text) {
  window_.call([&] {
    const std::wstring wide = text::gbk_to_wide(text);
    SendMessageW(window_.control(names::kStatusBar), SB_SETTEXTW, 1,
                 reinterpret_cast<LPARAM>(wide.c_str()));
  });
}

void Win32Controls::list_clear() {
  window_.call([&] {
    SendMessageW(window_.control(names::kResultList), LVM_DELETEALLITEMS, 0, 0);
    state_.clear_rows();
  });
}

int Win32Controls::list_append_row() {
  return window_.call([&] {
    HWND list = window_.control(names::kResultList);
    const int row = state_.row_count();
    wchar_t empty[] = L"";
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = empty;
    if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) < 0) return -1;
    return state_.append_row();
  });
}

void Win32Controls::list_set_cell(int row, int column, std::string_view text) {
  window_.call([&] {
    if (!state_.set_cell(row, column, text)) return;
    std::wstring wide = text::gbk_to_wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = wide.data();
    SendMessageW(window_.control(names::kResultList), LVM_SETITEMTEXTW, row,
                 reinterpret_cast<LPARAM>(&item));
  });
}

Text Win32Controls::list_get_cell(int row, int column) {
  return window_.call([&] { return state_.cell(row, column); });
}

int Win32Controls::list_selected_row() {
  return window_.call([&] {
    return static_cast<int>(SendMessageW(window_.control(names::kResultList), LVM_GETNEXTITEM,
                                         static_cast<WPARAM>(-1), LVNI_SELECTED));
  });
}

void Win32Controls::list_select_row(int row) {
  window_.call([&] {
    HWND list = window_.control(names::kResultList);
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    if (row < 0) {
      item.stateMask = LVIS_SELECTED;  // every row loses the selection; focus may stay
      SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&item));
      return;
    }
    if (row >= state_.row_count()) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  });
}

void Win32Controls::set_busy(bool busy) {
  window_.call([&] {
    for (std::string_view name :
         {names::kSearchButton, names::kGenerateButton, names::kSourceCombo})
      EnableWindow(window_.control(name), busy ? FALSE : TRUE);
    window_.enable_busy_menu_items(!busy);
  });
}

Text Win32Controls::search_word() {
  return window_.call(
      [&] { return text::wide_to_gbk(window_text(window_.control(names::kSearchEdit))); });
}

int Win32Controls::source_choice() {
  return window_.call([&] {
    const LRESULT choice = SendMessageW(window_.control(names::kSourceCombo), CB_GETCURSEL, 0, 0);
    return choice == CB_ERR ? -1 : static_cast<int>(choice);
  });
}

}  // namespace quillreap::app::win32
