// The 状态 cell's texts and the report that writes them. GBK bytes spelled out; the text
// itself stands in the comment.
#include "app/row_status.hpp"

#include <string>

namespace quillreap::app {
namespace {

constexpr std::string_view kStopped = "\xD2\xD1\xCD\xA3\xD6\xB9";      // 已停止
constexpr std::string_view kNotFinished = "\xCE\xB4\xCD\xEA\xB3\xC9";  // 未完成
constexpr std::string_view kFinished = "\xD2\xD1\xCD\xEA\xB3\xC9";     // 已完成
constexpr std::string_view kChapters = "\xD5\xC2";                     // 章

}  // namespace

Text downloading_cell(const download::ChapterProgress& progress) {
  return text::concat("\xCF\xC2\xD4\xD8\xD6\xD0 ", std::to_string(progress.done), "/",  // 下载中
                      std::to_string(progress.total));
}

Text finished_cell(books::BookOutcome outcome, const download::ChapterProgress& last) {
  using books::BookOutcome;
  if (outcome == BookOutcome::kStopped) return Text(kStopped);
  if (outcome == BookOutcome::kNotWritten) return Text(kNotFinished);
  Text cell;
  if (last.lost > 0) cell = text::concat("\xC8\xB1", std::to_string(last.lost), kChapters);  // 缺
  if (last.placeholders > 0) {
    if (!cell.empty()) cell += ' ';
    cell += text::concat("\xB4\xFD\xB8\xFC\xD0\xC2", std::to_string(last.placeholders),  // 待更新
                         kChapters);
  }
  return cell.empty() ? Text(kFinished) : cell;
}

void RowStatusReport::chapters_progress(const download::ChapterProgress& progress) {
  last_ = progress;
  controls_.chapters_progress(progress);
  if (row_ >= 0) controls_.list_set_cell(row_, kStatusColumn, downloading_cell(progress));
}

void RowStatusReport::finish(books::BookOutcome outcome) {
  if (row_ >= 0) controls_.list_set_cell(row_, kStatusColumn, finished_cell(outcome, last_));
}

}  // namespace quillreap::app
