#include "app/cli/progress_output.hpp"

#include <condition_variable>
#include <utility>

namespace quillreap::app::cli {

ProgressOutput::ProgressOutput(OutputStyle style, Write write, Columns columns)
    : style_(style), write_(std::move(write)), columns_(std::move(columns)) {}

ProgressOutput::~ProgressOutput() {
  redraws_ = {};  // stopped and joined before the last write
  try {
    std::lock_guard lock(mutex_);
    write(bar_.finish());
  } catch (...) {
    // Out of memory while unwinding: the terminal keeps an unfinished line.
  }
}

void ProgressOutput::write(std::string_view gbk) {
  if (!gbk.empty()) write_(gbk);
}

void ProgressOutput::status(const Text& line) {
  std::lock_guard lock(mutex_);
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
  std::lock_guard lock(mutex_);
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
  std::lock_guard lock(mutex_);
  write(bar_.line_above(line));
}

void ProgressOutput::progress(const download::ChapterProgress& progress,
                              ProgressBar::Clock::time_point now) {
  std::lock_guard lock(mutex_);
  if (style_ == OutputStyle::kBar) write(bar_.draw(progress, now, columns()));
}

void ProgressOutput::conclude(bool with_result) {
  std::lock_guard lock(mutex_);
  if (waiting_) show(*waiting_);
  waiting_.reset();
  write(bar_.finish());
  if (held_ && with_result) write(text::concat(*held_, "\n"));
  held_.reset();
}

void ProgressOutput::book(int number, int count, const Text& name) {
  std::lock_guard lock(mutex_);
  Text label = text::concat("[", std::to_string(number), "/", std::to_string(count), "] ", name);
  if (style_ != OutputStyle::kQuiet) write(text::concat(bar_.finish(), label, "\n"));
  bar_.set_label(std::move(label));
}

void ProgressOutput::redraw_while_stalled() {
  if (style_ != OutputStyle::kBar || redraws_.joinable()) return;
  redraws_ = std::jthread([this](std::stop_token stop) {
    std::mutex sleeping;
    std::condition_variable_any woken;
    std::unique_lock lock(sleeping);
    // Wakes every tick, or at once when the output ends.
    while (!woken.wait_for(lock, stop, kTick, [] { return false; }) && !stop.stop_requested())
      redraw_stale(Clock::now());
  });
}

void ProgressOutput::redraw_stale(Clock::time_point now) {
  std::lock_guard lock(mutex_);
  if (bar_.showing() && !bar_.complete() && now - bar_.drawn_at() >= kStale)
    write(bar_.redraw(now, columns()));
}

}  // namespace quillreap::app::cli
