// Standard error during a command, in the style the command line chose: every status line
// as today's lines; a progress bar in place of the chapters' status lines; or, quiet, only
// failures and the result. The controls hand everything here one call at a time on the
// command line's own thread; under the bar a thread of its own also draws the bar again
// while a page stalls, so every call takes the one lock.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>

#include "app/cli/progress_bar.hpp"
#include "download/chapter_progress.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::cli {

enum class OutputStyle { kLines, kBar, kQuiet };

class ProgressOutput {
 public:
  using Write = std::function<void(std::string_view gbk)>;
  // The terminal's width in columns now; 0 when unknown.
  using Columns = std::function<int()>;
  using Clock = ProgressBar::Clock;
  // A bar not drawn for this long is drawn again: at least once a second while a page
  // stalls, with the redraw thread looking every kTick.
  static constexpr Clock::duration kStale = std::chrono::milliseconds(750);
  static constexpr Clock::duration kTick = std::chrono::milliseconds(200);

  ProgressOutput(OutputStyle style, Write write, Columns columns = {});
  // Ends a bar still showing, so that whatever is printed next (a failure the download
  // threw, say) starts on a line of its own.
  ~ProgressOutput();
  ProgressOutput(const ProgressOutput&) = delete;
  ProgressOutput& operator=(const ProgressOutput&) = delete;

  // A status line. Under the bar the chapters' own are left out; once every chapter is
  // done, the next one (the completion line) ends the bar.
  void status(const Text& line);
  // A note the windows keep off their status line (placeholder chapters, a site asking to
  // slow down), or a failure (a page not had after its last try): shown in every style,
  // above the bar when one shows.
  void note(const Text& line);
  void progress(const download::ChapterProgress& progress, Clock::time_point now = Clock::now());
  // The command is over: the bar's line is ended and, quiet, the last status line is
  // shown when with_result (not for a stopped download, whose last one names a chapter).
  void conclude(bool with_result);
  // A status line for which held(line) is true waits for the one after it, and is left
  // out when that one repeats and extends it: the TXT's completion line is said again
  // with the EPUB's note once the EPUB is written, and a terminal shows it once.
  void hold_lines(std::function<bool(const Text&)> held);
  // Book `number` of `count` in a list starts: "[2/5] NAME" as a line (not quiet), and at
  // the head of its bar.
  void book(int number, int count, const Text& name);
  // Draws the bar again when it has not been drawn for kStale.
  void redraw_stale(Clock::time_point now);
  // Under the bar, starts a thread that calls redraw_stale every kTick on the steady clock
  // until the output ends.
  void redraw_while_stalled();

 private:
  void write(std::string_view gbk);  // with the lock held
  void show(const Text& line);       // likewise
  int columns() const { return columns_ ? columns_() : 0; }

  OutputStyle style_;
  Write write_;
  Columns columns_;
  std::mutex mutex_;
  ProgressBar bar_;
  std::optional<Text> held_;  // quiet: the latest status line, the result once all is done
  std::function<bool(const Text&)> hold_;  // see hold_lines
  std::optional<Text> waiting_;            // the line held back, until the next one or the end
  std::jthread redraws_;                   // last: stopped before what it draws with goes
};

}  // namespace quillreap::app::cli
