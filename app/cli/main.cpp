// quillreap-cli: searches the two novel sites and saves a book from a terminal, through
// the same controller as the window.
#include <exception>
#include <variant>

#include "app/cli/command_line.hpp"
#include "app/cli/commands.hpp"
#include "app/cli/console.hpp"
#include "download/status_texts.hpp"

int main(int argc, char** argv) {
  using namespace quillreap::app::cli;
  const auto parsed = parse_command_line(arguments_as_gbk(argc, argv));
  if (const auto* error = std::get_if<UsageError>(&parsed)) {
    write_text(Stream::kError, "quillreap-cli: " + error->message + "\n");
    return kExitUsage;
  }
  // The download runs on this thread: what it throws (out of memory on a huge book) is said
  // and ends the run with no book written, rather than through std::terminate.
  try {
    return run_command(std::get<Invocation>(parsed));
  } catch (const std::exception& error) {
    write_text(Stream::kError,
               "quillreap-cli: " + quillreap::download::download_error_line(error.what()) + "\n");
  } catch (...) {
    write_text(
        Stream::kError,
        "quillreap-cli: " + quillreap::download::download_error_line("unknown failure") + "\n");
  }
  return kExitNothingWritten;
}
