// Which command of the controller each click and menu choice of the main window runs.
#pragma once

#include "app/controller.hpp"
#include "app/win32/main_window.hpp"

namespace quillreap::app::win32 {

// Every click and menu choice bound to a command goes to the controller's run_command.
// The controller must outlive the window's handling of messages.
void bind_commands(MainWindow& window, Controller& controller);

}  // namespace quillreap::app::win32
