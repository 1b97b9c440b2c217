// Cookie merging for callers that keep their own cookie text across fetches.
// Names are compared byte for byte; only a lower-case "=deleted" marks a deletion.
#include "http/cookies.hpp"

namespace quillreap::http {

using text::Text;
using text::TextArray;

namespace {
constexpr std::string_view kDeletionMark = "=deleted";
constexpr std::string_view kJoin = "; ";
}  // namespace

Text cookie_name(std::string_view entry) {
  const int equals = text::find_text(entry, "=");
  if (equals > 0) return text::trim_spaces(text::text_left(entry, equals - 1));
  return text::trim_spaces(entry);
}

bool has_cookie(const TextArray& entries, std::string_view name) {
  for (const Text& entry : entries) {
    if (cookie_name(entry) == name) return true;
  }
  return false;
}

int entry_index(const TextArray& entries, std::string_view value) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i] == value) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text remove_duplicate_entries(std::string_view text, std::string_view separator) {
  TextArray kept;
  Text out;
  for (const Text& entry : text::split_text(text, separator)) {
    if (entry_index(kept, entry) == -1) {
      kept.push_back(entry);
      out += entry;
      out += separator;
    }
  }
  return text::text_left(out, text::text_length(out) - text::text_length(separator));
}

Text merge_cookies(Text& cookies, Text& new_cookies) {
  cookies = text::remove_all_spaces(cookies);
  new_cookies = text::remove_all_spaces(new_cookies);
  const TextArray old_entries = text::split_text(cookies, ";");
  TextArray merged = text::split_text(new_cookies, ";");
  // Checked against merged as it grows: of several old entries sharing a name only the
  // first survives, and never beside a new entry of that name.
  for (const Text& entry : old_entries) {
    if (!has_cookie(merged, cookie_name(entry))) merged.push_back(entry);
  }
  cookies.clear();
  for (const Text& entry : merged) {
    if (text::text_right(entry, 8) == kDeletionMark) continue;
    cookies += entry;
    cookies += kJoin;
  }
  cookies = text::text_left(cookies, text::text_length(cookies) - 2);
  cookies = remove_duplicate_entries(cookies, kJoin);
  return cookies;
}

}  // namespace quillreap::http
