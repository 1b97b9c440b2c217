// Cutting text out between two markers, and cleaning it with literal replacements.
// Every page and header block the program reads goes through these three operations.
#pragma once

#include <optional>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::text {

// Inside the markers of text_between, each "#引号" (GBK bytes) stands for one '"'.
inline constexpr std::string_view kQuoteToken = "#\xD2\xFD\xBA\xC5";

// The first piece between left_marker and a right_marker after it; "" when either is
// missing. Exact match unless ignore_case.
Text text_between(std::string_view text, std::string_view left_marker,
                  std::string_view right_marker, int start = 0, bool ignore_case = false);

// Every piece, in text order, into results (emptied first); returns results.size().
// Ignores ASCII case unless case_sensitive.
int text_between_all(std::string_view text, std::string_view left_marker,
                     std::string_view right_marker, TextArray& results, bool case_sensitive = false,
                     int max_length = 0, std::string_view prefix = {}, std::string_view suffix = {},
                     bool include_left = false, bool include_right = false, int start = 0);

// Up to five literal replacements, each applied to the result of the one before.
// count omitted: every occurrence of each pair.
Text replace_many(std::string_view text, std::optional<int> count, int start, bool case_sensitive,
                  std::string_view find1, std::string_view with1, std::string_view find2 = {},
                  std::string_view with2 = {}, std::string_view find3 = {},
                  std::string_view with3 = {}, std::string_view find4 = {},
                  std::string_view with4 = {}, std::string_view find5 = {},
                  std::string_view with5 = {});

}  // namespace quillreap::text
