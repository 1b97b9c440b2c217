// Cutting pieces out of page markup between a left and a right marker, and the literal
// replacements that clean them. Written on the text primitives, so the double-byte rule
// and the 1-based positions carry over unchanged.
#include "text/markers.hpp"

namespace quillreap::text {

Text text_between(std::string_view text, std::string_view left_marker,
                  std::string_view right_marker, int start, bool ignore_case) {
  const Text left = replace_text(left_marker, kQuoteToken, "\"", 1, std::nullopt, true);
  const Text right = replace_text(right_marker, kQuoteToken, "\"", 1, std::nullopt, true);
  int p = find_text(text, left, start, ignore_case);
  if (p == -1) return {};
  p += text_length(left);
  // Only a right marker after the left one counts.
  const int q = find_text(text, right, p, ignore_case);
  if (q == -1) return {};
  return text_mid(text, p, q - p);
}

int text_between_all(std::string_view text, std::string_view left_marker,
                     std::string_view right_marker, TextArray& results, bool case_sensitive,
                     int max_length, std::string_view prefix, std::string_view suffix,
                     bool include_left, bool include_right, int start) {
  results.clear();
  // An empty marker is found everywhere, so a walk on it would never move on; no caller
  // means anything by it.
  if (left_marker.empty() || right_marker.empty()) return 0;
  const bool ignore_case = !case_sensitive;
  const int left_length = text_length(left_marker);
  int position = start;
  for (;;) {
    const int p = find_text(text, left_marker, position, ignore_case);
    if (p == -1) break;
    const int inner = p + left_length;
    const int q = find_text(text, right_marker, inner, ignore_case);
    if (q == -1) break;
    Text piece = trim_spaces(std::string_view(text).substr(static_cast<std::size_t>(inner) - 1,
                                                           static_cast<std::size_t>(q - inner)));
    if (!prefix.empty() || !suffix.empty()) piece = concat(prefix, piece, suffix);
    if (piece.empty()) {
      position = inner;
    } else {
      if (include_left) piece.insert(0, left_marker);
      if (include_right) piece.append(right_marker);
      if (max_length == 0 || text_length(piece) < max_length) results.push_back(std::move(piece));
      // The right marker's own bytes take part in the next search for a left marker.
      position = q;
    }
    do_events();
  }
  return static_cast<int>(results.size());
}

Text replace_many(std::string_view text, std::optional<int> count, int start, bool case_sensitive,
                  std::string_view find1, std::string_view with1, std::string_view find2,
                  std::string_view with2, std::string_view find3, std::string_view with3,
                  std::string_view find4, std::string_view with4, std::string_view find5,
                  std::string_view with5) {
  if (start == 0) start = 1;
  const std::string_view pairs[5][2] = {
      {find1, with1}, {find2, with2}, {find3, with3}, {find4, with4}, {find5, with5}};
  Text running(text);
  for (const auto& pair : pairs) {
    // Each pair works on what the pairs before it left, insertions included.
    if (!pair[0].empty()) {
      running = replace_text(running, pair[0], pair[1], start, count, case_sensitive);
    }
  }
  return running;
}

}  // namespace quillreap::text
