// The window names commands; the controller runs them (on the interface thread).
#include "app/win32/command_binding.hpp"

namespace quillreap::app::win32 {

void bind_commands(MainWindow& window, Controller& controller) {
  window.set_command_handler([&controller](Command command) { controller.run_command(command); });
}

}  // namespace quillreap::app::win32
