// Reads quillreap-cli's arguments. Options may stand before or after the words; "--" ends
// the options, so a word that begins with "-" can still be searched.
#include "app/cli/command_line.hpp"

#include <charconv>
#include <optional>

#include "download/pages_ahead.hpp"
#include "download/request_pace.hpp"
#include "http/retry.hpp"

namespace quillreap::app::cli {
namespace {

UsageError usage_error(std::string_view message) {
  return {text::concat(message, " (see quillreap-cli --help)")};
}

std::optional<Command> command_named(std::string_view name) {
  if (name == "search") return Command::kSearch;
  if (name == "download") return Command::kDownload;
  if (name == "get") return Command::kGet;
  if (name == "shelf") return Command::kShelf;
  if (name == "update") return Command::kUpdate;
  return std::nullopt;
}

std::optional<int> whole_number(const Text& value) {
  int number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  if (value.empty() || error != std::errc() || stop != end) return std::nullopt;
  return number;
}

// The value of a host-like option: nothing in it may break the address it joins.
bool usable_host(std::string_view value) {
  return !value.empty() && value.find_first_of("/ \t\r\n") == std::string_view::npos;
}

// --format, --author and --intro: which books a download writes and what the EPUB says of
// the book. Sets seen to the option's name; an error for a value that makes no sense.
std::optional<UsageError> read_book_option(const Text& name, const Text& value,
                                           Invocation& invocation, Text& seen) {
  seen = name;
  if (name == "--author") {
    invocation.author = value;
  } else if (name == "--intro") {
    invocation.introduction = value;
  } else if (value == "txt" || value == "epub" || value == "both") {
    invocation.text_book = value != "epub";
    invocation.epub = value != "txt";
  } else {
    return usage_error("--format takes txt, epub or both");
  }
  return std::nullopt;
}

}  // namespace

const std::string_view kUsage =
    "usage: quillreap-cli search --source 1|2 WORD\n"
    "       quillreap-cli download ADDRESS NAME [--author TEXT] [--intro TEXT]\n"
    "       quillreap-cli download --list FILE|-\n"
    "       quillreap-cli get --source 1|2 WORD [--row N]\n"
    "       quillreap-cli shelf [--remove NAME]\n"
    "       quillreap-cli update [--check] [NAME...]\n"
    "\n"
    "  search    lists the hits, one line each: address, name, introduction, author,\n"
    "            separated by tabs\n"
    "  download  downloads the book at ADDRESS as NAME.txt; an address holding the\n"
    "            source 2 label goes to source 2, every other one to source 1\n"
    "  get       searches, then downloads hit N (counted from 0, default 0)\n"
    "  shelf     lists the books downloaded whole into --out with the chapter store on,\n"
    "            one line each: address, name, introduction, author, the chapters its\n"
    "            last book held and when it was written; --remove NAME takes a book off\n"
    "            (deleting its chapter store, keeping its books)\n"
    "  update    checks every book of the shelf (or those NAMEd) for new chapters and\n"
    "            downloads only those, writing the books again in the formats of their\n"
    "            last download; --check only prints NAME and the chapters an update\n"
    "            would fetch, tab-separated\n"
    "\n"
    "options:\n"
    "  --list FILE|-          download: every book of a list (- reads standard input),\n"
    "                         one a line as search prints them: address, name, and\n"
    "                         introduction and author for the EPUB, separated by tabs;\n"
    "                         blank lines and lines starting with # are skipped, and a\n"
    "                         book that fails is named and the next one goes on\n"
    "  --chapters A-B         download and get: only chapters A to B of the index,\n"
    "                         counted from 1 (A- runs to the last), written as\n"
    // NAME(第A-B章).txt
    "                         NAME(\xB5\xDA"
    "A-B\xD5\xC2).txt; they stay in the chapter store\n"
    "  --last N               download and get: only the last N chapters, likewise\n"
    "  --out DIR              where books are written (default: the current directory),\n"
    "                         made with its parents by download and get when it is\n"
    "                         not there\n"
    "  --search-host HOST     the site-search service that source 1 searches through\n"
    "  --search-id ID         its 19-digit site-search identifier\n"
    "  --source1-host HOST    the source 1 site\n"
    "  --source2-host HOST    the source 2 site\n"
    "  --source2-label LABEL  what marks a source 2 book address\n"
    "  --connections N        chapter pages fetched at once, 1 to 16\n"
    "  --tries N              tries per page before it counts as lost, 1 to 5\n"
    "  --pause-ms N           milliseconds each connection waits between two requests,\n"
    "                         0 to 10000 (a site that answers 429 or 503 also gets fewer\n"
    "                         connections, down to one, for the rest of the download)\n"
    "  --fresh                fetch every chapter again and replace the chapter store\n"
    "  --no-store             neither read nor write a chapter store\n"
    "  --format txt|epub|both the books download and get write: the GBK text (default),\n"
    "                         the EPUB, or both side by side\n"
    "  --author TEXT          download: the author, for the EPUB (get takes the hit's)\n"
    "  --intro TEXT           download: the introduction, for the EPUB (likewise)\n"
    "  --progress auto|bar|lines\n"
    "                         how progress shows on standard error: one bar line redrawn\n"
    "                         in place, or a line for each status (default auto: the bar\n"
    "                         when standard error is a terminal, lines otherwise)\n"
    "  --quiet                standard error shows only failures, the download's notes\n"
    "                         and the result (excludes --progress)\n"
    "  --help                 this text\n"
    "Options take their value as the next argument or after '='; '--' ends the options.\n"
    "Progress goes to standard error, with one line for each page that could not be\n"
    "had after its last try; download and get print the path of each book file written,\n"
    "one a line.\n"
    "\n"
    "examples:\n"
    "  quillreap-cli search --source 2 WORD | quillreap-cli download --list - --format both\n"
    "  quillreap-cli download --list books.txt --out novels\n"
    // (NAME(第3-7章).txt)
    "  quillreap-cli get --source 1 WORD --chapters 3-7   (NAME(\xB5\xDA"
    "3-7\xD5\xC2).txt)\n"
    "  quillreap-cli get --source 1 WORD --last 20        (the 20 newest chapters)\n"
    "\n"
    "Interrupted (Ctrl-C), a download stops, writes no book, keeps what it fetched in the\n"
    "chapter store for the next run, and exits with 130.\n"
    "\n"
    "exit status: 0  the books were written with every chapter (search: hits found;\n"
    "                update: every book up to date and whole)\n"
    "             3  the books were written, but some chapters could not be had\n"
    "             1  a book asked for was not written (with --list: any of them), or the\n"
    "                search found no hit or no row N (shelf: the shelf is empty; update:\n"
    "                a book could not be checked or updated, or a NAME is not on the\n"
    "                shelf)\n"
    "             2  the command line makes no sense\n";

namespace {

// What the arguments said besides the Invocation's own fields, kept for the checks that
// look at the whole line once it is read.
struct Reading {
  std::optional<Command> command;
  std::vector<Text> words;
  bool source_given = false;
  bool row_given = false;
  bool options_ended = false;
  Text store_option;                    // "--fresh" or "--no-store" when one was given
  Text format_option, metadata_option;  // --format; --author or --intro
  Text range_option;                    // "--chapters" or "--last" when one was given
  bool progress_given = false;
};

using Problem = std::optional<UsageError>;

bool asks_for_help(const std::vector<Text>& arguments) {
  for (const Text& argument : arguments) {
    if (argument == "--") return false;
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

bool takes_value(std::string_view name) {
  static constexpr std::string_view kValued[] = {
      "--source",       "--row",          "--out",           "--search-host", "--search-id",
      "--source1-host", "--source2-host", "--source2-label", "--connections", "--tries",
      "--format",       "--author",       "--intro",         "--pause-ms",    "--progress",
      "--remove",       "--chapters",     "--last",          "--list"};
  for (std::string_view option : kValued)
    if (name == option) return true;
  return false;
}

// --connections and --tries: a whole number up to the limit the program holds.
Problem set_limit(const Text& name, const Text& value, sites::SiteConfig& config) {
  const bool connections = name == "--connections";
  const int most =
      connections ? download::PagesAhead::kMostConnections : http::RetryPolicy::kMostTries;
  const std::optional<int> number = whole_number(value);
  if (!number || *number < 1 || *number > most)
    return usage_error(
        text::concat(name, " takes a whole number from 1 to ", std::to_string(most)));
  (connections ? config.connections : config.tries) = *number;
  return std::nullopt;
}

// --chapters and --last: one range, checked before any request is made.
Problem set_range(const Text& name, const Text& value, Reading& reading, Invocation& invocation) {
  if (!reading.range_option.empty())
    return usage_error(reading.range_option == name
                           ? text::concat(name, " is given twice")
                           : Text("--chapters and --last exclude each other"));
  reading.range_option = name;
  invocation.range = name == "--chapters" ? download::parse_chapter_range(value)
                                          : download::parse_last_chapters(value);
  if (invocation.range) return std::nullopt;
  return usage_error(name == "--chapters"
                         ? "--chapters takes A-B or A-: chapter positions counted from 1, A no "
                           "more than B"
                         : "--last takes a whole number of chapters, from 1");
}

// One option that takes a value, checked and stored.
Problem set_option(const Text& name, const Text& value, Reading& reading, Invocation& invocation) {
  if (name == "--chapters" || name == "--last") return set_range(name, value, reading, invocation);
  if (name == "--list") {
    if (value.empty()) return usage_error("--list needs a file, or - for standard input");
    invocation.list = value;
    return std::nullopt;
  }
  if (name == "--format" || name == "--author" || name == "--intro") {
    Text& seen = name == "--format" ? reading.format_option : reading.metadata_option;
    return read_book_option(name, value, invocation, seen);
  }
  if (name == "--source") {
    if (value != "1" && value != "2") return usage_error("--source takes 1 or 2");
    invocation.source_choice = value == "1" ? 0 : 1;
    reading.source_given = true;
  } else if (name == "--row") {
    const std::optional<int> row = whole_number(value);
    if (!row || *row < 0) return usage_error("--row takes a row number, counted from 0");
    invocation.row = *row;
    reading.row_given = true;
  } else if (name == "--connections" || name == "--tries") {
    return set_limit(name, value, invocation.config);
  } else if (name == "--pause-ms") {
    const std::optional<int> pause = whole_number(value);
    if (!pause || *pause < 0 || *pause > download::RequestPace::kLongestPauseMs)
      return usage_error(text::concat("--pause-ms takes a whole number from 0 to ",
                                      std::to_string(download::RequestPace::kLongestPauseMs)));
    invocation.config.request_pause_ms = *pause;
  } else if (name == "--progress") {
    if (value == "auto" || value == "bar" || value == "lines")
      invocation.progress = value == "auto"  ? Progress::kAuto
                            : value == "bar" ? Progress::kBar
                                             : Progress::kLines;
    else
      return usage_error("--progress takes auto, bar or lines");
    reading.progress_given = true;
  } else if (name == "--remove") {
    if (value.empty()) return usage_error("--remove needs a book name");
    invocation.remove_name = value;
  } else if (name == "--out") {
    if (value.empty()) return usage_error("--out needs a directory");
    invocation.out_directory = value;
  } else if (name == "--search-id") {
    if (value.empty()) return usage_error("--search-id needs a value");
    invocation.config.search_id = value;
  } else if (name == "--source2-label") {
    // An empty label would be found in every address.
    if (value.empty()) return usage_error("--source2-label needs a value");
    invocation.config.source2_label = value;
  } else {
    if (!usable_host(value)) return usage_error(text::concat(name, " needs a host name"));
    if (name == "--search-host") invocation.config.search_host = value;
    if (name == "--source1-host") invocation.config.source1_host = value;
    if (name == "--source2-host") invocation.config.source2_host = value;
  }
  return std::nullopt;
}

// The argument at i, an option: a flag, or "--name value" (taking the next argument, so
// i moves on) or "--name=value".
Problem read_option(const std::vector<Text>& arguments, size_t& i, Reading& reading,
                    Invocation& invocation) {
  const Text& argument = arguments[i];
  if (argument == "--") {
    reading.options_ended = true;
    return std::nullopt;
  }
  if (argument == "--fresh" || argument == "--no-store") {
    (argument == "--fresh" ? invocation.fresh : invocation.no_store) = true;
    reading.store_option = argument;
    return std::nullopt;
  }
  if (argument == "--quiet") {
    invocation.quiet = true;
    return std::nullopt;
  }
  if (argument == "--check") {
    invocation.check = true;
    return std::nullopt;
  }
  Text name = argument;
  std::optional<Text> value;
  if (const size_t equals = argument.find('='); equals != Text::npos) {
    name = argument.substr(0, equals);
    value = argument.substr(equals + 1);
  }
  if (!takes_value(name)) return usage_error(text::concat("unknown option '", name, "'"));
  if (!value) {
    if (i + 1 >= arguments.size()) return usage_error(text::concat(name, " needs a value"));
    value = arguments[++i];
  }
  return set_option(name, *value, reading, invocation);
}

// The first word names the command; the words after it are its operands.
Problem read_word(const Text& argument, Reading& reading) {
  if (!reading.command && !reading.options_ended) {
    reading.command = command_named(argument);
    if (!reading.command) return usage_error(text::concat("unknown command '", argument, "'"));
  } else {
    reading.words.push_back(argument);
  }
  return std::nullopt;
}

// shelf and update: the options of a download that a shelf command may take.
Problem fit_shelf_command(const Reading& reading, Invocation& invocation) {
  const bool shelf = invocation.command == Command::kShelf;
  if (shelf && !reading.words.empty()) return usage_error("shelf takes no words (--remove NAME)");
  if (shelf && invocation.check) return usage_error("--check belongs to update");
  if (!shelf && !invocation.remove_name.empty()) return usage_error("--remove belongs to shelf");
  if (reading.source_given || reading.row_given || !reading.store_option.empty() ||
      !reading.format_option.empty() || !reading.metadata_option.empty())
    return usage_error(shelf ? "shelf takes only --out and --remove"
                             : "update takes the formats and store of each book's last download");
  if (invocation.quiet && reading.progress_given)
    return usage_error("--quiet and --progress exclude each other");
  invocation.names = reading.words;
  return std::nullopt;
}

// The words and options that only some commands take, checked once the line is read.
Problem fit_command(const Reading& reading, Invocation& invocation) {
  if (!reading.command) return usage_error("no command given");
  const Command command = *reading.command;
  invocation.command = command;
  if (!invocation.list.empty() && command != Command::kDownload)
    return usage_error("--list belongs to download");
  if (!reading.range_option.empty() && command != Command::kDownload && command != Command::kGet)
    return usage_error(text::concat(reading.range_option, " belongs to download and get"));
  if (command == Command::kShelf || command == Command::kUpdate)
    return fit_shelf_command(reading, invocation);
  if (invocation.check || !invocation.remove_name.empty())
    return usage_error(invocation.check ? "--check belongs to update"
                                        : "--remove belongs to shelf");
  const size_t wanted = command != Command::kDownload ? 1 : invocation.list.empty() ? 2 : 0;
  if (reading.words.size() != wanted)
    return usage_error(command == Command::kDownload
                           ? "download takes ADDRESS and NAME, or --list FILE and neither"
                           : "give one search word");
  if (command == Command::kDownload) {
    if (reading.source_given) return usage_error("download takes no --source: the address decides");
    if (wanted == 2) {
      invocation.address = reading.words[0];
      invocation.name = reading.words[1];
    }
  } else {
    if (!reading.source_given) return usage_error("--source 1 or --source 2 is needed");
    invocation.word = reading.words[0];
  }
  if (reading.row_given && command != Command::kGet) return usage_error("--row belongs to get");
  if (!reading.store_option.empty() && command == Command::kSearch)
    return usage_error(text::concat(reading.store_option, " belongs to download and get"));
  if (invocation.fresh && invocation.no_store)
    return usage_error("--fresh and --no-store exclude each other");
  if (invocation.quiet && reading.progress_given)
    return usage_error("--quiet and --progress exclude each other");
  if (!reading.format_option.empty() && command == Command::kSearch)
    return usage_error("--format belongs to download and get");
  if (!reading.metadata_option.empty() && command != Command::kDownload)
    return usage_error(text::concat(reading.metadata_option, " belongs to download"));
  if (!reading.metadata_option.empty() && !invocation.list.empty())
    return usage_error(
        text::concat(reading.metadata_option, " does not go with --list: its columns say it"));
  return std::nullopt;
}

}  // namespace

std::variant<Invocation, UsageError> parse_command_line(const std::vector<Text>& arguments) {
  Invocation invocation;
  // Asking for help wins over whatever else the line holds.
  if (asks_for_help(arguments)) return invocation;
  Reading reading;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Text& argument = arguments[i];
    const bool is_option = !reading.options_ended && argument.size() > 1 && argument[0] == '-';
    Problem problem =
        is_option ? read_option(arguments, i, reading, invocation) : read_word(argument, reading);
    if (problem) return *problem;
  }
  if (Problem problem = fit_command(reading, invocation)) return *problem;
  return invocation;
}

}  // namespace quillreap::app::cli
