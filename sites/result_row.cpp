// Filling the result list from the cells a search cut out of its hits.
#include "sites/result_row.hpp"

#include "sites/status_texts.hpp"

namespace quillreap::sites {

void append_result_row(SearchReport& list, const SearchHit& hit) {
  const int row = list.list_append_row();
  list.list_set_cell(row, 0, hit.address);
  list.list_set_cell(row, 1, hit.name);
  list.list_set_cell(row, 2, hit.introduction.empty() ? Text(kNoIntroduction) : hit.introduction);
  list.list_set_cell(row, 3, hit.author);
}

Text list_search_hits(SearchReport& list, const std::vector<SearchHit>& hits) {
  for (const SearchHit& hit : hits) {
    text::do_events();
    append_result_row(list, hit);
  }
  list.list_select_row(0);
  return Text(kSearchDone);
}

}  // namespace quillreap::sites
