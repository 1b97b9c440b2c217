// Following a link from a page as a browser does, for sites whose links are relative.
#include <algorithm>
#include <cctype>
#include <vector>

#include "http/url.hpp"

namespace quillreap::http {
namespace {

std::string_view without_fragment(std::string_view address) {
  return address.substr(0, address.find('#'));
}

// "http:" and the like: letters (and + - .) up to a ':' that comes before any '/', '?'.
bool has_scheme(std::string_view link) {
  const std::size_t colon = link.find(':');
  if (colon == 0 || colon == std::string_view::npos) return false;
  for (std::size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(link[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return std::isalpha(static_cast<unsigned char>(link[0])) != 0;
}

// The path with "." and ".." segments taken out; the query stays as it is.
std::string without_dots(std::string_view path_and_query) {
  const std::size_t query_at = path_and_query.find('?');
  const std::string_view path = path_and_query.substr(0, query_at);
  std::vector<std::string_view> kept;
  std::size_t at = 0;
  bool ends_in_directory = false;
  while (at <= path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    const std::string_view segment = path.substr(at, slash - at);
    ends_in_directory = segment == "." || segment == "..";
    if (segment == "..") {
      if (kept.size() > 1) kept.pop_back();
    } else if (segment != ".") {
      kept.push_back(segment);
    }
    at = slash + 1;
  }
  std::string out;
  for (std::size_t i = 0; i < kept.size(); ++i) out.append(i ? "/" : "").append(kept[i]);
  if (ends_in_directory) out += '/';
  if (out.empty() || out[0] != '/') out = text::concat("/", out);
  if (query_at != std::string_view::npos) out.append(path_and_query.substr(query_at));
  return out;
}

}  // namespace

text::Text resolve_address(std::string_view base_address, std::string_view link_address) {
  const std::string_view base = without_fragment(base_address);
  const std::string_view link = without_fragment(link_address);
  if (has_scheme(link)) return text::Text(link);
  const std::size_t scheme_end = base.find("://");
  if (scheme_end == std::string_view::npos) return text::Text(link);
  const std::string_view scheme = base.substr(0, scheme_end + 1);  // "http:"
  const std::size_t path_at = std::min(base.find_first_of("/?", scheme_end + 3), base.size());
  const std::string_view origin = base.substr(0, path_at);
  std::string_view base_path = base.substr(path_at);
  if (base_path.empty() || base_path[0] == '?') base_path = "/";
  if (link.empty()) return text::Text(base);
  if (link.rfind("//", 0) == 0) return text::concat(scheme, link);
  if (link[0] == '/') return text::concat(origin, without_dots(link));
  if (link[0] == '?') return text::concat(origin, base_path.substr(0, base_path.find('?')), link);
  const std::string_view directory =
      base_path.substr(0, base_path.substr(0, base_path.find('?')).rfind('/') + 1);
  return text::concat(origin, without_dots(text::concat(directory, link)));
}

}  // namespace quillreap::http
