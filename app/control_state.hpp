// What every binding of the controls keeps beside its widgets: the result cells exactly
// as set. The widgets show a converted form (UTF-16, UTF-8) that does not give every GBK
// byte sequence back. Interface thread only.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

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

 private:
  std::vector<Row> rows_;
};

}  // namespace quillreap::app
