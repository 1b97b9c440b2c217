// Reading a search word out of a request target and finding it in a book name. The word
// arrives as raw GBK bytes (only a space may come escaped as %20).
#pragma once

#include <string>
#include <string_view>

namespace quillreap::sample_sites {

// The value of `key` in the target's query (the first key, or else its last "&key="), up to
// the last "&" + `next_key` + "=", so a word holding "&" or "#" stays whole; %XX escapes are
// decoded. "" when the key is absent.
std::string query_value(std::string_view target, std::string_view key, std::string_view next_key);
// 0-based byte position of `word` in the GBK `text`, starting only on character
// boundaries, ASCII letters matching regardless of case; npos when absent.
std::size_t find_in_gbk(std::string_view text, std::string_view word);
// `utf8` (the same text as `gbk`) with the characters at gbk bytes [pos, pos + len)
// wrapped in `open` and `close`.
std::string mark_utf8(std::string_view utf8, std::string_view gbk, std::size_t pos, std::size_t len,
                      std::string_view open, std::string_view close);

}  // namespace quillreap::sample_sites
