// Pure text: the GBK labels are spelled out as bytes, the text itself in the comments.
// The padding counts bytes: a GBK character takes two bytes and two columns on a
// terminal, so bytes are columns.
#include "app/cli/progress_bar.hpp"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace quillreap::app::cli {
namespace {

constexpr std::string_view kChapters = "\xD5\xC2";            // 章
constexpr std::string_view kPerSecond = "\xD5\xC2/\xC3\xEB";  // 章/秒
constexpr std::string_view kLeft = "\xCA\xA3\xD3\xE0";        // 剩余
constexpr std::string_view kLost = "\xC8\xB1";                // 缺

// m:ss, or h:mm:ss from an hour on.
Text clock_text(std::int64_t seconds) {
  const auto two = [](std::int64_t n) {
    return text::concat(n < 10 ? "0" : "", std::to_string(n));
  };
  const std::int64_t hours = seconds / 3600;
  const std::int64_t minutes = seconds / 60 % 60;
  if (hours > 0)
    return text::concat(std::to_string(hours), ":", two(minutes), ":", two(seconds % 60));
  return text::concat(std::to_string(minutes), ":", two(seconds % 60));
}

Text cells(const download::ChapterProgress& progress) {
  const int filled = progress.total > 0
                         ? static_cast<int>(std::int64_t{std::min(progress.done, progress.total)} *
                                            ProgressBar::kCells / progress.total)
                         : ProgressBar::kCells;
  return text::concat("[", Text(filled, '#'), Text(ProgressBar::kCells - filled, '-'), "]");
}

// The line from the start of the terminal's line, padded over what is left of `drawn`.
Text over(std::string_view drawn, std::string_view line) {
  Text out = text::concat("\r", line);
  if (drawn.size() > line.size()) out.append(drawn.size() - line.size(), ' ');
  return out;
}

// The first `room` columns of a line, on a whole character.
Text cut(std::string_view line, std::size_t room) {
  std::size_t end = 0;
  while (end < line.size()) {
    const std::size_t step = static_cast<unsigned char>(line[end]) >= 0x81 ? 2 : 1;
    if (end + step > room) break;
    end += step;
  }
  return Text(line.substr(0, end));
}

// The widest line that fits in fewer than `columns` columns (the last one would wrap on
// some terminals): everything, then without the rate, then without the time left too, then
// without the label, then cut.
Text fitted(std::string_view label, std::string_view counted, std::string_view rate,
            std::string_view left, std::string_view lost, int columns) {
  const auto line = [&](bool with_label, bool with_rate, bool with_left) {
    return text::concat(with_label ? label : "", counted, with_rate ? rate : "",
                        with_left ? left : "", lost);
  };
  Text widest = line(true, true, true);
  if (columns <= 0) return widest;
  const std::size_t room = static_cast<std::size_t>(columns - 1);
  for (Text narrower :
       {widest, line(true, false, true), line(true, false, false), line(false, false, false)})
    if (narrower.size() <= room) return narrower;
  return cut(line(false, false, false), room);
}

}  // namespace

Text ProgressBar::draw(const download::ChapterProgress& progress, Clock::time_point now,
                       int columns) {
  samples_.push_back({now, progress.done});
  while (samples_.size() > 1 && now - samples_[1].at >= kRateWindow) samples_.pop_front();
  const std::int64_t moved = progress.done - samples_.front().done;
  const std::int64_t elapsed_ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now - samples_.front().at).count();

  Text rate = "--";
  Text left = "--:--";
  if (progress.finished()) left = clock_text(0);
  if (moved > 0 && elapsed_ms > 0) {
    const std::int64_t tenths = (moved * 10000 + elapsed_ms / 2) / elapsed_ms;
    rate = text::concat(std::to_string(tenths / 10), ".", std::to_string(tenths % 10));
    const std::int64_t remaining = std::max(0, progress.total - progress.done);
    // Rounded up: "0:00" only once the last chapter is in.
    left = clock_text((remaining * elapsed_ms + moved * 1000 - 1) / (moved * 1000));
  }
  Text line = fitted(label_.empty() ? Text() : text::concat(label_, " "),
                     text::concat(cells(progress), " ", std::to_string(progress.done), "/",
                                  std::to_string(progress.total), kChapters),
                     text::concat(" ", rate, kPerSecond), text::concat(" ", kLeft, left),
                     text::concat(" ", kLost, std::to_string(progress.lost), kChapters), columns);
  // The draw before was as narrow as this one's room unless the terminal has shrunk since,
  // and then it has wrapped already: padding over it would only wrap again.
  const std::string_view before =
      columns > 0 ? std::string_view(drawn_).substr(0, static_cast<std::size_t>(columns - 1))
                  : std::string_view(drawn_);
  Text out = over(before, line);
  drawn_ = std::move(line);
  last_ = progress;
  drawn_at_ = now;
  return out;
}

Text ProgressBar::redraw(Clock::time_point now, int columns) {
  return showing() ? draw(last_, now, columns) : Text();
}

Text ProgressBar::line_above(std::string_view line) const {
  if (!showing()) return text::concat(line, "\n");
  return text::concat(over(drawn_, line), "\n", drawn_);
}

Text ProgressBar::finish() {
  if (!showing()) return {};
  drawn_.clear();
  samples_.clear();
  last_ = {};
  return "\n";
}

}  // namespace quillreap::app::cli
