// What every binding of the controls keeps beside its widgets: the result cells exactly
// as set, and the book buffer. The widgets show a converted form (UTF-16, UTF-8) that does
// not give every GBK byte sequence back, and a text widget is no byte store for a book of
// tens of megabytes. Interface thread only.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/memory.hpp"
#include "text/primitives.hpp"

namespace quillreap::app {

using text::Text;

inline constexpr int kListColumns = 5;  // 地址, 小说名, 小说介绍, 作者, 状态
using Row = std::array<Text, kListColumns>;

class ControlState {
 public:
  // The result rows.
  bool has_cell(int row, int column) const {
    return row >= 0 && row < row_count() && column >= 0 && column < kListColumns;
  }
  int row_count() const { return static_cast<int>(rows_.size()); }
  const std::vector<Row>& rows() const { return rows_; }
  void clear_rows() { rows_.clear(); }
  int append_row() {
    rows_.emplace_back();
    return row_count() - 1;
  }
  // False, and nothing set, outside the list.
  bool set_cell(int row, int column, std::string_view text) {
    if (!has_cell(row, column)) return false;
    rows_[row][column] = Text(text);
    return true;
  }
  Text cell(int row, int column) const {
    return has_cell(row, column) ? rows_[row][column] : Text();
  }

  // The book buffer.
  void append_book(std::string_view text) { book_.append(text); }
  // Room for the book to grow to `times` its present size without moving, in large pages
  // where the system has them: a book of thousands of chapters is megabytes of fresh memory.
  void reserve_book(std::size_t times) {
    if (times <= 1 || book_.size() >= book_.max_size() / times) return;
    book_.reserve(book_.size() * times);
    text::prefer_large_pages(book_.data(), book_.capacity());
  }
  void clear_book() { book_.clear(); }
  const std::string& book() const { return book_; }

 private:
  std::vector<Row> rows_;
  std::string book_;
};

}  // namespace quillreap::app
