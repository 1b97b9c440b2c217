// Creates the main window and its controls from the description and handles its messages.
// Controls inside a group box are children of the group box, so their places are the
// description's own numbers; the group box hands their notifications on to the window.
#include "app/win32/main_window.hpp"

#include <commctrl.h>

#include "app/win32/message_loop.hpp"
#include "text/primitives.hpp"
#include "text/wide.hpp"

namespace quillreap::app::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"QuillreapMainWindow";
// Control identifiers start above IDOK and IDCANCEL, which IsDialogMessage sends for
// Enter and Escape; menu items have their own range.
constexpr int kFirstControlId = 100;
constexpr int kFirstMenuId = 1000;
constexpr UINT kRunRequest = WM_APP + 1;
constexpr UINT_PTR kForwardSubclassId = 1;
// Room below a drop-down list's field for its list of items when it is open.
constexpr int kDropListHeight = 120;

struct Request {
  const std::function<void()>* work;
  bool ran = false;
};

HINSTANCE instance() {
  return GetModuleHandleW(nullptr);
}

bool register_window_class(WNDPROC window_proc) {
  static const bool registered = [window_proc] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = window_proc;
    window_class.hInstance = instance();
    window_class.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kWindowClass;
    return RegisterClassExW(&window_class) != 0;
  }();
  return registered;
}

void init_common_controls() {
  INITCOMMONCONTROLSEX classes{};
  classes.dwSize = sizeof classes;
  classes.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES;
  InitCommonControlsEx(&classes);
}

// A group box is a button and drops what its children send; the window is where they
// belong. It also paints its own inside, which a plain group box leaves to its parent.
LRESULT CALLBACK forward_to_window(HWND box, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                   DWORD_PTR window) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR:
      return SendMessageW(reinterpret_cast<HWND>(window), message, wparam, lparam);
    case WM_ERASEBKGND: {
      // The window clips its children, so nothing else paints the group box's inside.
      RECT inside;
      GetClientRect(box, &inside);
      FillRect(reinterpret_cast<HDC>(wparam), &inside, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(box, forward_to_window, kForwardSubclassId);
      break;
    default:
      break;
  }
  return DefSubclassProc(box, message, wparam, lparam);
}

HMENU create_menu(const WindowDescription& description) {
  HMENU items = CreatePopupMenu();
  for (size_t i = 0; i < description.menu_items.size(); ++i) {
    const MenuItemDescription& item = description.menu_items[i];
    if (item.caption.empty()) {
      AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
    } else {
      AppendMenuW(items, MF_STRING | (item.check ? MF_UNCHECKED : 0), kFirstMenuId + i,
                  text::gbk_to_wide(item.caption).c_str());
    }
  }
  HMENU bar = CreateMenu();
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items),
              text::gbk_to_wide(description.menu_caption).c_str());
  return bar;
}

void set_default_font(HWND control) {
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
               FALSE);
}

void add_columns(HWND list, const std::vector<ColumnDescription>& columns) {
  for (size_t i = 0; i < columns.size(); ++i) {
    std::wstring title = text::gbk_to_wide(columns[i].title);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = columns[i].width;
    column.pszText = title.data();
    column.iSubItem = static_cast<int>(i);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void add_status_parts(HWND bar, const std::vector<StatusPartDescription>& parts) {
  std::vector<int> right_edges;
  int edge = 0;
  for (const StatusPartDescription& part : parts) {
    edge = part.width < 0 ? -1 : edge + part.width;
    right_edges.push_back(edge);
  }
  SendMessageW(bar, SB_SETPARTS, right_edges.size(), reinterpret_cast<LPARAM>(right_edges.data()));
  for (size_t i = 0; i < parts.size(); ++i)
    SendMessageW(bar, SB_SETTEXTW, i,
                 reinterpret_cast<LPARAM>(text::gbk_to_wide(parts[i].text).c_str()));
}

// The field of a drop-down list takes its height from the font; the item height of the
// field (index -1) is what sets it. Some implementations read back a different item
// height than was set, so step on from the value set, measuring each time.
void set_field_height(HWND combo, int height) {
  LRESULT item = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
  if (item == CB_ERR) return;
  for (int attempt = 0; attempt < 4; ++attempt) {
    RECT rect;
    GetWindowRect(combo, &rect);
    const int difference = height - static_cast<int>(rect.bottom - rect.top);
    if (difference == 0 || item + difference < 1) return;
    item += difference;
    SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
  }
}

// What CreateWindowEx needs for a control of this kind beyond its place and caption.
struct ControlClass {
  const wchar_t* window_class = L"STATIC";
  DWORD style = WS_CHILD;
  DWORD extended = 0;
  int height = 0;
};

ControlClass control_class(const ControlDescription& control) {
  ControlClass kind;
  if (control.visible) kind.style |= WS_VISIBLE;
  if (!control.enabled) kind.style |= WS_DISABLED;
  kind.height = control.height;
  switch (control.kind) {
    case ControlKind::kGroupBox:
      kind.window_class = L"BUTTON";
      kind.style |= BS_GROUPBOX | WS_CLIPCHILDREN;
      kind.extended = WS_EX_CONTROLPARENT;  // tab navigation reaches the children
      break;
    case ControlKind::kLabel:
      kind.style |= SS_LEFT;
      break;
    case ControlKind::kEdit:
      kind.window_class = L"EDIT";
      kind.extended = WS_EX_CLIENTEDGE;
      kind.style |= WS_TABSTOP | (control.multiline ? ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN
                                                    : ES_AUTOHSCROLL);
      break;
    case ControlKind::kDropDown:
      kind.window_class = L"COMBOBOX";
      kind.style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
      kind.height += kDropListHeight;
      break;
    case ControlKind::kButton:
      kind.window_class = L"BUTTON";
      kind.style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kListView:
      kind.window_class = WC_LISTVIEWW;
      kind.extended = WS_EX_CLIENTEDGE;
      kind.style |= LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP;
      break;
    case ControlKind::kStatusBar:
      // Keeps to the window's bottom edge over its whole width by itself.
      kind.window_class = STATUSCLASSNAMEW;
      break;
  }
  return kind;
}

// The drop-down's items, the first one chosen, and its field's height; returns the handle
// of its list, which the window paints white.
HWND fill_drop_down(HWND combo, const ControlDescription& control) {
  for (std::string_view item : control.items)
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text::gbk_to_wide(item).c_str()));
  if (!control.items.empty()) SendMessageW(combo, CB_SETCURSEL, 0, 0);
  set_field_height(combo, control.height);
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

}  // namespace

MainWindow::MainWindow(bool quit_on_close) : quit_on_close_(quit_on_close) {}

MainWindow::~MainWindow() {
  if (HWND window = window_.load()) DestroyWindow(window);
  if (pump_installed_) text::set_event_pump({});
}

bool MainWindow::load_window(const WindowDescription& description) {
  if (window_.load() || !register_window_class(window_proc)) return false;
  init_common_controls();
  interface_thread_ = GetCurrentThreadId();
  description_ = &description;

  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (description.resizable) style |= WS_THICKFRAME;
  if (description.minimize_box) style |= WS_MINIMIZEBOX;
  if (description.maximize_box) style |= WS_MAXIMIZEBOX;
  int left = CW_USEDEFAULT, top = CW_USEDEFAULT;
  if (description.centred) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    left = work.left + (work.right - work.left - description.width) / 2;
    top = work.top + (work.bottom - work.top - description.height) / 2;
  }
  HMENU menu = create_menu(description);
  HWND window =
      CreateWindowExW(0, kWindowClass, text::gbk_to_wide(description.caption).c_str(), style, left,
                      top, description.width, description.height, nullptr, menu, instance(), this);
  if (!window) {
    DestroyMenu(menu);  // only a window that was created owns its menu
    return false;
  }
  if (!create_controls()) {
    DestroyWindow(window);
    return false;
  }
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  text::set_event_pump([window] { pump_pending_messages(window); });
  pump_installed_ = true;
  return true;
}

bool MainWindow::create_controls() {
  const std::vector<ControlDescription>& controls = description_->controls;
  for (size_t i = 0; i < controls.size(); ++i) {
    HWND control = create_control(controls[i], kFirstControlId + static_cast<int>(i));
    if (!control) return false;
    controls_.emplace_back(controls[i].name, control);
  }
  return true;
}

HWND MainWindow::create_control(const ControlDescription& control, int id) {
  HWND parent = control.container.empty() ? window_.load() : this->control(control.container);
  if (!parent) return nullptr;
  const ControlClass kind = control_class(control);
  HWND handle =
      CreateWindowExW(kind.extended, kind.window_class, text::gbk_to_wide(control.caption).c_str(),
                      kind.style, control.left, control.top, control.width, kind.height, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
  if (!handle) return nullptr;
  set_default_font(handle);
  finish_control(handle, control);
  return handle;
}

void MainWindow::finish_control(HWND handle, const ControlDescription& control) {
  switch (control.kind) {
    case ControlKind::kGroupBox:
      SetWindowSubclass(handle, forward_to_window, kForwardSubclassId,
                        reinterpret_cast<DWORD_PTR>(window_.load()));
      break;
    case ControlKind::kEdit:
      SendMessageW(handle, EM_SETLIMITTEXT, 0, 0);  // 0: as long as the control can hold
      break;
    case ControlKind::kDropDown:
      combo_list_ = fill_drop_down(handle, control);
      break;
    case ControlKind::kListView:
      SendMessageW(handle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                   LVS_EX_FULLROWSELECT);
      add_columns(handle, description_->columns);
      break;
    case ControlKind::kStatusBar:
      add_status_parts(handle, description_->status_parts);
      break;
    default:
      break;
  }
}

HWND MainWindow::control(std::string_view name) const {
  for (const auto& [control_name, handle] : controls_)
    if (control_name == name) return handle;
  return nullptr;
}

void MainWindow::enable_busy_menu_items(bool enabled) {
  HMENU menu = GetMenu(window_.load());
  if (!menu || !description_) return;
  for (size_t i = 0; i < description_->menu_items.size(); ++i)
    if (description_->menu_items[i].off_while_busy)
      EnableMenuItem(menu, static_cast<UINT>(kFirstMenuId + i),
                     MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void MainWindow::set_command_handler(std::function<void(Command)> handler) {
  command_handler_ = std::move(handler);
}

bool MainWindow::run_there(const std::function<void()>& request) {
  // Called on the worker thread: the interface thread runs the request when it next
  // handles messages, and SendMessage returns once it has.
  HWND window = window_.load();
  if (!window) return false;
  Request pending{&request, false};
  SendMessageW(window, kRunRequest, 0, reinterpret_cast<LPARAM>(&pending));
  return pending.ran;
}

void MainWindow::on_command(WORD id, WORD code) {
  Command command = Command::kNone;
  const size_t control = static_cast<size_t>(id) - kFirstControlId;
  const size_t menu_item = static_cast<size_t>(id) - kFirstMenuId;
  if (id >= kFirstMenuId && menu_item < description_->menu_items.size() && code == 0) {
    command = description_->menu_items[menu_item].command;
    // A check item shows its own state; the command tells the controller of the change.
    if (description_->menu_items[menu_item].check) {
      HMENU menu = GetMenu(window_.load());
      const bool checked = GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED;
      CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_UNCHECKED : MF_CHECKED));
    }
  } else if (id >= kFirstControlId && control < description_->controls.size() &&
             code == BN_CLICKED) {
    command = description_->controls[control].on_click;
  }
  if (command != Command::kNone && command_handler_) command_handler_(command);
}

LRESULT CALLBACK MainWindow::window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return self->handle_message(message, wparam, lparam);
}

LRESULT MainWindow::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
  HWND window = window_.load();
  switch (message) {
    case WM_COMMAND:
      on_command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case kRunRequest: {
      // Never throws: InterfaceThread::call catches inside the request, so nothing unwinds
      // through the window procedure.
      auto* request = reinterpret_cast<Request*>(lparam);
      (*request->work)();
      request->ran = true;
      return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC: {
      // The source drop-down keeps a white field and list whatever the theme's colours.
      auto source = reinterpret_cast<HWND>(lparam);
      HWND combo = control(names::kSourceCombo);
      if (combo && (source == combo || source == combo_list_ || GetParent(source) == combo)) {
        SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
      }
      break;
    }
    case WM_CLOSE:
      // The program ends at once: its message loop returns and the process goes, taking
      // the window with it. Destroying the window first would only add the wait some
      // window systems make before a window is gone (two seconds under Wine without a
      // window manager) to a close that should stop a download at once.
      if (!quit_on_close_) break;
      PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      if (quit_on_close_) PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace quillreap::app::win32
