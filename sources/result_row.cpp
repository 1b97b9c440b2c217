// Filling one row of the result list from the cells a search cut out of a hit.
#include "sources/result_row.hpp"

#include "sources/status_texts.hpp"

namespace quillreap::sources {

void append_result_row(Report& list, const text::Text& address, const text::Text& name,
                       const text::Text& introduction, const text::Text& author) {
  const int row = list.list_append_row();
  list.list_set_cell(row, 0, address);
  list.list_set_cell(row, 1, name);
  list.list_set_cell(row, 2, introduction.empty() ? text::Text(kNoIntroduction) : introduction);
  list.list_set_cell(row, 3, author);
}

}  // namespace quillreap::sources
