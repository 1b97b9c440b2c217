#include "app/cli/cli_shell.hpp"

#include "app/cli/console.hpp"

namespace quillreap::app::cli {

int CliShell::message_box(std::string_view text, int, std::string_view caption) {
  write_text(Stream::kError, text::concat(caption, ": ", text, "\n"));
  return 0;
}

void CliShell::open_in_browser(std::string_view address) {
  write_text(Stream::kError, text::concat("open ", address, " in a browser\n"));
}

bool CliShell::start_worker(std::function<void()>) {
  return false;
}

}  // namespace quillreap::app::cli
