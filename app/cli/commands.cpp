// quillreap-cli's commands: search, download, get, shelf, update and sites. The command line's own
// thread is the interface thread of its headless controls, and the download runs right on
// it: there is no window to keep painting meanwhile, so a worker thread would only add a
// pump loop waiting for it. Progress reaches the terminal through the controls' callbacks,
// shown by ProgressOutput in the style --progress and --quiet chose.
#include "app/cli/commands.hpp"

#include <optional>
#include <string>
#include <vector>

#include "app/cli/book_list.hpp"
#include "app/cli/cli_shell.hpp"
#include "app/cli/console.hpp"
#include "app/cli/progress_output.hpp"
#include "app/cli/shelf_lines.hpp"
#include "app/controller.hpp"
#include "app/headless_controls.hpp"
#include "books/book_file.hpp"
#include "books/status_texts.hpp"
#include "download/shelf.hpp"
#include "sites/site_check.hpp"
#include "sites/site_choice.hpp"
#include "sites/site_folder.hpp"
#include "text/files.hpp"

namespace quillreap::app::cli {
namespace {

using books::BookOutcome;

// What a command's own lines to standard error begin with.
Text line_start(Command command) {
  return text::concat("quillreap-cli ", command_word(command), ": ");
}

void say(Command command, std::string_view message) {
  write_text(Stream::kError, text::concat(line_start(command), message, "\n"));
}

// The worst of the books' exit statuses: one not written outweighs lost chapters.
int worse(int status, int other) {
  if (status == kExitNothingWritten || other == kExitNothingWritten) return kExitNothingWritten;
  return status == kExitWithGaps || other == kExitWithGaps ? kExitWithGaps : kExitComplete;
}

// The list's books, read whole before any request; nullopt, said why, when it cannot be.
std::optional<std::vector<ListedBook>> read_list(const Text& list) {
  const auto say = [](std::string_view message) { cli::say(Command::kDownload, message); };
  std::optional<std::string> bytes;
  text::FileProblem problem = text::FileProblem::kOther;
  if (list == "-") {
    bytes = read_standard_input();
  } else if (const std::optional<text::Bytes> file = text::read_file(list, &problem)) {
    bytes.emplace(file->begin(), file->end());
  }
  if (!bytes) {
    say(list == "-" ? Text("cannot read the list from standard input")
                    : text::concat("cannot read the list ", list, ": ", describe(problem)));
    return std::nullopt;
  }
  std::vector<ListedBook> books = read_book_list(*bytes);
  if (books.empty())
    say(text::concat("the list ", list == "-" ? "on standard input" : list, " holds no book"));
  return books;
}

// The book directory is there before the first request, so that no download is thrown
// away at its end for want of it; false, said why, when it cannot be made.
bool make_book_directory(Command command, const Text& directory) {
  const text::FileProblem problem = text::make_directories(directory);
  if (problem == text::FileProblem::kNone) return true;
  say(command, text::concat("cannot make the book directory ", directory, ": ", describe(problem)));
  return false;
}

// One row as one line: cells 地址, 小说名, 小说介绍 and 作者 between tabs. A line break or
// tab inside a cell would split the row, so it is shown as a space.
Text row_line(const Row& row) {
  Text line;
  for (int column = 0; column < 4; ++column) {
    if (column > 0) line += '\t';
    for (char c : row[column]) line += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
  }
  return line + "\n";
}

OutputStyle output_style(const Invocation& invocation) {
  if (invocation.quiet) return OutputStyle::kQuiet;
  if (invocation.progress == Progress::kAuto)
    return is_terminal(Stream::kError) ? OutputStyle::kBar : OutputStyle::kLines;
  return invocation.progress == Progress::kBar ? OutputStyle::kBar : OutputStyle::kLines;
}

// The sites of the run: the users' files read into the build's settings, then the host
// options, which override what a file says. nullopt, said why, when --sites names no folder.
std::optional<sites::SiteConfig> run_sites(const Invocation& invocation) {
  sites::SiteConfig config = invocation.config;
  const Text& given = invocation.sites_directory;
  if (!given.empty() && !text::directory_exists(given)) {
    say(invocation.command, text::concat("there is no site folder ", given));
    return std::nullopt;
  }
  for (const Text& reason :
       sites::take_site_folder(config, given.empty() ? text::user_sites_directory() : given))
    say(invocation.command, text::concat(reason, " (the site is left out)"));
  if (invocation.source1_host) config.source1_host = *invocation.source1_host;
  // A host given alone carries the label with it.
  if (invocation.source2_host) config.source2_host = *invocation.source2_host;
  if (invocation.source2_host || invocation.source2_label)
    config.source2_label = invocation.source2_label.value_or("");
  return config;
}

// The source box's item --source names: 1, 2 or a site's id; nullopt when none is.
std::optional<int> source_choice(const Text& source, const sites::SiteConfig& config) {
  if (source == "1") return 0;
  if (source == "2") return 1;
  return sites::choice_of_site(source, config);
}

// Where a site lives, for the sites list: its search's scheme and its host.
Text site_address(const sites::Site& site) {
  const bool secure = site.search.address_text.rfind("https://", 0) == 0;
  return text::concat(secure ? "https://" : "http://", site.host, "/");
}

class Session {
 public:
  Session(const Invocation& invocation, const sites::SiteConfig& config)
      : invocation_(invocation),
        config_(config),
        output_(
            output_style(invocation), [](std::string_view gbk) { write_text(Stream::kError, gbk); },
            terminal_columns),
        controller_(controls_, shell_, config, invocation.out_directory) {
    controls_.set_status_callback([this](const Text& status) { output_.status(status); });
    controls_.set_note_callback([this](const Text& note) { output_.note(note); });
    controls_.set_progress_callback(
        [this](const download::ChapterProgress& progress) { output_.progress(progress); });
    controls_.set_failed_page_callback(
        [this](std::string_view address, std::string_view reason, int tries) {
          output_.note(text::concat(line_start(invocation_.command), "could not get ", address,
                                    ": ", reason, " (", std::to_string(tries),
                                    tries == 1 ? " try)" : " tries)"));
        });
    if (invocation.fresh) controller_.set_store_mode(download::ChapterStore::Mode::kFresh);
    if (invocation.no_store) controller_.set_store_mode(download::ChapterStore::Mode::kOff);
    controller_.set_formats(invocation.text_book, invocation.epub);
    // Updated books keep the formats of their last download, so any may write an EPUB.
    output_.hold_lines([](const Text& line) { return books::is_written_line(line); });
    controller_.set_chapter_range(invocation.range);
    stop_on_interrupt(controller_.stop());
    output_.redraw_while_stalled();
  }

  ~Session() { stop_on_interrupt(std::stop_source(std::nostopstate)); }

  // The search button's handler with the word and source choice typed in.
  int search_rows() {
    controls_.set_search_word(invocation_.word);
    controls_.set_source_choice(*source_choice(invocation_.source, config_));
    controller_.on_search();
    return controls_.row_count();
  }

  int search() {
    const int rows = search_rows();
    output_.conclude(true);
    for (const Row& row : controls_.rows()) write_text(Stream::kOut, row_line(row));
    return rows > 0 ? kExitComplete : kExitNothingWritten;
  }

  int download(const Text& address, const Text& name, const Text& author, const Text& introduction,
               const Text& site = {}) {
    const BookOutcome outcome =
        controller_.download_book(address, name, author, introduction, site);
    output_.conclude(outcome != BookOutcome::kStopped);
    // Whatever was written is named, even when another book asked for was not.
    for (const Text& path : controller_.written_files()) write_text(Stream::kOut, path + "\n");
    if (outcome == BookOutcome::kStopped) {
      say("interrupted: no book written; the chapters fetched are kept for the next run");
      return kExitInterrupted;
    }
    if (outcome == BookOutcome::kNotWritten) return kExitNothingWritten;
    return outcome == BookOutcome::kComplete ? kExitComplete : kExitWithGaps;
  }

  // Every book of the list in turn; one that cannot be had is named and the next goes on.
  int download_list(const std::vector<ListedBook>& books) {
    const int count = static_cast<int>(books.size());
    int status = kExitComplete;
    int written = 0;
    for (int i = 0; i < count; ++i) {
      const ListedBook& book = books[static_cast<std::size_t>(i)];
      output_.book(i + 1, count, book.name.empty() ? book.address : book.name);
      const Text where = text::concat("list line ", std::to_string(book.line));
      if (book.address.empty() || book.name.empty()) {
        output_.note(text::concat(line_start(invocation_.command), where, " gives no ",
                                  book.address.empty() ? "address" : "name", "; skipped"));
        status = kExitNothingWritten;
        continue;
      }
      const int book_status = download(book.address, book.name, book.author, book.introduction);
      if (book_status == kExitInterrupted) return kExitInterrupted;
      if (book_status == kExitNothingWritten)
        output_.note(text::concat(line_start(invocation_.command), where, ", ", book.name, " (",
                                  book.address, "): no book written"));
      else
        ++written;
      status = worse(status, book_status);
    }
    if (count > 1)
      output_.note(text::concat(line_start(invocation_.command), std::to_string(written), " of ",
                                std::to_string(count), " books in the list written"));
    return status;
  }

  int get() {
    const int rows = search_rows();
    // Quiet, the search's status line is the result only when no download follows.
    if (rows == 0 || invocation_.row >= rows) output_.conclude(true);
    if (rows == 0) {
      say("the search found nothing; no book written");
      return kExitNothingWritten;
    }
    if (invocation_.row >= rows) {
      say(text::concat("the search found ", std::to_string(rows), " rows; there is no row ",
                       std::to_string(invocation_.row)));
      return kExitNothingWritten;
    }
    // As the window would: select the row, then download what its cells hold.
    controls_.list_select_row(invocation_.row);
    const int row = controls_.list_selected_row();
    // The EPUB takes the row's 作者 and 小说介绍.
    return download(controls_.list_get_cell(row, 0), controls_.list_get_cell(row, 1),
                    controls_.list_get_cell(row, 3), controls_.list_get_cell(row, 2),
                    controller_.row_site(row));
  }

  // Each store the shelf could not read a book from, named with why; true when any was.
  bool say_skipped(const download::Shelf& shelf) {
    for (const download::SkippedStore& store : shelf.skipped)
      say(text::concat(store.path, ": left out of the shelf, and left as it is: ", store.why));
    return !shelf.skipped.empty();
  }

  int shelf() {
    const Text& directory = invocation_.out_directory;
    if (!invocation_.remove_name.empty()) {
      const Text& named = invocation_.remove_name;
      const download::Removal removal = download::remove_from_shelf(directory, named);
      if (removal.named.size() > 1) {
        // Which of them is meant, only the user knows: nothing is removed.
        Text addresses;
        for (const download::ShelfBook& book : removal.named)
          addresses += text::concat(addresses.empty() ? "" : ", ", book.address);
        say(text::concat(named, " is the name of ", std::to_string(removal.named.size()),
                         " books on the shelf (", addresses,
                         "); give the address of the one to take off"));
        return kExitUsage;
      }
      if (removal.removed) return kExitComplete;
      say(removal.named.empty() ? text::concat(named, " is not on the shelf")
                                : text::concat(named, ": its chapter store could not be deleted"));
      return kExitNothingWritten;
    }
    const download::Shelf shelf = download::read_shelf(directory);
    say_skipped(shelf);
    if (shelf.books.empty()) {
      say(text::concat("the shelf of ", directory, " is empty"));
      return kExitNothingWritten;
    }
    for (const download::ShelfBook& book : shelf.books) write_text(Stream::kOut, shelf_line(book));
    return kExitComplete;
  }

  int update() {
    const download::Shelf shelf = download::read_shelf(invocation_.out_directory);
    std::vector<download::ShelfBook> books = shelf.books;
    if (!invocation_.names.empty()) {
      // Every name is checked before any request: a typo stops the run, not one book.
      std::optional<Text> unknown;
      books = books_named(books, invocation_.names, unknown);
      if (unknown) {
        say_skipped(shelf);
        say(text::concat(*unknown, " is not on the shelf"));
        return kExitNothingWritten;
      }
    }
    // A store the shelf cannot read is not updated, and the run says so and fails for it.
    const bool skipped = say_skipped(shelf);
    if (books.empty()) {
      say(text::concat("the shelf of ", invocation_.out_directory, " is empty"));
      return kExitNothingWritten;
    }
    controller_.list_shelf(books);
    const std::vector<Controller::ShelfResult> results =
        invocation_.check ? controller_.check_shelf(books) : controller_.update_shelf(books);
    const bool stopped = results.size() < books.size();
    output_.conclude(!stopped);
    int exit_status = skipped ? kExitNothingWritten : kExitComplete;
    for (std::size_t i = 0; i < results.size(); ++i) {
      const Controller::ShelfResult& result = results[i];
      const Text& name = books[i].record.name;
      if (!result.checked) {
        say(text::concat(name, ": not checked: ", result.why));
        exit_status = worse(exit_status, kExitNothingWritten);
      } else if (invocation_.check) {
        write_text(Stream::kOut,
                   text::concat(name, "\t", std::to_string(result.new_chapters), "\n"));
      } else if (result.updated && !result.unwritten.empty()) {
        // Some of its books were written: none stayed as it was, and the rest come next time.
        say(text::concat(name, ": ", result.unwritten, "; the next update writes it"));
        exit_status = worse(exit_status, kExitNothingWritten);
      } else if (!result.updated && result.outcome == BookOutcome::kNotWritten) {
        say(text::concat(name, ": not written again",
                         result.unwritten.empty() ? "" : text::concat(" (", result.unwritten, ")"),
                         "; its books stay as they were"));
        exit_status = worse(exit_status, kExitNothingWritten);
      } else if (result.outcome == BookOutcome::kWrittenWithGaps) {
        exit_status = worse(exit_status, kExitWithGaps);
      }
    }
    for (const Text& path : controller_.shelf_written_files())
      write_text(Stream::kOut, path + "\n");
    if (stopped) {
      say("interrupted: the chapters fetched are kept for the next run");
      return kExitInterrupted;
    }
    return exit_status;
  }

 private:
  void say(std::string_view message) const { cli::say(invocation_.command, message); }

  const Invocation& invocation_;
  const sites::SiteConfig& config_;
  ProgressOutput output_;  // outlives the controls, whose callbacks write through it
  HeadlessControls controls_;
  CliShell shell_;
  Controller controller_;
};

// One line per site, in the source box's order.
int list_sites(const sites::SiteConfig& config) {
  const std::size_t count = sites::site_choices(config).size();
  for (std::size_t choice = 0; choice < count; ++choice) {
    const sites::SourcePages pages = sites::pages_for_choice(static_cast<int>(choice), config);
    const sites::Site& site = pages.site();
    write_text(Stream::kOut, text::concat(site.id, "\t", site.name, "\t", site_address(site), "\t",
                                          site.file.empty() ? Text("built in") : site.file, "\n"));
  }
  return kExitComplete;
}

int check_site(const Invocation& invocation, const sites::SiteConfig& config) {
  const std::optional<int> choice = sites::choice_of_site(invocation.site, config);
  if (!choice) {
    say(invocation.command,
        text::concat(invocation.site, ": no site has that id (quillreap-cli sites lists them)"));
    return kExitUsage;
  }
  const bool good = sites::check_site(
      sites::pages_for_choice(*choice, config), invocation.word, config,
      [](const Text& line) { write_text(Stream::kOut, text::concat(line, "\n")); });
  return good ? kExitComplete : kExitNothingWritten;
}

}  // namespace

int run_command(const Invocation& invocation) {
  // What can be found wrong without asking a site is found before the first request.
  std::optional<std::vector<ListedBook>> list;
  if (!invocation.list.empty() && (!(list = read_list(invocation.list)) || list->empty()))
    return kExitNothingWritten;
  const bool downloads =
      invocation.command == Command::kDownload || invocation.command == Command::kGet;
  if (downloads && !make_book_directory(invocation.command, invocation.out_directory))
    return kExitNothingWritten;
  // A shelf is read from a folder that is there: a mistyped one is not an empty shelf.
  if (!downloads && invocation.command != Command::kSearch &&
      !text::directory_exists(invocation.out_directory)) {
    say(invocation.command, text::concat("there is no book folder ", invocation.out_directory));
    return kExitNothingWritten;
  }
  std::optional<sites::SiteConfig> config;
  if (invocation.command != Command::kShelf && !(config = run_sites(invocation))) return kExitUsage;
  if (invocation.command == Command::kSites) return list_sites(*config);
  if (invocation.command == Command::kSitesCheck) return check_site(invocation, *config);
  if (!invocation.source.empty() && !source_choice(invocation.source, *config)) {
    say(invocation.command, text::concat("--source ", invocation.source,
                                         ": no site has that id (quillreap-cli sites lists them)"));
    return kExitUsage;
  }
  Session session(invocation, config ? *config : invocation.config);
  switch (invocation.command) {
    case Command::kSearch:
      return session.search();
    case Command::kGet:
      return session.get();
    case Command::kShelf:
      return session.shelf();
    case Command::kUpdate:
      return session.update();
    default:
      break;
  }
  if (list) return session.download_list(*list);
  return session.download(invocation.address, invocation.name, invocation.author,
                          invocation.introduction);
}

}  // namespace quillreap::app::cli
