// The terminal seen from quillreap-cli: the command-line arguments as GBK texts, and GBK
// texts written in the terminal's own encoding. One file per platform implements it.
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::app::cli {

using text::Text;

// The arguments after the program's name, turned from the terminal's encoding into GBK.
// Linux takes argv as UTF-8; Windows reads the wide command line itself and ignores argv.
std::vector<Text> arguments_as_gbk(int argc, char** argv);

enum class Stream { kOut, kError };

// Writes a GBK text to standard output or standard error: UTF-16 to a Windows console,
// UTF-8 bytes everywhere else. Standard error is written at once, so progress shows as it
// happens.
void write_text(Stream stream, std::string_view gbk);

// Whether the stream goes to a terminal (a console on Windows) rather than to a file or a
// pipe: what --progress auto decides the bar by.
bool is_terminal(Stream stream);

// How many columns the terminal standard error goes to shows; 0 when it is no terminal or
// will not say. Asked at each draw, so a resized window is followed.
int terminal_columns();

// Everything on standard input, as UTF-8 (what a Windows console has typed is turned into
// it; from a pipe or file the bytes come as they are); nullopt when it cannot be read.
std::optional<std::string> read_standard_input();

// From now on an interrupt (Ctrl-C: SIGINT, or the console's Ctrl-C and Ctrl-Break)
// requests stop instead of ending the process, so a download can stop and keep what it
// fetched. A stop_source without a state (std::nostopstate) lets interrupts go to nothing.
void stop_on_interrupt(std::stop_source stop);

}  // namespace quillreap::app::cli
