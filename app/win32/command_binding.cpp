// The window names commands; the controller runs them (on the interface thread).
#include "app/win32/command_binding.hpp"

namespace quillreap::app::win32 {

void bind_commands(MainWindow& window, Controller& controller) {
  window.set_command_handler([&controller](Command command) {
    switch (command) {
      case Command::kSearch:
        controller.on_search();
        break;
      case Command::kGenerate:
        controller.on_generate();
        break;
      case Command::kCheckUpdates:
        controller.on_check_updates();
        break;
      case Command::kAbout:
        controller.on_about();
        break;
      case Command::kNone:
        break;
    }
  });
}

}  // namespace quillreap::app::win32
