// One search hit as a row of the result list: the four cells both searches fill, in the
// order the list's columns stand. Runs on the interface thread, inside a search.
#pragma once

#include "sources/report.hpp"
#include "text/primitives.hpp"

namespace quillreap::sources {

// Appends a row and sets cells 0 to 3; an empty introduction is shown as "暂无简介".
// Cell 4 (状态) stays empty.
void append_result_row(Report& list, const text::Text& address, const text::Text& name,
                       const text::Text& introduction, const text::Text& author);

}  // namespace quillreap::sources
