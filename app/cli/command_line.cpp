// Reads quillreap-cli's arguments. Options may stand before or after the words; "--" ends
// the options, so a word that begins with "-" can still be searched.
#include "app/cli/command_line.hpp"

#include <charconv>
#include <optional>
#include <utility>

#include "http/retry.hpp"
#include "sources/pages_ahead.hpp"
#include "sources/request_pace.hpp"

namespace quillreap::app::cli {
namespace {

UsageError usage_error(std::string_view message) {
  return {text::concat(message, " (see quillreap-cli --help)")};
}

std::optional<Command> command_named(std::string_view name) {
  if (name == "search") return Command::kSearch;
  if (name == "download") return Command::kDownload;
  if (name == "get") return Command::kGet;
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

// What reading the arguments gathers beside the invocation itself.
struct Gathered {
  std::optional<Command> command;
  std::vector<Text> words;
  bool source_given = false;
  bool row_given = false;
  Text store_option;  // the last of --fresh and --no-store given
};

// Why the line makes no sense, or nothing when this step found it sound.
using Problem = std::optional<UsageError>;

// Asking for help wins over whatever else the line holds.
bool asks_for_help(const std::vector<Text>& arguments) {
  for (const Text& argument : arguments) {
    if (argument == "--") return false;
    if (argument == "--help" || argument == "-h") return true;
  }
  return false;
}

// The first word names the command (unless the options were ended before it); the rest
// are the command's words.
Problem take_word(const Text& argument, bool options_ended, Gathered& gathered) {
  if (gathered.command || options_ended) {
    gathered.words.push_back(argument);
    return std::nullopt;
  }
  gathered.command = command_named(argument);
  if (!gathered.command) return usage_error(text::concat("unknown command '", argument, "'"));
  return std::nullopt;
}

// "--name value" or "--name=value": the name, and the value when it came after '='.
std::pair<Text, std::optional<Text>> split_option(const Text& argument) {
  const size_t equals = argument.find('=');
  if (equals == Text::npos) return {argument, std::nullopt};
  return {argument.substr(0, equals), argument.substr(equals + 1)};
}

bool is_valued_option(std::string_view name) {
  static constexpr std::string_view kValued[] = {
      "--source",      "--row",          "--out",          "--search-host",
      "--search-id",   "--source1-host", "--source2-host", "--source2-label",
      "--connections", "--tries",        "--pause-ms"};
  for (std::string_view option : kValued) {
    if (name == option) return true;
  }
  return false;
}

// Sets what one option asks for, once its value is checked.
Problem apply_option(const Text& name, const Text& value, Invocation& invocation,
                     Gathered& gathered) {
  if (name == "--source") {
    if (value != "1" && value != "2") return usage_error("--source takes 1 or 2");
    invocation.source_choice = value == "1" ? 0 : 1;
    gathered.source_given = true;
  } else if (name == "--row") {
    const std::optional<int> row = whole_number(value);
    if (!row || *row < 0) return usage_error("--row takes a row number, counted from 0");
    invocation.row = *row;
    gathered.row_given = true;
  } else if (name == "--connections" || name == "--tries") {
    const bool connections = name == "--connections";
    const int most =
        connections ? sources::PagesAhead::kMostConnections : http::RetryPolicy::kMostTries;
    const std::optional<int> number = whole_number(value);
    if (!number || *number < 1 || *number > most)
      return usage_error(
          text::concat(name, " takes a whole number from 1 to ", std::to_string(most)));
    (connections ? invocation.config.connections : invocation.config.tries) = *number;
  } else if (name == "--pause-ms") {
    const std::optional<int> pause = whole_number(value);
    if (!pause || *pause < 0 || *pause > sources::RequestPace::kLongestPauseMs)
      return usage_error(text::concat("--pause-ms takes a whole number from 0 to ",
                                      std::to_string(sources::RequestPace::kLongestPauseMs)));
    invocation.config.request_pause_ms = *pause;
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

// The command with its words, and the options that belong to another command.
Problem apply_words(const Gathered& gathered, Invocation& invocation) {
  if (!gathered.command) return usage_error("no command given");
  const Command command = *gathered.command;
  invocation.command = command;
  const size_t wanted = command == Command::kDownload ? 2 : 1;
  if (gathered.words.size() != wanted)
    return usage_error(command == Command::kDownload ? "download takes ADDRESS and NAME"
                                                     : "give one search word");
  if (command == Command::kDownload) {
    if (gathered.source_given)
      return usage_error("download takes no --source: the address decides");
    invocation.address = gathered.words[0];
    invocation.name = gathered.words[1];
  } else {
    if (!gathered.source_given) return usage_error("--source 1 or --source 2 is needed");
    invocation.word = gathered.words[0];
  }
  if (gathered.row_given && command != Command::kGet) return usage_error("--row belongs to get");
  if (!gathered.store_option.empty() && command == Command::kSearch)
    return usage_error(text::concat(gathered.store_option, " belongs to download and get"));
  if (invocation.fresh && invocation.no_store)
    return usage_error("--fresh and --no-store exclude each other");
  return std::nullopt;
}

}  // namespace

const std::string_view kUsage =
    "usage: quillreap-cli search --source 1|2 WORD\n"
    "       quillreap-cli download ADDRESS NAME\n"
    "       quillreap-cli get --source 1|2 WORD [--row N]\n"
    "\n"
    "  search    lists the hits, one line each: address, name, introduction, author,\n"
    "            separated by tabs\n"
    "  download  downloads the book at ADDRESS as NAME.txt; an address holding the\n"
    "            source 2 label goes to source 2, every other one to source 1\n"
    "  get       searches, then downloads hit N (counted from 0, default 0)\n"
    "\n"
    "options:\n"
    "  --out DIR              where books are written (default: the current directory)\n"
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
    "  --help                 this text\n"
    "Options take their value as the next argument or after '='; '--' ends the options.\n"
    "Progress goes to standard error, with one line for each page that could not be\n"
    "had after its last try; download and get print the book file's path.\n"
    "Interrupted (Ctrl-C), a download stops, writes no book, keeps what it fetched in the\n"
    "chapter store for the next run, and exits with 130.\n"
    "\n"
    "exit status: 0  the book was written with every chapter (search: hits found)\n"
    "             3  the book was written, but some chapters could not be had\n"
    "             1  no book was written, or the search found no hit or no row N\n"
    "             2  the command line makes no sense\n";

std::variant<Invocation, UsageError> parse_command_line(const std::vector<Text>& arguments) {
  Invocation invocation;
  if (asks_for_help(arguments)) return invocation;
  Gathered gathered;
  bool options_ended = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Text& argument = arguments[i];
    if (options_ended || argument.size() <= 1 || argument[0] != '-') {
      if (Problem problem = take_word(argument, options_ended, gathered)) return *problem;
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    if (argument == "--fresh" || argument == "--no-store") {
      (argument == "--fresh" ? invocation.fresh : invocation.no_store) = true;
      gathered.store_option = argument;
      continue;
    }
    auto [name, value] = split_option(argument);
    if (!is_valued_option(name)) return usage_error(text::concat("unknown option '", name, "'"));
    if (!value) {
      if (i + 1 >= arguments.size()) return usage_error(text::concat(name, " needs a value"));
      value = arguments[++i];
    }
    if (Problem problem = apply_option(name, *value, invocation, gathered)) return *problem;
  }
  if (Problem problem = apply_words(gathered, invocation)) return *problem;
  return invocation;
}

}  // namespace quillreap::app::cli
