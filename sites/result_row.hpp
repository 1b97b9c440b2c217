// One search hit as a row of the result list: the four cells both searches fill, in the
// order the list's columns stand. Runs on the interface thread, inside a search.
#pragma once

#include <vector>

#include "sites/search_report.hpp"
#include "text/primitives.hpp"

namespace quillreap::sites {

using text::Text;

// The cells a search cuts out of one hit.
struct SearchHit {
  Text address;
  Text name;
  Text introduction;
  Text author;
};

// Appends a row and sets cells 0 to 3; an empty introduction is shown as "暂无简介".
// Cell 4 (状态) stays empty.
void append_result_row(SearchReport& list, const SearchHit& hit);

// Appends a row per hit, letting the window handle its messages before each, then selects
// the first row; returns the status text "搜索完成!".
Text list_search_hits(SearchReport& list, const std::vector<SearchHit>& hits);

}  // namespace quillreap::sites
