// Reading a header block: the status code and the cookies its Set-Cookie lines set, and
// the one reader of a named header line, used for the response's lines and the caller's
// own block alike. Pure text work.
#pragma once

#include <optional>
#include <string_view>

#include "text/primitives.hpp"

namespace quillreap::http {

// The block as the transport left it in its buffer: cut at the first NUL, and every
// "Set-Cookie" written in that letter case, whatever case the server used.
text::Text clean_raw_headers(std::string_view buffer);

// Each Set-Cookie line gives its first name=value pair; the items are joined by "; ".
text::Text collect_cookies(const text::Text& raw_headers);

// The value of the block's first line "name:" (the name at the line's start, ASCII letter
// case ignored), spaces and tabs around it trimmed; nothing without such a line. Lines end
// with "\r\n"; a status line is never taken for a header.
std::optional<text::Text> header_line(std::string_view raw_headers, std::string_view name);
// The same, "" without such a line.
text::Text header_line_value(std::string_view raw_headers, std::string_view name);

// "HTTP/1.1 404 Not Found" gives 404; 0 when the block has no status line.
int status_of(const text::Text& raw_headers);

}  // namespace quillreap::http
