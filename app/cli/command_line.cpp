// Reads quillreap-cli's arguments with CLI11: one table of commands, each taking the option
// groups it needs. Options stand before or after the words, take their value after '=' or
// as the next argument, and are given once; "--" ends them, so a word that begins with "-"
// can still be searched.
#include "app/cli/command_line.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <sstream>
#include <string>

#include "app/cli/command_options.hpp"
#include "app/cli/exit_status.hpp"

namespace quillreap::app::cli {
namespace {

struct CommandEntry {
  const char* word;
  Command command;
  const char* description;
  void (*add_options)(CLI::App&, Invocation&);
  // What the options alone cannot say of a whole line; "" when it makes sense.
  Text (*misfit)(const Invocation&) = nullptr;
};

const CommandEntry kCommands[] = {
    {"search", Command::kSearch,
     "lists the hits, one line each: address, name, introduction, author, separated by tabs",
     [](CLI::App& command, Invocation& invocation) {
       add_search_options(command, invocation);
       add_site_options(command, invocation);
       add_output_options(command, invocation);
     }},
    {"download", Command::kDownload,
     "downloads the book at ADDRESS as NAME.txt (an address holding the source 2 label "
     "goes to source 2, every other one to source 1), or every book of a --list",
     [](CLI::App& command, Invocation& invocation) {
       add_download_options(command, invocation);
       add_out_option(command, invocation);
       add_book_options(command, invocation);
       add_site_options(command, invocation);
       add_fetch_options(command, invocation);
       add_output_options(command, invocation);
     },
     [](const Invocation& invocation) -> Text {
       const bool book = !invocation.address.empty() && !invocation.name.empty();
       return book || !invocation.list.empty() ? "" : "give ADDRESS and NAME, or --list FILE";
     }},
    {"get", Command::kGet, "searches, then downloads hit N (counted from 0, default 0)",
     [](CLI::App& command, Invocation& invocation) {
       add_search_options(command, invocation);
       add_row_option(command, invocation);
       add_out_option(command, invocation);
       add_book_options(command, invocation);
       add_site_options(command, invocation);
       add_fetch_options(command, invocation);
       add_output_options(command, invocation);
     }},
    {"shelf", Command::kShelf,
     "lists the books downloaded whole into --out with the chapter store on, one line each: "
     "address, name, introduction, author, the chapters its last book held and when it was "
     "written",
     [](CLI::App& command, Invocation& invocation) {
       add_shelf_options(command, invocation);
       add_out_option(command, invocation);
     }},
    {"update", Command::kUpdate,
     "checks every book of the shelf (or those NAMEd) for new chapters and downloads only "
     "those, writing the books again in the formats of their last download",
     [](CLI::App& command, Invocation& invocation) {
       add_update_options(command, invocation);
       add_out_option(command, invocation);
       add_site_options(command, invocation);
       add_fetch_options(command, invocation);
       add_output_options(command, invocation);
     }},
    {"sites", Command::kSites,
     "lists the sites, one line each: id, name, address, and the file it was read from (or "
     "\"built in\"); sites check ID [WORD] tries the site's search, book page, index, first "
     "and last chapters, one line each, and exits 1 at the first that fails",
     [](CLI::App& command, Invocation& invocation) {
       add_site_options(command, invocation);
       CLI::App* check = command.add_subcommand(
           "check", "tries the site's steps in turn, one line each (exit 1: one failed)");
       check->fallthrough();
       check->allow_extras();
       add_check_options(*check, invocation);
     }},
};

const char kCommandNotes[] =
    "Options take their value after '=' or as the next argument, once each; '--' ends the\n"
    "options. Progress goes to standard error; the paths of the book files written go to\n"
    "standard output, one a line. Exit statuses: quillreap-cli --help.\n";

const char kNotes[] =
    "Each command's options: quillreap-cli COMMAND --help. Options take their value after\n"
    "'=' or as the next argument, once each; '--' ends the options.\n"
    "Progress goes to standard error, with one line for each page that could not be had\n"
    "after its last try; download, get and update print the path of each book file\n"
    "written, one a line. Interrupted (Ctrl-C), a download stops, writes no book, keeps\n"
    "what it fetched in the chapter store for the next run, and exits with 130.\n"
    "\n"
    "examples:\n"
    "  quillreap-cli search --source 2 WORD | quillreap-cli download --list - --format both\n"
    "  quillreap-cli get --source 1 WORD --chapters 3-7 --out novels\n"
    "  quillreap-cli update --quiet --out novels\n"
    "\n"
    "exit status: 0  the books were written with every chapter (search: hits found;\n"
    "                update: every book up to date and whole)\n"
    "             3  the books were written, but some chapters could not be had\n"
    "             1  a book asked for was not written (with --list: any of them), or the\n"
    "                search found no hit or no row N (shelf: the shelf is empty or its\n"
    "                folder is not there; update: a book could not be checked or\n"
    "                updated, or a NAME is not on the shelf)\n"
    "             2  the command line makes no sense\n"
    "           130  interrupted\n";

const CommandEntry* command_named(std::string_view word) {
  for (const CommandEntry& entry : kCommands)
    if (word == entry.word) return &entry;
  return nullptr;
}

// CLI11's help, kept within 80 columns (a GBK character is two bytes and two columns wide),
// each option with its value's form but not its exclusions, which its text says.
class HelpFormatter : public CLI::Formatter {
 public:
  static constexpr std::size_t kNameColumns = 28;
  static constexpr std::size_t kWidth = 80;

  HelpFormatter() {
    column_width(kNameColumns);
    label("SUBCOMMAND", "COMMAND");
  }
  std::string make_option_opts(const CLI::Option* option) const override {
    const std::string form = option->get_type_name();
    return (form.empty() ? "" : " " + form) + (option->get_required() ? " (needed)" : "");
  }
  std::string make_option_desc(const CLI::Option* option) const override {
    return wrapped(option->get_description());
  }
  std::string make_subcommand(const CLI::App* command) const override {
    std::stringstream out;
    CLI::detail::format_help(out, command->get_name(), wrapped(command->get_description()),
                             kNameColumns);
    return out.str();
  }
  std::string make_description(const CLI::App* app) const override {
    return wrapped(app->get_description(), kWidth) + "\n";
  }

 private:
  // Line breaks between words, so that no line passes the width.
  static std::string wrapped(const std::string& text, std::size_t width = kWidth - kNameColumns) {
    std::string out;
    std::size_t line = 0;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find(' ', at), text.size());
      const std::size_t word = end - at;
      if (line > 0 && line + 1 + word > width) {
        out += '\n';
        line = 0;
      } else if (line > 0) {
        out += ' ';
        ++line;
      }
      out.append(text, at, word);
      line += word;
      at = end + 1;
    }
    return out;
  }
};

// The whole command line: every command bound to one Invocation, which only the command
// given fills.
struct CommandLine {
  CLI::App app{
      "quillreap-cli finds a web novel on one of two sites and saves the whole "
      "book as one GBK text file (and an EPUB beside it if asked).",
      "quillreap-cli"};
  Invocation invocation;

  CommandLine() {
    app.allow_windows_style_options(false);  // "/" starts a word, as on Linux
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    app.set_help_flag("-h,--help", "this text");
    app.require_subcommand(1);
    app.footer(kNotes);
    app.formatter(std::make_shared<HelpFormatter>());
    for (const CommandEntry& entry : kCommands) {
      CLI::App* command = app.add_subcommand(entry.word, entry.description);
      command->group("Commands");
      command->footer(kCommandNotes);
      // An argument the command does not take is kept aside and named in the reply.
      command->allow_extras();
      entry.add_options(*command, invocation);
    }
  }
};

Reply usage(const std::string& prefix, const std::string& message, const std::string& help) {
  return {kExitUsage, "", prefix + ": " + message + " (see " + help + " --help)"};
}

// An argument the command does not take, named; "" when there is none.
std::string misplaced(CLI::App& command) {
  std::vector<std::string> extras = command.remaining();
  // A command that keeps what it does not take keeps the "--" that ends the options too.
  std::erase(extras, "--");
  for (const std::string& extra : extras)
    if (extra.size() > 1 && extra[0] == '-')
      return extra.substr(0, extra.find('=')) + " is not an option of " + command.get_name();
  if (!extras.empty())
    return "'" + extras.front() + "' is one word too many for " + command.get_name();
  return "";
}

// Why CLI11 refused the line, in the command's words. An argument the command does not take
// says the most, whatever else went wrong.
std::string problem(const CLI::ParseError& error, CLI::App& command) {
  if (std::string named = misplaced(command); !named.empty()) return named;
  std::string message = error.what();
  // Our checks say what the option takes.
  if (dynamic_cast<const CLI::ValidationError*>(&error) && message.find(": ") != std::string::npos)
    return message.replace(message.find(": "), 2, " takes ");
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    const std::string name = message.substr(0, message.find(':'));
    const CLI::Option* option = command.get_option_no_throw(name);
    return option && option->count() > 1 ? name + " is given twice" : name + " needs a value";
  }
  return message;
}

}  // namespace

std::string_view command_word(Command command) {
  if (command == Command::kSitesCheck) return "sites check";
  for (const CommandEntry& entry : kCommands)
    if (entry.command == command) return entry.word;
  return "";
}

std::variant<Invocation, Reply> parse_command_line(const std::vector<Text>& arguments) {
  auto line = std::make_unique<CommandLine>();
  if (arguments.empty()) return usage("quillreap-cli", "no command given", "quillreap-cli");
  const Text& first = arguments.front();
  if (first == "-h" || first == "--help") return Reply{kExitComplete, line->app.help(), ""};
  const CommandEntry* entry = command_named(first);
  if (!entry)
    return usage("quillreap-cli",
                 first[0] == '-' ? "the command comes first, before " + first
                                 : "unknown command '" + first + "'",
                 "quillreap-cli");
  const std::string prefix = "quillreap-cli " + std::string(entry->word);
  CLI::App& command = *line->app.get_subcommand(entry->word);
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    line->app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    // "--intro -h" on a command without --intro is a mistake, not a call for help.
    if (const std::string named = misplaced(command); !named.empty())
      return usage(prefix, named, prefix);
    return Reply{kExitComplete, line->app.help(), ""};
  } catch (const CLI::ParseError& error) {
    return usage(prefix, problem(error, command), prefix);
  }
  // Nothing was refused, yet the command may have been left words it does not take.
  if (const std::string named = misplaced(command); !named.empty())
    return usage(prefix, named, prefix);
  for (CLI::App* check : command.get_subcommands())
    if (const std::string named = misplaced(*check); !named.empty())
      return usage(prefix, named, prefix);
  Invocation invocation = std::move(line->invocation);
  invocation.command = entry->command;
  if (entry->command == Command::kSites && command.got_subcommand("check"))
    invocation.command = Command::kSitesCheck;
  if (entry->misfit)
    if (const Text misfit = entry->misfit(invocation); !misfit.empty())
      return usage(prefix, misfit, prefix);
  return invocation;
}

}  // namespace quillreap::app::cli
