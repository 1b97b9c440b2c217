// quillreap-cli's commands, run through the controller on the headless controls.
#pragma once

#include "app/cli/command_line.hpp"
#include "app/cli/exit_status.hpp"

namespace quillreap::app::cli {

// Runs the command the line asked for; returns the exit status.
int run_command(const Invocation& invocation);

}  // namespace quillreap::app::cli
