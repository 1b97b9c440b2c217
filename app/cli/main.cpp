// quillreap-cli: searches the two novel sites, saves books and keeps a folder's books up to
// date from a terminal, through the same controller as the window.
#include <exception>
#include <string>
#include <variant>

#include "app/cli/command_line.hpp"
#include "app/cli/commands.hpp"
#include "app/cli/console.hpp"
#include "download/status_texts.hpp"

namespace {

using namespace quillreap::app::cli;

// What a command threw (out of memory on a huge book), said in its words: a download's
// failure as the window says it, any other command's as it is.
void say_failure(const Invocation& invocation, const std::string& what) {
  const bool downloads =
      invocation.command != Command::kSearch && invocation.command != Command::kShelf;
  write_text(Stream::kError,
             "quillreap-cli " + std::string(command_word(invocation.command)) + ": " +
                 (downloads ? quillreap::download::download_error_line(what) : what) + "\n");
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = parse_command_line(arguments_as_gbk(argc, argv));
  if (const auto* reply = std::get_if<Reply>(&parsed)) {
    if (!reply->out.empty()) write_text(Stream::kOut, reply->out);
    if (!reply->error.empty()) write_text(Stream::kError, reply->error + "\n");
    return reply->exit_status;
  }
  const Invocation& invocation = std::get<Invocation>(parsed);
  // The command runs on this thread: what it throws is said and ends the run with no book
  // written, rather than through std::terminate.
  try {
    return run_command(invocation);
  } catch (const std::exception& error) {
    say_failure(invocation, error.what());
  } catch (...) {
    say_failure(invocation, "unknown failure");
  }
  return kExitNothingWritten;
}
