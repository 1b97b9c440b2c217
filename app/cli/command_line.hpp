// quillreap-cli's command line: the commands, their words and their options, read from the
// GBK arguments into one Invocation; or, when the line runs no command, the help it asked
// for or the one-line reason it makes no sense.
#pragma once

#include <optional>
#include <string_view>
#include <variant>
#include <vector>

#include "download/chapter_range.hpp"
#include "sites/site_config.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::cli {

using text::Text;

enum class Command { kSearch, kDownload, kGet, kShelf, kUpdate, kSites, kSitesCheck };

// The command's word as typed; its messages begin "quillreap-cli WORD: ".
std::string_view command_word(Command command);

// --progress: how the chapters' progress shows on standard error. kAuto draws a bar when
// standard error is a terminal, and prints lines otherwise.
enum class Progress { kAuto, kBar, kLines };

struct Invocation {
  Command command = Command::kSearch;
  Text source;   // --source: "1" 源站①, "2" 源站②, or a site's id
  Text word;     // search and get; sites check: the word searched ("" the file's test word)
  Text site;     // sites check: the id of the site checked
  Text address;  // download
  Text name;     // download
  Text list;     // download --list: the list's file, "-" standard input, "" none
  int row = 0;   // get
  Text out_directory = ".";
  sites::SiteConfig config = sites::SiteConfig::defaults();
  // --sites: the folder of the users' site files ("" the usual one).
  Text sites_directory;
  // The host options, which override what a site file of a built-in site says: applied
  // after the files are read.
  std::optional<Text> source1_host, source2_host, source2_label;
  bool fresh = false;     // download and get: ignore and replace the chapter store
  bool no_store = false;  // download and get: neither read nor write a chapter store
  bool text_book = true;  // download and get, --format: the GBK TXT book
  bool epub = false;      // download and get, --format: the EPUB book
  Text author;            // download, for the EPUB's metadata
  Text introduction;      // download, for the EPUB's metadata
  Progress progress = Progress::kAuto;
  bool quiet = false;       // --quiet: only failures and the result on standard error
  Text remove_name;         // shelf --remove NAME|ADDRESS: the book to take off the shelf
  bool check = false;       // update --check: tell what an update would fetch, fetch no chapter
  std::vector<Text> names;  // update NAME...: only these books of the shelf
  // download and get, --chapters and --last: only these chapters; none: the whole book.
  std::optional<download::ChapterRange> range;
};

// A line that runs no command: the help it asked for (exit status 0, the text for standard
// output), or why it makes no sense (exit status 2, one line for standard error).
struct Reply {
  int exit_status = 0;
  Text out;
  Text error;
};

std::variant<Invocation, Reply> parse_command_line(const std::vector<Text>& arguments);

}  // namespace quillreap::app::cli
