// The result list's 状态 cell of the row being downloaded: "下载中 N/M" while chapters are
// written, then how the download ended. Written through the same report the download
// tells everything else through, so the cell is only ever set on the interface thread.
#pragma once

#include <cstddef>

#include "app/controls.hpp"
#include "books/book_file.hpp"

namespace quillreap::app {

inline constexpr int kStatusColumn = 4;

// "下载中 N/M"
Text downloading_cell(const download::ChapterProgress& progress);
// "已停止", "未完成" (no book written), or for a written book "已完成", "缺K章" (chapters
// lost), "待更新K章" (placeholder chapters), or both of the last two.
Text finished_cell(books::BookOutcome outcome, const download::ChapterProgress& last);

// Passes every report on to the controls, and keeps row's 状态 cell (none for row -1)
// up to date with the chapters' progress.
class RowStatusReport : public download::Report {
 public:
  RowStatusReport(Controls& controls, int row) : controls_(controls), row_(row) {}

  // Download worker, after the download: the cell says how it ended.
  void finish(books::BookOutcome outcome);

  void set_status(std::string_view text) override { controls_.set_status(text); }
  void append_log(std::string_view text) override { controls_.append_log(text); }
  void log_clear() override { controls_.log_clear(); }
  Text log_text() override { return controls_.log_text(); }
  bool write_log_file(const Text& path) override { return controls_.write_log_file(path); }
  void expect_log_growth(std::size_t times) override { controls_.expect_log_growth(times); }
  int list_append_row() override { return controls_.list_append_row(); }
  void list_set_cell(int row, int column, std::string_view text) override {
    controls_.list_set_cell(row, column, text);
  }
  void list_select_row(int row) override { controls_.list_select_row(row); }
  void page_failed(std::string_view address, std::string_view reason, int tries) override {
    controls_.page_failed(address, reason, tries);
  }
  void placeholder_chapters(int count) override { controls_.placeholder_chapters(count); }
  void store_not_used(std::string_view path, std::string_view why) override {
    controls_.store_not_used(path, why);
  }
  void slowed_down(int connections) override { controls_.slowed_down(connections); }
  void chapters_progress(const download::ChapterProgress& progress) override;

 private:
  Controls& controls_;
  int row_;
  download::ChapterProgress last_;
};

}  // namespace quillreap::app
