// The main window as data: frame, menu, controls, list columns, status-bar parts and
// which user action runs which command. Each front end (Win32, GTK) renders this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillreap::app {

enum class ControlKind { kGroupBox, kLabel, kEdit, kDropDown, kButton, kListView, kStatusBar };

enum class Command {
  kNone,
  kSearch,
  kGenerate,
  kCheckUpdates,
  kAbout,
  kToggleEpub,
  kShowShelf,
  kCheckShelf,
  kUpdateShelf,
};

// Texts (names, captions, items, titles) are GBK.
struct ControlDescription {
  std::string_view name;
  ControlKind kind;
  std::string_view container;    // "" for the window itself, else a group box's name
  int left, top, width, height;  // relative to the container's client area
  std::string_view caption;
  bool visible = true;
  bool enabled = true;
  bool multiline = false;                    // 编辑框2: multi-line, wrapping, Enter accepted
  std::vector<std::string_view> items = {};  // drop-down items; item 0 selected at start
  Command on_click = Command::kNone;
};

struct ColumnDescription {
  std::string_view title;
  int width;
};

struct StatusPartDescription {
  int width;  // -1: the rest of the bar
  std::string_view text;
};

struct MenuItemDescription {
  std::string_view caption;  // "" with kNone: a separator
  Command command;
  bool check = false;  // a check item, unchecked at start; the front end shows the mark
  // Greyed while the controls are busy (Controls::set_busy), with 按钮1, 按钮2 and 组合框1:
  // the item would empty or rewrite the result list under a running search or worker.
  bool off_while_busy = false;
};

struct WindowDescription {
  std::string_view caption;
  int width, height;  // outer size, frame included
  bool centred;
  bool resizable;
  bool minimize_box;
  bool maximize_box;
  std::string_view menu_caption;
  std::vector<MenuItemDescription> menu_items;
  std::vector<ControlDescription> controls;  // containers before their children
  std::vector<ColumnDescription> columns;    // of the list view
  std::vector<StatusPartDescription> status_parts;
};

const WindowDescription& main_window_description();
// The same with the source box listing source_items (源站①, 源站②, then the users' sites),
// which must outlive it.
WindowDescription main_window_description(const std::vector<std::string>& source_items);

// The controls' names, as the controller and the front ends refer to them.
namespace names {
inline constexpr std::string_view kGroupOperations =
    "\xB7\xD6\xD7\xE9\xBF\xF2"
    "1";  // 分组框1
inline constexpr std::string_view kLabelName =
    "\xB1\xEA\xC7\xA9"
    "1";  // 标签1
inline constexpr std::string_view kSearchEdit =
    "\xB1\xE0\xBC\xAD\xBF\xF2"
    "1";  // 编辑框1
inline constexpr std::string_view kSourceCombo =
    "\xD7\xE9\xBA\xCF\xBF\xF2"
    "1";  // 组合框1
inline constexpr std::string_view kSearchButton =
    "\xB0\xB4\xC5\xA5"
    "1";  // 按钮1
inline constexpr std::string_view kGenerateButton =
    "\xB0\xB4\xC5\xA5"
    "2";  // 按钮2
inline constexpr std::string_view kGroupResults =
    "\xB7\xD6\xD7\xE9\xBF\xF2"
    "2";  // 分组框2
inline constexpr std::string_view kResultList =
    "\xB3\xAC\xBC\xB6\xC1\xD0\xB1\xED\xBF\xF2"
    "1";  // 超级列表框1
inline constexpr std::string_view kLogBox =
    "\xB1\xE0\xBC\xAD\xBF\xF2"
    "2";  // 编辑框2
inline constexpr std::string_view kStatusBar =
    "\xD7\xB4\xCC\xAC\xCC\xF5"
    "1";  // 状态条1
}  // namespace names

}  // namespace quillreap::app
