// Page text of a fetch, and the marker presence test the downloads use to tell a chapter
// page that lost its text from one whose text is empty.
#include "sites/page.hpp"

#include "text/markers.hpp"

namespace quillreap::sites {

Text page_text(const http::FetchResult& fetched) {
  if (fetched.failed) return {};
  return text::to_text(fetched.body);
}

bool has_markers(std::string_view text, std::string_view left_marker,
                 std::string_view right_marker) {
  const Text left = text::replace_text(left_marker, text::kQuoteToken, "\"");
  const Text right = text::replace_text(right_marker, text::kQuoteToken, "\"");
  const int left_at = text::find_text(text, left);
  if (left_at < 0) return false;
  return text::find_text(text, right, left_at + text::text_length(left)) > 0;
}

}  // namespace quillreap::sites
