// quillreap-cli's exit statuses, shared by the command line (which refuses a line that makes
// no sense) and the commands (which say how a run ended).
#pragma once

namespace quillreap::app::cli {

inline constexpr int kExitComplete = 0;
inline constexpr int kExitNothingWritten = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitWithGaps = 3;
inline constexpr int kExitInterrupted = 130;  // as a shell reports a process ended by SIGINT

}  // namespace quillreap::app::cli
