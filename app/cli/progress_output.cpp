#include "app/cli/progress_output.hpp"

#include <utility>

namespace quillreap::app::cli {

ProgressOutput::ProgressOutput(OutputStyle style, Write write)
    : style_(style), write_(std::move(write)) {}

ProgressOutput::~ProgressOutput() {
  try {
    write(bar_.finish());
  } catch (...) {
    // Out of memory while unwinding: the terminal keeps an unfinished line.
  }
}

void ProgressOutput::write(std::string_view gbk) {
  if (!gbk.empty()) write_(gbk);
}

void ProgressOutput::status(const Text& line) {
  if (waiting_) {
    const Text waiting = std::move(*waiting_);
    waiting_.reset();
    if (!line.starts_with(waiting)) show(waiting);
  }
  if (hold_ && hold_(line)) {
    waiting_ = line;
    return;
  }
  show(line);
}

void ProgressOutput::hold_lines(std::function<bool(const Text&)> held) {
  hold_ = std::move(held);
}

void ProgressOutput::show(const Text& line) {
  switch (style_) {
    case OutputStyle::kLines:
      write(text::concat(line, "\n"));
      return;
    case OutputStyle::kQuiet:
      held_ = line;
      return;
    case OutputStyle::kBar:
      // While chapters are still to come, a status line names the chapter under way,
      // which the bar already counts.
      if (bar_.showing() && !bar_.complete()) return;
      write(text::concat(bar_.finish(), line, "\n"));
      return;
  }
}

void ProgressOutput::note(const Text& line) {
  write(bar_.line_above(line));
}

void ProgressOutput::progress(const download::ChapterProgress& progress,
                              ProgressBar::Clock::time_point now) {
  if (style_ == OutputStyle::kBar) write(bar_.draw(progress, now));
}

void ProgressOutput::conclude(bool with_result) {
  if (waiting_) show(*waiting_);
  waiting_.reset();
  write(bar_.finish());
  if (held_ && with_result) write(text::concat(*held_, "\n"));
  held_.reset();
}

}  // namespace quillreap::app::cli
