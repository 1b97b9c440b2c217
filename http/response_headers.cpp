// The status code, cookies and named lines of a header block, as fetch_page reads them.
// Runs on the fetching thread; keeps no state.
#include "http/response_headers.hpp"

#include <optional>

#include "text/markers.hpp"

namespace quillreap::http {

using text::Text;

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

Text clean_raw_headers(std::string_view buffer) {
  const std::size_t end = buffer.find('\0');
  if (end != std::string_view::npos) buffer = buffer.substr(0, end);
  return text::replace_text(buffer, "Set-Cookie", "Set-Cookie", 1, std::nullopt, false);
}

Text collect_cookies(const Text& raw_headers) {
  Text collected;
  for (const Text& line : text::split_text(raw_headers, kLineEnd)) {
    if (text::find_text(line, "Set-Cookie") < 1) continue;
    Text item;
    if (text::find_text(line, ";") > 0) {
      item = text::trim_spaces(text::text_between(line, "Set-Cookie:", ";"));
    } else {
      item = text::trim_spaces(text::replace_text(line, "Set-Cookie:", "", 1, std::nullopt, false));
    }
    collected += text::concat(item, "; ");
  }
  return text::text_left(collected, text::text_length(collected) - 2);
}

std::optional<Text> header_line(std::string_view raw_headers, std::string_view name) {
  std::size_t start = 0;
  while (start < raw_headers.size()) {
    std::size_t end = raw_headers.find(kLineEnd, start);
    if (end == std::string_view::npos) end = raw_headers.size();
    std::string_view line = raw_headers.substr(start, end - start);
    start = end + kLineEnd.size();
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        text::to_lower(line.substr(0, name.size())) != text::to_lower(name))
      continue;
    line.remove_prefix(name.size() + 1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return Text(line);
  }
  return std::nullopt;
}

Text header_line_value(std::string_view raw_headers, std::string_view name) {
  return header_line(raw_headers, name).value_or(Text());
}

int status_of(const Text& raw_headers) {
  if (text::text_left(raw_headers, 5) != "HTTP/") return 0;
  const int space = text::find_text(raw_headers, " ");
  if (space < 1) return 0;
  return text::to_int(text::text_mid(raw_headers, space + 1, 3));
}

}  // namespace quillreap::http
