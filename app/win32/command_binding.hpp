// Which command of the controller each click and menu choice of the main window runs.
#pragma once

#include "app/controller.hpp"
#include "app/win32/main_window.hpp"

namespace quillreap::app::win32 {

// 按钮1 → on_search, 按钮2 → on_generate, 检测更新 → on_check_updates, 关于 → on_about.
// The controller must outlive the window's handling of messages.
void bind_commands(MainWindow& window, Controller& controller);

}  // namespace quillreap::app::win32
