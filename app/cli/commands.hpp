// The three commands of quillreap-cli, run through the controller on the headless controls.
#pragma once

#include "app/cli/command_line.hpp"

namespace quillreap::app::cli {

// Exit statuses.
inline constexpr int kExitComplete = 0;
inline constexpr int kExitNothingWritten = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitWithGaps = 3;
inline constexpr int kExitInterrupted = 130;  // as a shell reports a process ended by SIGINT

// Runs a search, download or get; returns the exit status.
int run_command(const Invocation& invocation);

}  // namespace quillreap::app::cli
