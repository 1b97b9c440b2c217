// The option groups of quillreap-cli's commands: each option's name, its value's check and
// its line of help, bound to the Invocation field it sets. A check returns what the value
// should have been; the command line puts the option's name and the command before it.
#include "app/cli/command_options.hpp"

#include <CLI/App.hpp>
#include <CLI/Validators.hpp>
#include <charconv>
#include <climits>
#include <string>

#include "download/pages_ahead.hpp"
#include "download/request_pace.hpp"
#include "http/retry.hpp"

namespace quillreap::app::cli {
namespace {

std::string in_quotes(const std::string& value) {
  return "'" + value + "'";
}

bool whole_number_in(const std::string& value, int least, int most) {
  int number = 0;
  const char* end = value.data() + value.size();
  const auto [stop, error] = std::from_chars(value.data(), end, number);
  return !value.empty() && error == std::errc() && stop == end && number >= least && number <= most;
}

// A value that is one of `choices`, said as `wanted` when it is not.
CLI::Validator one_of(std::vector<std::string> choices, std::string wanted) {
  return CLI::Validator(
      [choices, wanted](std::string& value) {
        for (const std::string& choice : choices)
          if (value == choice) return std::string();
        return wanted + ", not " + in_quotes(value);
      },
      "");
}

CLI::Validator whole_number(int least, int most, std::string wanted) {
  return CLI::Validator(
      [=](std::string& value) {
        return whole_number_in(value, least, most) ? std::string()
                                                   : wanted + ", not " + in_quotes(value);
      },
      "");
}

CLI::Validator whole_number(int least, int most) {
  return whole_number(
      least, most, "a whole number from " + std::to_string(least) + " to " + std::to_string(most));
}

CLI::Validator not_empty(std::string wanted) {
  return CLI::Validator([wanted](std::string& value) { return value.empty() ? wanted : ""; }, "");
}

// Nothing in a host may break the address it joins.
CLI::Validator host() {
  return CLI::Validator(
      [](std::string& value) {
        return value.empty() || value.find_first_of("/ \t\r\n") != std::string::npos
                   ? "a host name (host or host:port), not " + in_quotes(value)
                   : std::string();
      },
      "");
}

CLI::Validator chapter_range(bool last) {
  return CLI::Validator(
      [last](std::string& value) -> std::string {
        if (last)
          return download::parse_last_chapters(value) ? "" : "a whole number of chapters, from 1";
        return download::parse_chapter_range(value)
                   ? ""
                   : "A-B or A-: chapter positions counted from 1, A no more than B";
      },
      "");
}

// A flag given twice is refused as any option is.
CLI::Option* flag(CLI::App& command, const std::string& name, bool& target,
                  const std::string& description) {
  return command.add_flag(name, target, description)
      ->multi_option_policy(CLI::MultiOptionPolicy::Throw);
}

}  // namespace

void add_search_options(CLI::App& command, Invocation& invocation) {
  // Whether an id names a site is known once the site files are read.
  command
      .add_option("--source", invocation.source,
                  "the site searched: 1 (source 1), 2 (source 2) or a site's id "
                  "(quillreap-cli sites lists them)")
      ->type_name("1|2|ID")
      ->required()
      ->check(not_empty("1, 2 or a site's id"));
  command.add_option("WORD", invocation.word, "the search word")->type_name("")->required();
}

void add_site_options(CLI::App& command, Invocation& invocation) {
  sites::SiteConfig& config = invocation.config;
  command
      .add_option("--sites", invocation.sites_directory,
                  "the folder of the users' site files (default: $XDG_CONFIG_HOME/quillreap/sites, "
                  "or sites beside quillreap-cli.exe on Windows)")
      ->type_name("DIR")
      ->check(not_empty("a folder"));
  command
      .add_option("--search-host", config.search_host,
                  "the site-search service that source 1 searches through")
      ->type_name("HOST")
      ->check(host());
  command.add_option("--search-id", config.search_id, "its 19-digit site-search identifier")
      ->type_name("ID")
      ->check(not_empty("an identifier"));
  command.add_option("--source1-host", invocation.source1_host, "the source 1 site")
      ->type_name("HOST")
      ->check(host());
  command.add_option("--source2-host", invocation.source2_host, "the source 2 site")
      ->type_name("HOST")
      ->check(host());
  // An empty label would be found in every address.
  command
      .add_option("--source2-label", invocation.source2_label,
                  "what marks a source 2 book address (by default its host)")
      ->type_name("LABEL")
      ->check(not_empty("a label"));
}

void add_fetch_options(CLI::App& command, Invocation& invocation) {
  sites::SiteConfig& config = invocation.config;
  command
      .add_option("--connections", config.connections,
                  "chapter pages fetched at once, 1 to 16 (default 4)")
      ->type_name("N")
      ->check(whole_number(1, download::PagesAhead::kMostConnections));
  command
      .add_option("--tries", config.tries,
                  "tries per page before it counts as lost, 1 to 5 "
                  "(default 3)")
      ->type_name("N")
      ->check(whole_number(1, http::RetryPolicy::kMostTries));
  command
      .add_option("--pause-ms", config.request_pause_ms,
                  "milliseconds each connection waits between two requests, 0 to 10000; a "
                  "site that answers 429 or 503 also gets fewer connections")
      ->type_name("N")
      ->check(whole_number(0, download::RequestPace::kLongestPauseMs));
}

void add_out_option(CLI::App& command, Invocation& invocation) {
  command
      .add_option("--out", invocation.out_directory,
                  "the book folder (default: the current directory); download and get make it, "
                  "with its parents, when it is not there")
      ->type_name("DIR")
      ->check(not_empty("a folder"));
}

void add_book_options(CLI::App& command, Invocation& invocation) {
  CLI::Option* fresh = flag(command, "--fresh", invocation.fresh,
                            "fetch every chapter again and replace the chapter store");
  flag(command, "--no-store", invocation.no_store, "neither read nor write a chapter store")
      ->excludes(fresh);
  command
      .add_option_function<std::string>(
          "--format",
          [&invocation](const std::string& value) {
            invocation.text_book = value != "epub";
            invocation.epub = value != "txt";
          },
          "the books written: the GBK text (default), the EPUB, or both side by side")
      ->type_name("txt|epub|both")
      ->check(one_of({"txt", "epub", "both"}, "txt, epub or both"));
  CLI::Option* chapters =
      command
          .add_option_function<std::string>(
              "--chapters",
              [&invocation](const std::string& value) {
                invocation.range = download::parse_chapter_range(value);
              },
              // NAME(第A-B章).txt
              "only chapters A to B of the index, counted from 1 (A- runs to the last), "
              "written as NAME(\xB5\xDA"
              "A-B\xD5\xC2).txt; they stay in the chapter store")
          ->type_name("A-B")
          ->check(chapter_range(false));
  command
      .add_option_function<std::string>(
          "--last",
          [&invocation](const std::string& value) {
            invocation.range = download::parse_last_chapters(value);
          },
          "only the last N chapters, likewise")
      ->type_name("N")
      ->check(chapter_range(true))
      ->excludes(chapters);
}

void add_output_options(CLI::App& command, Invocation& invocation) {
  CLI::Option* progress =
      command
          .add_option_function<std::string>(
              "--progress",
              [&invocation](const std::string& value) {
                invocation.progress = value == "bar"     ? Progress::kBar
                                      : value == "lines" ? Progress::kLines
                                                         : Progress::kAuto;
              },
              "how progress shows on standard error: one bar line redrawn in place, or a "
              "line for each status (default auto: the bar on a terminal)")
          ->type_name("auto|bar|lines")
          ->check(one_of({"auto", "bar", "lines"}, "auto, bar or lines"));
  flag(command, "--quiet", invocation.quiet,
       "standard error shows only failures, the download's notes and the result")
      ->excludes(progress);
}

void add_download_options(CLI::App& command, Invocation& invocation) {
  CLI::Option* address =
      command.add_option("ADDRESS", invocation.address, "the book's address")->type_name("");
  CLI::Option* name =
      command.add_option("NAME", invocation.name, "the book's name: NAME.txt")->type_name("");
  command
      .add_option("--list", invocation.list,
                  "every book of a list (- reads standard input), one a line as search prints "
                  "them: address, name, introduction, author; blank lines and lines starting "
                  "with # are skipped")
      ->type_name("FILE|-")
      ->check(not_empty("a file, or - for standard input"))
      ->excludes(address)
      ->excludes(name);
  for (auto [option, target, description] :
       {std::tuple{"--author", &invocation.author, "the author, for the EPUB"},
        std::tuple{"--intro", &invocation.introduction, "the introduction, for the EPUB"}})
    command.add_option(option, *target, description)
        ->type_name("TEXT")
        ->excludes(command.get_option("--list"));
}

void add_row_option(CLI::App& command, Invocation& invocation) {
  command.add_option("--row", invocation.row, "the hit downloaded, counted from 0 (default 0)")
      ->type_name("N")
      ->check(whole_number(0, INT_MAX, "a row number, counted from 0"));
}

void add_shelf_options(CLI::App& command, Invocation& invocation) {
  command
      .add_option("--remove", invocation.remove_name,
                  "takes the book of that name or address off the shelf, deleting its chapter "
                  "store; its books stay")
      ->type_name("NAME|ADDRESS")
      ->check(not_empty("a book's name or address"));
}

void add_update_options(CLI::App& command, Invocation& invocation) {
  flag(command, "--check", invocation.check,
       "only print NAME and the chapters an update would fetch, tab-separated");
  command.add_option("NAME", invocation.names, "only these books of the shelf")->type_name("");
}

void add_check_options(CLI::App& command, Invocation& invocation) {
  command.add_option("ID", invocation.site, "the id of the site checked")
      ->type_name("")
      ->required();
  command
      .add_option("WORD", invocation.word, "the word searched (default: the site file's test word)")
      ->type_name("");
}

}  // namespace quillreap::app::cli
