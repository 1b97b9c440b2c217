// The main window's description: one fixed, non-resizable window of 491 x 369 pixels.
#include "app/window_description.hpp"

namespace quillreap::app {

namespace {

// The controls and the menu stay one line (or a few) each, laid out as the window is.
// clang-format off
std::vector<MenuItemDescription> menu_items() {
  return {
    {"\xBC\xEC\xB2\xE2\xB8\xFC\xD0\xC2", Command::kCheckUpdates},  // 检测更新
    {"\xB9\xD8\xD3\xDA", Command::kAbout},                          // 关于
    {"", Command::kNone},                                           // separator
    {"\xCD\xAC\xCA\xB1\xC9\xFA\xB3\xC9" "EPUB", Command::kToggleEpub,
     true},  // 同时生成EPUB
    {"", Command::kNone},                                             // separator
    {.caption = "\xCE\xD2\xB5\xC4\xCA\xE9\xBC\xDC",  // 我的书架
     .command = Command::kShowShelf, .off_while_busy = true},
    {.caption = "\xBC\xEC\xB2\xE9\xD0\xC2\xD5\xC2\xBD\xDA",  // 检查新章节
     .command = Command::kCheckShelf, .off_while_busy = true},
    {.caption = "\xB8\xFC\xD0\xC2\xC8\xAB\xB2\xBF\xCA\xE9\xBC\xAE",  // 更新全部书籍
     .command = Command::kUpdateShelf, .off_while_busy = true},
  };
}

std::vector<ControlDescription> controls() {
  using K = ControlKind;
  return {
    {.name = names::kGroupOperations, .kind = K::kGroupBox, .container = "",
     .left = 8, .top = 8, .width = 472, .height = 48,
     .caption = "\xB2\xD9\xD7\xF7\xBF\xF2"},  // 操作框
    {.name = names::kLabelName, .kind = K::kLabel,
     .container = names::kGroupOperations, .left = 88, .top = 21, .width = 40,
     .height = 16, .caption = "\xD0\xA1\xCB\xB5\xC3\xFB:"},  // 小说名:
    {.name = names::kSearchEdit, .kind = K::kEdit,
     .container = names::kGroupOperations, .left = 136, .top = 19, .width = 176,
     .height = 20, .caption = ""},
    {.name = names::kSourceCombo, .kind = K::kDropDown,
     .container = names::kGroupOperations, .left = 9, .top = 19, .width = 71,
     .height = 20, .caption = "",
     .items = {"\xD4\xB4\xD5\xBE\xA2\xD9",     // 源站①
               "\xD4\xB4\xD5\xBE\xA2\xDA"}},  // 源站②
    {.name = names::kSearchButton, .kind = K::kButton,
     .container = names::kGroupOperations, .left = 322, .top = 17, .width = 62,
     .height = 24, .caption = "\xCB\xD1  \xCB\xF7",  // 搜  索
     .on_click = Command::kSearch},
    {.name = names::kGenerateButton, .kind = K::kButton,
     .container = names::kGroupOperations, .left = 400, .top = 16, .width = 64,
     .height = 24, .caption = "\xC9\xFA\xB3\xC9TXT",  // 生成TXT
     .enabled = false, .on_click = Command::kGenerate},
    {.name = names::kGroupResults, .kind = K::kGroupBox, .container = "",
     .left = 8, .top = 64, .width = 472, .height = 232,
     .caption = "\xCB\xD1\xCB\xF7\xBD\xE1\xB9\xFB"},  // 搜索结果
    {.name = names::kResultList, .kind = K::kListView,
     .container = names::kGroupResults, .left = 8, .top = 16, .width = 456,
     .height = 208, .caption = ""},
    {.name = names::kLogBox, .kind = K::kEdit, .container = names::kGroupResults,
     .left = 368, .top = 128, .width = 80, .height = 72, .caption = "",
     .visible = false, .multiline = true},
    {.name = names::kStatusBar, .kind = K::kStatusBar, .container = "", .left = 0,
     .top = 292, .width = 478, .height = 20, .caption = ""},
  };
}
// clang-format on

}  // namespace

const WindowDescription& main_window_description() {
  // clang-format off
  static const WindowDescription window{
      .caption = "Quillreap V1.1 - Tarnwick",
      .width = 491,
      .height = 369,
      .centred = true,
      .resizable = false,
      .minimize_box = true,
      .maximize_box = false,
      .menu_caption = "\xB2\xCB\xB5\xA5",  // 菜单
      .menu_items = menu_items(),
      .controls = controls(),
      .columns =
          {
              {"\xB5\xD8\xD6\xB7", 0},                   // 地址: held, not shown
              {"\xD0\xA1\xCB\xB5\xC3\xFB", 80},          // 小说名
              {"\xD0\xA1\xCB\xB5\xBD\xE9\xC9\xDC", 180},  // 小说介绍
              {"\xD7\xF7\xD5\xDF", 80},                  // 作者
              // 状态: room for "下载中 1234/5678" and "缺12章 待更新3章".
              {"\xD7\xB4\xCC\xAC", 100},                 // 状态
          },
      .status_parts =
          {
              {50, "\xCC\xE1\xCA\xBE:"},  // 提示:
              {-1, ""},
          },
  };
  // clang-format on
  return window;
}

WindowDescription main_window_description(const std::vector<std::string>& source_items) {
  WindowDescription window = main_window_description();
  for (ControlDescription& control : window.controls)
    if (control.name == names::kSourceCombo)
      control.items.assign(source_items.begin(), source_items.end());
  return window;
}

}  // namespace quillreap::app
