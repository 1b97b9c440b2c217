// A report of the searches, book writers and downloads kept as plain data: every status
// text in order, the result rows, the selected row and the book buffer. It carries nothing
// between threads, so a test calls the layer under test from its own thread. Port is the
// interface the layer reports through (sites::SearchReport, books::BookLog,
// download::Report); the members it does not declare are plain functions.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::test_support {

using text::Text;

template <class Port>
class RecordingReport : public Port {
 public:
  using Row = std::array<Text, 5>;  // 地址, 小说名, 小说介绍, 作者, 状态

  void set_status(std::string_view text) { statuses_.emplace_back(text); }
  void append_log(std::string_view text) { book_.append(text); }
  void log_clear() { book_.clear(); }
  Text log_text() { return book_; }
  int list_append_row() {
    rows_.emplace_back();
    return row_count() - 1;
  }
  void list_set_cell(int row, int column, std::string_view text) {
    if (has_cell(row, column)) rows_[row][column] = Text(text);
  }
  // Like the result list: -1 clears, a row the list does not have changes nothing.
  void list_select_row(int row) {
    if (row < 0)
      selected_ = -1;
    else if (row < row_count())
      selected_ = row;
  }

  // The last status text; "" before the first.
  Text status() const { return statuses_.empty() ? Text() : statuses_.back(); }
  const std::vector<Text>& status_history() const { return statuses_; }
  const std::string& book_buffer() const { return book_; }
  const std::vector<Row>& rows() const { return rows_; }
  int row_count() const { return static_cast<int>(rows_.size()); }
  Text list_get_cell(int row, int column) const {
    return has_cell(row, column) ? rows_[row][column] : Text();
  }
  int selected_row() const { return selected_; }
  // A new search's list, as the controller clears it before searching.
  void list_clear() {
    rows_.clear();
    selected_ = -1;
  }

 private:
  bool has_cell(int row, int column) const {
    return row >= 0 && row < row_count() && column >= 0 && column < static_cast<int>(Row().size());
  }

  std::vector<Text> statuses_;
  std::string book_;
  std::vector<Row> rows_;
  int selected_ = -1;
};

}  // namespace quillreap::test_support
