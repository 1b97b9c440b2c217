// The terminal's progress bar: one line on standard error, redrawn in place with a carriage
// return and padded with spaces over what the draw before left, and kept narrower than the
// terminal so that it never wraps. It only makes the GBK bytes to write, from the progress,
// a clock value and the terminal's width handed in, so its drawing can be checked without
// a terminal and without waiting.
#pragma once

#include <chrono>
#include <deque>
#include <string_view>
#include <utility>

#include "download/chapter_progress.hpp"
#include "text/primitives.hpp"

namespace quillreap::app::cli {

using text::Text;

class ProgressBar {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kCells = 20;
  // Chapters per second are counted over about this much of the latest progress, so that
  // a burst of chapters from the chapter store stops promising a quick end once it is over.
  static constexpr Clock::duration kRateWindow = std::chrono::seconds(10);

  // The bar for this progress, over the one drawn before, in fewer than `columns` columns
  // (0: as wide as it takes). Short of room it leaves out the rate, then the time left,
  // then the label, and at last cuts the line.
  Text draw(const download::ChapterProgress& progress, Clock::time_point now, int columns = 0);
  // The bar showing, drawn again for the time now: while a page stalls, its rate and time
  // left move on instead of standing still. "" when no bar shows.
  Text redraw(Clock::time_point now, int columns = 0);
  // Text the bar's line starts with, such as which book of a list it counts ("" for none).
  void set_label(Text label) { label_ = std::move(label); }
  // A line to show above the bar: the bar wiped, the line, the bar again below it. With no
  // bar showing, just the line.
  Text line_above(std::string_view line) const;
  // Ends the bar's line, so that what follows starts on a line of its own; "" when no bar
  // shows. The next draw starts a new bar, with its rate counted afresh.
  Text finish();

  bool showing() const { return !drawn_.empty(); }
  // Whether the bar showing has every chapter done.
  bool complete() const { return showing() && last_.finished(); }
  Clock::time_point drawn_at() const { return drawn_at_; }

 private:
  struct Sample {
    Clock::time_point at;
    int done;
  };
  std::deque<Sample> samples_;  // the oldest is the newest one at least kRateWindow old
  download::ChapterProgress last_;
  Clock::time_point drawn_at_{};
  Text label_;
  Text drawn_;  // the bar's text as last drawn, without the carriage return and padding
};

}  // namespace quillreap::app::cli
