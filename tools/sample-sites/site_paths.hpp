// Splitting a request target into the path pieces the sample sites route on.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillreap::sample_sites {

// The path before any "?" cut at "/", without empty pieces; a trailing "/" is kept as a
// last empty piece so that "/1_1/" and "/1_1" differ.
std::vector<std::string> path_pieces(std::string_view target);
// "12.html" -> 12; 0 when the piece is not digits followed by ".html".
int chapter_number(std::string_view piece);

}  // namespace quillreap::sample_sites
