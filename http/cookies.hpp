// Folding the cookies a server just set into the cookie text a caller keeps: new cookies
// first, then the old ones not overridden; "=deleted" entries drop out.
#pragma once

#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::http {

// Both arguments are changed: spaces are removed from new_cookies, and cookies ends
// holding the merged text, which is also returned.
text::Text merge_cookies(text::Text& cookies, text::Text& new_cookies);

// The trimmed text before an entry's first '='; the whole trimmed entry without one.
text::Text cookie_name(std::string_view entry);
// Whether an entry of entries has exactly that cookie_name.
bool has_cookie(const text::TextArray& entries, std::string_view name);
// The text split at separator, entries equal to an earlier one left out, joined again.
text::Text remove_duplicate_entries(std::string_view text, std::string_view separator);
// The 1-based index of the first element equal to value, or -1.
int entry_index(const text::TextArray& entries, std::string_view value);

}  // namespace quillreap::http
