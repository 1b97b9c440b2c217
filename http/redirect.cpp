// Resolving a redirect's Location against the exchange that answered it. Pure text work;
// the path's bytes go on unchanged, GBK and spaces included, as the first path does.
#include "http/redirect.hpp"

#include <cstdlib>
#include <string>

#include "http/url.hpp"

namespace quillreap::http {

namespace {

bool starts_with_ignoring_case(std::string_view value, std::string_view prefix) {
  return value.size() >= prefix.size() && text::to_lower(value.substr(0, prefix.size())) == prefix;
}

}  // namespace

Destination destination_of(std::string_view address) {
  Destination d;
  d.secure = text::to_lower(text::text_left(address, 8)) == "https://";
  d.host = split_url(address);
  d.port = url_port(address);
  d.path = url_path(address);
  return d;
}

bool is_redirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::optional<Destination> redirect_destination(const Destination& from,
                                                std::string_view location) {
  if (location.empty()) return std::nullopt;
  Destination next = from;
  std::string_view rest = location;
  bool absolute = true;
  if (starts_with_ignoring_case(rest, "http://")) {
    next.secure = false;
    rest.remove_prefix(7);
  } else if (starts_with_ignoring_case(rest, "https://")) {
    next.secure = true;
    rest.remove_prefix(8);
  } else if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
  } else {
    absolute = false;
  }
  if (absolute) {
    const std::size_t path_at = rest.find_first_of("/?");
    const std::string_view authority = rest.substr(0, path_at);
    const std::size_t colon = authority.rfind(':');
    next.host = text::to_lower(authority.substr(0, colon));
    next.port = colon == std::string_view::npos
                    ? (next.secure ? 443 : 80)
                    : std::atoi(std::string(authority.substr(colon + 1)).c_str());
    const std::string_view path =
        path_at == std::string_view::npos ? std::string_view() : rest.substr(path_at);
    next.path = text::Text(path.empty() || path.front() != '/' ? "/" : "") + text::Text(path);
  } else if (const std::size_t scheme_end = rest.find("://");
             scheme_end != std::string_view::npos && scheme_end < rest.find_first_of("/?")) {
    return std::nullopt;  // another scheme: nothing this client can follow
  } else if (rest.front() == '/') {
    next.path = text::Text(rest);
  } else {
    // Relative to the directory of the current path.
    const text::Text path_only = from.path.substr(0, from.path.find('?'));
    next.path = path_only.substr(0, path_only.rfind('/') + 1) + text::Text(rest);
  }
  if (next.host.empty()) return std::nullopt;
  return next;
}

}  // namespace quillreap::http
