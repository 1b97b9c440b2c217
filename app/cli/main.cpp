// quillreap-cli: searches the two novel sites and saves a book from a terminal, through
// the same controller as the window.
#include <variant>

#include "app/cli/command_line.hpp"
#include "app/cli/commands.hpp"
#include "app/cli/console.hpp"

int main(int argc, char** argv) {
  using namespace quillreap::app::cli;
  const auto parsed = parse_command_line(arguments_as_gbk(argc, argv));
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    write_text(Stream::kError, "quillreap-cli: " + error->message + "\n");
    return kExitUsage;
  }
  return run_command(std::get<Invocation>(parsed));
}
