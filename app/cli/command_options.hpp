// The options quillreap-cli's commands share, each group bound to the Invocation it fills:
// a command takes a group by calling its function on its own CLI11 command, so an option is
// spelled, checked and described in one place whichever commands take it.
#pragma once

#include "app/cli/command_line.hpp"

namespace CLI {
class App;
}

namespace quillreap::app::cli {

// --source 1|2|ID and the search WORD: what search and get look for.
void add_search_options(CLI::App& command, Invocation& invocation);
// --sites DIR, --search-host, --search-id, --source1-host, --source2-host, --source2-label:
// the sites one run asks instead of the usual ones.
void add_site_options(CLI::App& command, Invocation& invocation);
// --connections, --tries, --pause-ms: how chapters are fetched.
void add_fetch_options(CLI::App& command, Invocation& invocation);
// --out DIR: the book folder.
void add_out_option(CLI::App& command, Invocation& invocation);
// --fresh, --no-store, --format, --chapters, --last: what a download reads and writes.
void add_book_options(CLI::App& command, Invocation& invocation);
// --progress and --quiet: what standard error shows.
void add_output_options(CLI::App& command, Invocation& invocation);

// Options of one command each.
void add_download_options(CLI::App& command,
                          Invocation& invocation);  // ADDRESS NAME, --list, EPUB metadata
void add_row_option(CLI::App& command, Invocation& invocation);      // get --row N
void add_shelf_options(CLI::App& command, Invocation& invocation);   // shelf --remove NAME|ADDRESS
void add_update_options(CLI::App& command, Invocation& invocation);  // update --check, NAME...
void add_check_options(CLI::App& command, Invocation& invocation);   // sites check ID [WORD]

}  // namespace quillreap::app::cli
