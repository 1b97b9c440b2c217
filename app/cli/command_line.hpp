// quillreap-cli's command line: the commands, their words and the options, read
// from the GBK arguments into one Invocation, or the one-line reason they make no sense.
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

enum class Command { kHelp, kSearch, kDownload, kGet, kShelf, kUpdate };

// --progress: how the chapters' progress shows on standard error. kAuto draws a bar when
// standard error is a terminal, and prints lines otherwise.
enum class Progress { kAuto, kBar, kLines };

struct Invocation {
  Command command = Command::kHelp;
  int source_choice = 0;  // 组合框1's item: 0 源站①, 1 源站②
  Text word;              // search and get
  Text address;           // download
  Text name;              // download
  Text list;              // download --list: the list's file, "-" standard input, "" none
  int row = 0;            // get
  Text out_directory = ".";
  sites::SiteConfig config = sites::SiteConfig::defaults();
  bool fresh = false;     // download and get: ignore and replace the chapter store
  bool no_store = false;  // download and get: neither read nor write a chapter store
  bool text_book = true;  // download and get, --format: the GBK TXT book
  bool epub = false;      // download and get, --format: the EPUB book
  Text author;            // download, for the EPUB's metadata
  Text introduction;      // download, for the EPUB's metadata
  Progress progress = Progress::kAuto;
  bool quiet = false;       // --quiet: only failures and the result on standard error
  Text remove_name;         // shelf --remove NAME: the book to take off the shelf
  bool check = false;       // update --check: tell what an update would fetch, fetch no chapter
  std::vector<Text> names;  // update NAME...: only these books of the shelf
  // download and get, --chapters and --last: only these chapters; none: the whole book.
  std::optional<download::ChapterRange> range;
};

struct UsageError {
  Text message;  // one line, no line break
};

std::variant<Invocation, UsageError> parse_command_line(const std::vector<Text>& arguments);

extern const std::string_view kUsage;

}  // namespace quillreap::app::cli
