// Standard error during a command, in the style the command line chose: every status line
// as today's lines; a progress bar in place of the chapters' status lines; or, quiet, only
// failures and the result. Runs on the command line's own thread, the interface thread of
// its headless controls, which hands everything here one call at a time.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "app/cli/progress_bar.hpp"
#include "download/chapter_progress.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::cli {

enum class OutputStyle { kLines, kBar, kQuiet };

class ProgressOutput {
 public:
  using Write = std::function<void(std::string_view gbk)>;

  ProgressOutput(OutputStyle style, Write write);
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
  void progress(const download::ChapterProgress& progress,
                ProgressBar::Clock::time_point now = ProgressBar::Clock::now());
  // The command is over: the bar's line is ended and, quiet, the last status line is
  // shown when with_result (not for a stopped download, whose last one names a chapter).
  void conclude(bool with_result);
  // A status line for which held(line) is true waits for the one after it, and is left
  // out when that one repeats and extends it: the TXT's completion line is said again
  // with the EPUB's note once the EPUB is written, and a terminal shows it once.
  void hold_lines(std::function<bool(const Text&)> held);

 private:
  void write(std::string_view gbk);
  void show(const Text& line);

  OutputStyle style_;
  Write write_;
  ProgressBar bar_;
  std::optional<Text> held_;  // quiet: the latest status line, the result once all is done
  std::function<bool(const Text&)> hold_;  // see hold_lines
  std::optional<Text> waiting_;            // the line held back, until the next one or the end
};

}  // namespace quillreap::app::cli
