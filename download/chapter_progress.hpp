// How far the chapters of a download have come, and how often that is told: the result
// list's 状态 cell and the terminal's progress bar both redraw from it, so it is told a few
// times a second rather than once per chapter.
#pragma once

#include <chrono>

namespace quillreap::download {

struct ChapterProgress {
  int done = 0;          // chapters written into the book, in index order
  int total = 0;         // chapters in the index
  int lost = 0;          // of those done, written with their heading only
  int placeholders = 0;  // of those done, text the site has not typed yet

  bool finished() const { return done >= total; }
  friend bool operator==(const ChapterProgress&, const ChapterProgress&) = default;
};

// Decides when progress is worth telling: the first time, then once an interval has passed
// since the last time told, and always when the last chapter is done.
class ProgressPace {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kInterval = std::chrono::milliseconds(250);

  bool due(const ChapterProgress& progress, Clock::time_point now = Clock::now()) {
    if (told_ && !progress.finished() && now - last_ < kInterval) return false;
    told_ = true;
    last_ = now;
    return true;
  }

 private:
  bool told_ = false;
  Clock::time_point last_{};
};

}  // namespace quillreap::download
